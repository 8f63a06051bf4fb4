// The three classes of field values of an export, by engine type code: text values are
// delimited, cut or padded, upper-cased and code-page converted; scalar values are only
// converted to their default text (and padded in fixed-width output); fields of no value
// (binary and all unlisted codes) contribute nothing.
#pragma once

namespace morvane {

enum class ValueClass { Text, Scalar, NoValue };

constexpr ValueClass ValueClassOf(short fieldType) {
    switch (fieldType) {
        case 10:  // Text
        case 12:  // Memo
            return ValueClass::Text;
        case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8:
        case 15: case 18: case 19: case 20: case 21: case 22: case 23:
            return ValueClass::Scalar;
        default:
            return ValueClass::NoValue;
    }
}

//! Text kinds (Variable, Fixed, HtmlTags, HtmlPage) go to a file; the others to a table.
//! (A value below 0, possible in a hand-written settings file, counts as a text kind with
//! no kind-specific treatment.)
constexpr bool IsTextKind(int typeFormat) { return typeFormat < 4; }

}  // namespace morvane
