#include "textbox/QuintelKeyRules.h"

namespace morvane {

namespace {

constexpr int kBackspace = 8;
constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kSpace = 32;
constexpr int kHyphen = 45;
constexpr int kSlash = 47;

bool InRange(int code, int first, int last) {
    return code >= first && code <= last;
}

bool IsSmallLetter(int code) {
    return InRange(code, 97, 122) || InRange(code, 224, 246) || InRange(code, 249, 253);
}

bool IsCapitalLetter(int code) {
    return InRange(code, 65, 90) || InRange(code, 192, 214) || InRange(code, 217, 221);
}

}  // namespace

bool QuintelKeyRules::IsEditingCode(int code) {
    return code == kBackspace || code == kEnter || code == kEscape || code == kSpace;
}

bool QuintelKeyRules::IsDigitCode(int code) {
    return InRange(code, 48, 57);
}

// Class 1: letters of the Western code page, plus the apostrophe, the at sign, the circumflex,
// the grave and the acute accents (typed on their own by some keyboards).
bool QuintelKeyRules::IsLetterCode(int code) {
    return IsEditingCode(code) || code == 39 || code == 64 || code == 94 || code == 96 ||
           code == 180 || IsSmallLetter(code) || IsCapitalLetter(code);
}

int QuintelKeyRules::Filter(int code, const Settings& settings) {
    switch (settings.checkKey) {
        case 1:
            return IsLetterCode(code) ? code : 0;
        case 2:
            return IsLetterCode(code) || code == 44 || code == 46 || IsDigitCode(code) ? code : 0;
        case 3:
            if (code == kHyphen || code == kSlash) {
                if (settings.dateSeparator == kHyphen) return kHyphen;
                if (settings.dateSeparator == kSlash) return kSlash;
                return code;
            }
            return IsEditingCode(code) || IsDigitCode(code) ? code : 0;
        case 4:
            return IsEditingCode(code) || code == 44 || code == 46 || IsDigitCode(code) ? code : 0;
        default:
            // No check: every code passes. The comparison is made on 16-bit values, the width
            // of a typed character code, so a DiameterKey of 0 never matches a typed key.
            if (code != 0 && static_cast<short>(code) == settings.diameterKey) {
                return kDiameterSign;
            }
            return code;
    }
}

int QuintelKeyRules::ForceCase(int code, int checkCase) {
    if (checkCase == 1 && IsSmallLetter(code)) return code - 32;
    if (checkCase == 2 && IsCapitalLetter(code)) return code + 32;
    return code;
}

int QuintelKeyRules::Apply(int code, const Settings& settings) {
    const int filtered = Filter(code, settings);
    if (filtered == 0) return 0;
    return ForceCase(filtered, settings.checkCase);
}

}  // namespace morvane
