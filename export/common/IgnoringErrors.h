// IgnoringErrors: runs one statement of a routine that ignores errors statement by
// statement (the default setting, reading and saving a setting, the previews): a failing
// statement, whatever it throws, is skipped and the routine goes on with the next one.
//
// Usage:
//   IgnoringErrors([&] { setting.MaxLines = CountOf(source); });
#pragma once

namespace morvane {

template <typename Statement>
void IgnoringErrors(Statement&& statement) {
    try {
        statement();
    } catch (...) {
        // Deliberately ignored: see the caller, which says why its errors are ignored.
    }
}

}  // namespace morvane
