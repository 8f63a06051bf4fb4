// The key rules and the code-page mapping on character codes, without any widget.
#include <gtest/gtest.h>

#include "textbox/Cp1252.h"
#include "textbox/QuintelKeyRules.h"

namespace morvane {
namespace {

TEST(Cp1252Test, MapsCharactersBothWays) {
    struct Case {
        char16_t unit;
        int code;
    };
    const Case cases[] = {
        {u'A', 65},
        {u'\b', 8},
        {0x20AC, 0x80} /* euro */,
        {0x0160, 0x8A} /* S caron */,
        {0x0178, 0x9F} /* Y diaeresis */,
        {0x00B5, 181},
        {0x00D8, 216},
        {0x00FF, 255},
        {0x0081, 0x81} /* undefined code keeps its value */,
        {0x03A9, 0x03A9} /* omega */,
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp1252::CodeOf(QChar(c.unit)), c.code) << int(c.unit);
        EXPECT_EQ(Cp1252::CharOf(c.code), QChar(c.unit)) << c.code;
    }
    // C1 controls the code page lacks have no code: the key is discarded.
    EXPECT_EQ(Cp1252::CodeOf(QChar(char16_t(0x0085))), 0);
    EXPECT_EQ(Cp1252::CodeOf(QChar(char16_t(0x0000))), 0);
}

TEST(QuintelKeyRulesTest, FiltersByKeyClass) {
    // Codes accepted per class, checked over the whole 8-bit range against the class tables.
    auto inRange = [](int code, int first, int last) { return code >= first && code <= last; };
    auto editing = [](int code) { return code == 8 || code == 13 || code == 27 || code == 32; };
    auto letters = [&](int code) {
        return editing(code) || code == 39 || code == 64 || inRange(code, 65, 90) || code == 94 ||
               code == 96 || inRange(code, 97, 122) || code == 180 || inRange(code, 192, 214) ||
               inRange(code, 217, 221) || inRange(code, 224, 246) || inRange(code, 249, 253);
    };
    auto digits = [&](int code) { return inRange(code, 48, 57); };
    for (int code = 1; code < 256; ++code) {
        auto accepted = [&](int checkKey) {
            return QuintelKeyRules::Filter(code, {checkKey, 0, 0, 0}) != 0;
        };
        EXPECT_EQ(accepted(1), letters(code)) << code;
        EXPECT_EQ(accepted(2), letters(code) || digits(code) || code == 44 || code == 46) << code;
        EXPECT_EQ(accepted(3), editing(code) || digits(code) || code == 45 || code == 47) << code;
        EXPECT_EQ(accepted(4), editing(code) || digits(code) || code == 44 || code == 46) << code;
        EXPECT_TRUE(accepted(0)) << code;
        EXPECT_TRUE(accepted(99)) << code;  // any other value checks nothing
    }
}

TEST(QuintelKeyRulesTest, SubstitutesSeparatorsDiameterAndCase) {
    struct Case {
        const char* what;
        QuintelKeyRules::Settings settings;
        int typed;
        int expected;
    };
    const Case cases[] = {
        {"slash to hyphen", {3, 0, 0, 45}, 47, 45},
        {"hyphen to slash", {3, 0, 0, 47}, 45, 47},
        {"mixed keeps slash", {3, 0, 0, 0}, 47, 47},
        {"mixed keeps hyphen", {3, 0, 0, 0}, 45, 45},
        {"unknown separator is mixed", {3, 0, 0, 46}, 45, 45},
        {"diameter in class 0", {0, 0, 181, 0}, 181, 216},
        {"diameter survives upper case", {0, 1, 181, 0}, 181, 216},
        {"diameter survives lower case", {0, 2, 181, 0}, 181, 216},
        {"diameter only in class 0", {1, 0, 181, 0}, 181, 0},
        {"diameter key 0 never matches", {0, 0, 0, 0}, 181, 181},
        {"e acute upper", {0, 1, 0, 0}, 233, 201},
        {"y diaeresis stays", {0, 1, 0, 0}, 255, 255},
        {"sharp s stays", {0, 1, 0, 0}, 223, 223},
        {"division sign stays", {0, 1, 0, 0}, 247, 247},
        {"o stroke stays", {0, 1, 0, 0}, 248, 248},
        {"u acute upper", {0, 1, 0, 0}, 250, 218},
        {"A grave lower", {0, 2, 0, 0}, 192, 224},
        {"multiplication sign stays", {0, 2, 0, 0}, 215, 215},
        {"O stroke stays", {0, 2, 0, 0}, 216, 216},
        {"Y acute lower", {0, 2, 0, 0}, 221, 253},
        {"upper in class 1", {1, 1, 0, 0}, 'q', 'Q'},
        {"lower in class 2", {2, 2, 0, 0}, 'Q', 'q'},
        {"discarded stays discarded", {4, 1, 0, 0}, 'a', 0},
        {"case leaves digits", {4, 1, 0, 0}, '7', '7'},
        {"non code page passes class 0", {0, 1, 0, 0}, 0x03C9, 0x03C9},
        {"non code page fails class 2", {2, 0, 0, 0}, 0x03C9, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QuintelKeyRules::Apply(c.typed, c.settings), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace morvane
