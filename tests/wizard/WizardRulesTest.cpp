// The wizard's navigation tables, button rules, file-name extensions and browse filters.
#include "export/engine/TypeConnect.h"
#include "export/wizard/WizardRules.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

using T = TypeConnect;

TEST(WizardRulesTest, NextAndBackFollowTheKindsOptionalStep) {
    struct Case {
        int kind;
        QVector<int> path;  // from step 0 to 5 with Next; Back walks it in reverse
    };
    const Case cases[] = {{T::Variable, {0, 1, 2, 5}}, {T::Fixed, {0, 1, 3, 5}},
                          {T::HtmlPage, {0, 1, 4, 5}}, {T::HtmlTags, {0, 1, 5}},
                          {T::Access, {0, 1, 5}},      {T::ODBC, {0, 1, 5}},
                          {T::Lotus3, {0, 1, 5}}};
    for (const Case& c : cases) {
        for (int at = 0; at + 1 < c.path.size(); ++at) {
            EXPECT_EQ(NextStep(c.path[at], c.kind), c.path[at + 1]) << c.kind << " at " << at;
            EXPECT_EQ(PrevStep(c.path[at + 1], c.kind), c.path[at]) << c.kind << " at " << at;
        }
    }
}

TEST(WizardRulesTest, StepButtons) {
    StepButtons b = ComputeStepButtons(1, 1, 3, false);
    EXPECT_TRUE(b.Next && b.Finish && b.SaveSetting);
    EXPECT_FALSE(b.Prev);  // single-table mode starts on step 1
    b = ComputeStepButtons(1, 0, 3, true);
    EXPECT_FALSE(b.Next);  // no file name yet
    EXPECT_TRUE(b.Prev && b.Finish);
    b = ComputeStepButtons(2, 0, 3, true);
    EXPECT_TRUE(b.Next);  // the file-name rule holds on step 1 only
    b = ComputeStepButtons(5, 1, 0, false);
    EXPECT_FALSE(b.Next || b.Finish || b.SaveSetting);
}

TEST(WizardRulesTest, FileNameTakesTheKindsExtension) {
    struct Case {
        const char* before;
        int kind;
        const char* after;
    };
    const Case cases[] = {
        {"report", T::HtmlPage, "report.html"},
        {"report.", T::Access, "report.mdb"},
        {"out.txt", T::Fixed, "out.txt"},
        {"out.txt", T::ODBC, "out."},
        {"out.", T::Variable, "out.txt"},
        {"", T::Excel97, ""},
        {"a.TXT", T::Variable, "a.txt"},
        // Only the final extension of the file's own name changes.
        {"/data/a.txt/b.txt", T::Excel5, "/data/a.txt/b.xls"},
        {"my.txtfile.txt", T::Excel3, "my.txtfile.xls"},
        {"/data.v2/out", T::Lotus, "/data.v2/out.wk"},
        {"/data/out.html", T::DBase4, "/data/out.dbf"},
        {"/data/out.db", T::Paradox5, "/data/out.db"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileNameForKind(QString::fromUtf8(c.before), c.kind), QString::fromUtf8(c.after))
            << c.before << " -> " << c.kind;
}

QVector<int> AllKindsBut(std::initializer_list<int> hidden) {
    QVector<int> kinds;
    for (int kind = 0; kind < TypeConnectCount; ++kind)
        if (std::find(hidden.begin(), hidden.end(), kind) == hidden.end()) kinds.append(kind);
    return kinds;
}

TEST(WizardRulesTest, FilterListsTheGroupsOfTheOfferedKinds) {
    const SaveFilter all = BuildSaveFilter(AllKindsBut({}), T::Excel97);
    EXPECT_EQ(all.Text(),
              "All Files (*.*)|*.* |Text Files (*.txt;*.csv)|*.txt;*.csv|HTML Files "
              "(*.html;*.htm)|*.html;*.htm|Access (*.mdb)|*.mdb|Paradox (*.db)|*.db|DBase/Foxpro "
              "(*.dbf)|*.dbf|Excel (*.xls)|*.xls|Lotus 1-2-3 (*.wk)|*.wk");
    EXPECT_EQ(all.Preselected, 7);
    EXPECT_EQ(BuildSaveFilter(AllKindsBut({}), T::Fixed).Preselected, 2);

    // Hidden groups get no entry, so the later ones move up.
    const SaveFilter some = BuildSaveFilter(
        AllKindsBut({T::HtmlTags, T::HtmlPage, T::Access, T::Paradox3, T::Paradox4, T::Paradox5}),
        T::Lotus1);
    EXPECT_EQ(some.Names,
              QStringList({"All Files (*.*)", "Text Files (*.txt;*.csv)", "DBase/Foxpro (*.dbf)",
                           "Excel (*.xls)", "Lotus 1-2-3 (*.wk)"}));
    EXPECT_EQ(some.Preselected, 5);
}

TEST(WizardRulesTest, ChosenFilterMapsBackThroughTheHost) {
    const SaveFilter filter = BuildSaveFilter(AllKindsBut({}), T::Variable);
    const auto allowedBut = [](std::initializer_list<int> hidden) {
        return [hidden](int kind) {
            return std::find(hidden.begin(), hidden.end(), kind) == hidden.end();
        };
    };
    EXPECT_EQ(KindForFilter(filter, 1, T::HtmlTags, allowedBut({})), T::HtmlTags);
    EXPECT_EQ(KindForFilter(filter, 2, T::Access, allowedBut({})), T::Variable);
    EXPECT_EQ(KindForFilter(filter, 2, T::Access, allowedBut({T::Variable})), T::Fixed);
    EXPECT_EQ(KindForFilter(filter, 3, T::Variable, allowedBut({})), T::HtmlPage);
    EXPECT_EQ(KindForFilter(filter, 6, T::Variable, allowedBut({T::FOXPRO30, T::FOXPRO26})),
              T::FOXPRO25);
    EXPECT_EQ(KindForFilter(filter, 7, T::Variable, allowedBut({T::Excel97, T::Excel5, T::Excel4})),
              T::Excel3);
    // The group's last kind is taken without asking.
    EXPECT_EQ(KindForFilter(filter, 8, T::Variable, [](int) { return false; }), T::Lotus);
}

}  // namespace
}  // namespace morvane
