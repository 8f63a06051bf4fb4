// The fixed-width step's width rules and the advanced dialog's reading of its boxes.
#include "export/wizard/AdvancedOptions.h"
#include "export/wizard/FieldWidths.h"
#include "tests/wizard/SessionTestSupport.h"

namespace morvane::test {
namespace {

class FieldWidthsTest : public SessionTest {};

TEST_F(FieldWidthsTest, TypedWidthsBelongToTheFieldsOrdinal) {
    CreateSource({{"Id", dbLong}, {"Name", dbText, 20}, {"City", dbText, 30}}, NumberedRows(1));
    OpenSource();
    FieldWidths widths(session_->Setting(), session_->Source().Rs());
    EXPECT_EQ(widths.Text("City"), "30");
    EXPECT_EQ(widths.Store("City", "1"), "1");
    EXPECT_EQ(widths.Store("City", "12"), "12");
    EXPECT_EQ(widths.Store("City", ""), "");  // an empty box stores nothing
    EXPECT_EQ(widths.Text("City"), "12");
    EXPECT_EQ(session_->Setting().Size[2], 12);
    EXPECT_EQ(widths.Store("City", "99999"), "32767");  // held to the largest width
    EXPECT_EQ(session_->Setting().Size[2], 32767);
    EXPECT_EQ(widths.Default("City"), "30");
    EXPECT_EQ(session_->Setting().Size[2], 30);
    EXPECT_EQ(session_->Setting().Size[1], 20);  // the others untouched
}

TEST_F(FieldWidthsTest, SpinButtons) {
    const struct {
        const char* text;
        int direction;
        const char* after;
    } cases[] = {{"9", -1, "10"}, {"1", 1, "0"}, {"0", 1, "0"},         {"", -1, ""},
                 {"", 1, ""},     {"7", 0, "7"}, {"32767", -1, "32767"}};
    for (const auto& c : cases)
        EXPECT_EQ(FieldWidths::Spin(c.text, c.direction), c.after) << c.text << " " << c.direction;
}

TEST_F(FieldWidthsTest, FieldsPastTheTableUseTheEngineSize) {
    std::vector<FieldSpec> fields;
    for (int field_idx = 0; field_idx < 400; ++field_idx)
        fields.push_back({QStringLiteral("F%1").arg(field_idx), dbText, 5 + field_idx % 7});
    CreateSource(fields, {});
    OpenSource();
    EXPECT_EQ(session_->Lists().Selected().Count(), 400);
    FieldWidths widths(session_->Setting(), session_->Source().Rs());
    EXPECT_TRUE(widths.HasOwnWidth("F300"));
    EXPECT_FALSE(widths.HasOwnWidth("F301"));
    EXPECT_EQ(widths.Text("F350"), QString::number(5 + 350 % 7));
    EXPECT_EQ(widths.Store("F350", "3"), "3");  // nothing stored: the field has no entry
    EXPECT_EQ(widths.Text("F350"), QString::number(5 + 350 % 7));
}

TEST_F(FieldWidthsTest, RunAndPreviewWriteFieldsPastTheTableAtTheEngineSize) {
    std::vector<FieldSpec> fields;
    Row row;
    for (int field_idx = 0; field_idx < 400; ++field_idx) {
        fields.push_back({QStringLiteral("F%1").arg(field_idx), dbText, 6});
        row.push_back(QStringLiteral("v%1").arg(field_idx));
    }
    CreateSource(fields, {row});
    OpenSource();
    session_->Setting().TypeFormat = TypeConnect::Fixed;
    session_->Setting().Size[0] = 3;
    session_->Lists().Selected().Assign({"F0", "F350", "F1"});
    EXPECT_EQ(session_->FilePreview(), "v0 v350  v1    ");
    EXPECT_EQ(Export(), "v0 v350  v1    \r\n");
    EXPECT_TRUE(Boxes().size() == 1 && Boxes()[0].title == "Information");  // the summary only
}

TEST(AdvancedOptionsTest, ReadingTheBoxesBack) {
    ExportSetting setting;
    setting.TypeFormat = 3;
    setting.RecFieldSeparator = 3;
    setting.RecSepOther = QLatin1Char('|');
    setting.ExportAll = false;
    setting.MaxLines = 40;
    setting.StartingLine = 7;
    AdvancedOptions options = AdvancedOptions::FromSetting(setting);
    EXPECT_FALSE(options.SeparatorEnabled);  // HTML page: no record separator choice
    EXPECT_EQ(options.OtherChar, "|");
    EXPECT_EQ(options.NbLineMax, "40");
    EXPECT_EQ(options.StartLine, "7");

    options.OtherChar = ";;";
    options.StartLine.clear();
    options.NbLineMax = "12abc";
    options.ApplyOkRules();
    options.WriteTo(setting);
    EXPECT_EQ(setting.RecSepOther, QLatin1Char(';'));
    EXPECT_EQ(setting.StartingLine, 1);
    EXPECT_EQ(setting.MaxLines, 12);

    options.OtherChar.clear();
    options.NbLineMax.clear();
    options.ApplyOkRules();  // unchecked with no count: checked again
    options.WriteTo(setting);
    EXPECT_EQ(setting.RecSepOther, QLatin1Char(' '));
    EXPECT_TRUE(setting.ExportAll);
    EXPECT_EQ(setting.MaxLines, 0);
}

TEST(AdvancedOptionsTest, LeadingNumbers) {
    const struct {
        const char* text;
        int value;
    } cases[] = {{"12", 12},
                 {"  7x", 7},
                 {"abc", 0},
                 {"", 0},
                 {"2.5", 2},
                 {"3.5", 4},
                 {"-4", -4},
                 {".", 0},
                 {"99999999999", 2147483647},
                 {"-99999999999", -2147483647 - 1}};
    for (const auto& c : cases)
        EXPECT_EQ(AdvancedOptions::LeadingNumber(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace morvane::test
