#include "textbox/Cp1252.h"

namespace morvane {

namespace {

// Unicode values of the codes 0x80 to 0x9F. The five codes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the same value, as the platform's own conversion does.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

}  // namespace

int Cp1252::CodeOf(QChar ch) {
    const int unit = ch.unicode();
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return unit;
    for (int index = 0; index < 32; ++index) {
        if (kHighControls[index] == unit) return 0x80 + index;
    }
    // A C1 control outside the code page: no code at all, the key is discarded.
    if (unit < 0xA0) return 0;
    return unit;
}

QChar Cp1252::CharOf(int code) {
    if (code >= 0x80 && code < 0xA0) return QChar(kHighControls[code - 0x80]);
    return QChar(static_cast<char16_t>(code));
}

}  // namespace morvane
