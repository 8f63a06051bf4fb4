#include "export/engine/TypeConnect.h"

#include <gtest/gtest.h>
#include <QMetaEnum>

namespace morvane {
namespace {

struct KindRow {
    int value;
    const char* name;
    const char* text;
    const char* prefix;  // nullptr: no source prefix
};

const KindRow kKinds[] = {
    {0, "Variable", "Variable length records (delimited fields)", nullptr},
    {1, "Fixed", "Fixed length records (aligned fields)", nullptr},
    {2, "HtmlTags", "HTML Tags", nullptr},
    {3, "HtmlPage", "HTML Page", nullptr},
    {4, "Access", "Access", ""},
    {5, "Paradox3", "Paradox 3.x", "Paradox 3.x"},
    {6, "Paradox4", "Paradox 4.x", "Paradox 4.x"},
    {7, "Paradox5", "Paradox 5.x", "Paradox 5.x"},
    {8, "DBase3", "DBase III", "dBASE III"},
    {9, "DBase4", "DBase IV", "dBASE IV"},
    {10, "DBase5", "DBase V", "dBASE 5.0"},
    {11, "FOXPRO20", "FoxPro 2.0", "FoxPro 2.0"},
    {12, "FOXPRO25", "FoxPro 2.5", "FoxPro 2.5"},
    {13, "FOXPRO26", "FoxPro 2.6", "FoxPro 2.6"},
    {14, "FOXPRO30", "FoxPro 3.0", "FoxPro 3.0"},
    {15, "ODBC", "ODBC", nullptr},
    {16, "Excel3", "Excel 3.0", "Excel 3.0"},
    {17, "Excel4", "Excel 4.0", "Excel 4.0"},
    {18, "Excel5", "Excel 5.0", "Excel 5.0"},
    {19, "Excel97", "Excel 97", "Excel 97"},
    {20, "Lotus", "Lotus 1-2-3", "Lotus WK1"},
    {21, "Lotus1", "Lotus 1-2-3 (WK1)", "Lotus WK1"},
    {22, "Lotus3", "Lotus 1-2-3 (WK3)", "Lotus WK3"},
};

TEST(TypeConnectTest, MembersNamesAndListTexts) {
    const QMetaEnum meta = QMetaEnum::fromType<TypeConnect>();
    ASSERT_EQ(meta.keyCount(), TypeConnectCount);
    static_assert(sizeof(TypeConnect) == 4, "a 32-bit enumeration");
    for (const KindRow& row : kKinds) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(meta.keyToValue(row.name), row.value);
        EXPECT_EQ(TypeConnectName(row.value), row.name);
        EXPECT_EQ(OutputKindText(row.value), row.text);
    }
    for (int outside : {-1, 23, 32767}) {
        EXPECT_TRUE(TypeConnectName(outside).isEmpty());
        EXPECT_TRUE(OutputKindText(outside).isEmpty());
    }
}

TEST(TypeConnectTest, SourceConnectMapsSourceTypesAndLeavesTheRest) {
    for (const KindRow& row : kKinds) {
        SCOPED_TRACE(row.value);
        QString prefix = QStringLiteral("previous");
        EXPECT_EQ(SourceConnectFor(row.value, prefix), row.prefix != nullptr);
        EXPECT_EQ(prefix, row.prefix ? QString::fromLatin1(row.prefix) : "previous");
    }
    for (int outside : {-32768, -1, 23, 100, 32767}) {
        QString prefix = QStringLiteral("dBASE IV");
        EXPECT_FALSE(SourceConnectFor(outside, prefix));
        EXPECT_EQ(prefix, "dBASE IV");
    }
    QString prefix = QStringLiteral("Paradox 3.x");
    ASSERT_TRUE(SourceConnectFor(TypeConnect::Access, prefix));
    EXPECT_TRUE(prefix.isEmpty());  // the engine's own format has an empty specifier
}

}  // namespace
}  // namespace morvane
