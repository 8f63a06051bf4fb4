// The field-choice step's list operations: moves, the selection they leave and the
// states of the eight buttons.
#include "export/wizard/FieldLists.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

FieldLists Lists(const QStringList& available, const QStringList& selected) {
    FieldLists lists;
    lists.Available().Assign(available);
    lists.Selected().Assign(selected);
    return lists;
}

QVector<int> SelectedRows(const FieldList& list) {
    QVector<int> rows;
    for (int row = 0; row < list.Count(); ++row)
        if (list.IsSelected(row)) rows.append(row);
    return rows;
}

TEST(FieldListsTest, IncludeMovesBottomUpAndSelectsTheNextEntry) {
    FieldLists lists = Lists({"A", "B", "C", "D", "E"}, {"X"});
    lists.Available().SetSelected(1, true);
    lists.Available().SetSelected(3, true);
    lists.Include();
    EXPECT_EQ(lists.Selected().Names(), QStringList({"X", "D", "B"}));
    EXPECT_EQ(lists.Available().Names(), QStringList({"A", "C", "E"}));
    EXPECT_EQ(SelectedRows(lists.Available()), QVector<int>({1}));
    EXPECT_EQ(lists.FocusList(), &lists.Available());

    // Repeated presses walk down the list; past its end the last entry is taken.
    lists.Include();
    EXPECT_EQ(lists.Available().Names(), QStringList({"A", "E"}));
    EXPECT_EQ(SelectedRows(lists.Available()), QVector<int>({1}));
    lists.Include();
    EXPECT_EQ(SelectedRows(lists.Available()), QVector<int>({0}));
    EXPECT_EQ(lists.Selected().Names(), QStringList({"X", "D", "B", "C", "E"}));
}

TEST(FieldListsTest, IncludeWithNothingSelectedMovesNothingButTakesTheFocus) {
    FieldLists lists = Lists({"A", "B"}, {});
    lists.Include();
    EXPECT_EQ(lists.Available().Names(), QStringList({"A", "B"}));
    EXPECT_TRUE(SelectedRows(lists.Available()).isEmpty());
    EXPECT_EQ(lists.FocusList(), &lists.Available());
    EXPECT_TRUE(lists.Buttons().Include);
    EXPECT_FALSE(lists.Buttons().Exclude);
}

TEST(FieldListsTest, MovingTheLastEntryDisablesItsButtons) {
    FieldLists lists = Lists({"A"}, {"B"});
    lists.Available().SetSelected(0, true);
    lists.Include();
    EXPECT_TRUE(lists.Available().IsEmpty());
    EXPECT_FALSE(lists.Buttons().Include);
    EXPECT_FALSE(lists.Buttons().IncludeAll);
    EXPECT_TRUE(lists.Buttons().Exclude);
    EXPECT_TRUE(lists.Buttons().ExcludeAll);
}

TEST(FieldListsTest, AllButtonsKeepTheOrderAndEmptyTheOtherList) {
    FieldLists lists = Lists({"C", "A"}, {"B", "D"});
    lists.IncludeAll();
    EXPECT_EQ(lists.Selected().Names(), QStringList({"B", "D", "C", "A"}));
    EXPECT_TRUE(lists.Available().IsEmpty());
    lists.ExcludeAll();
    EXPECT_EQ(lists.Available().Names(), QStringList({"B", "D", "C", "A"}));
    EXPECT_TRUE(lists.Selected().IsEmpty());
    const FieldListButtons& buttons = lists.Buttons();
    EXPECT_FALSE(buttons.Exclude || buttons.ExcludeAll || buttons.Top || buttons.Bottom ||
                 buttons.Up || buttons.Down);
}

TEST(FieldListsTest, ReorderingMovesOnlyTheFirstSelectedEntry) {
    struct Case {
        const char* name;
        void (FieldLists::*move)();
        QVector<int> selectedBefore;
        QStringList after;
        QVector<int> selectedAfter;
    };
    const Case cases[] = {
        {"down keeps the other selection",
         &FieldLists::MoveDown,
         {1, 3},
         {"A", "C", "B", "D", "E"},
         {2, 3}},
        {"up", &FieldLists::MoveUp, {2}, {"A", "C", "B", "D", "E"}, {1}},
        {"top", &FieldLists::MoveTop, {3}, {"D", "A", "B", "C", "E"}, {0}},
        {"bottom", &FieldLists::MoveBottom, {1}, {"A", "C", "D", "E", "B"}, {4}},
        {"top on the first does nothing",
         &FieldLists::MoveTop,
         {0},
         {"A", "B", "C", "D", "E"},
         {0}},
        {"down on the last does nothing",
         &FieldLists::MoveDown,
         {4},
         {"A", "B", "C", "D", "E"},
         {4}},
        {"nothing selected", &FieldLists::MoveBottom, {}, {"A", "B", "C", "D", "E"}, {}},
    };
    for (const Case& c : cases) {
        FieldLists lists = Lists({}, {"A", "B", "C", "D", "E"});
        for (const int row : c.selectedBefore) lists.Selected().SetSelected(row, true);
        (lists.*c.move)();
        EXPECT_EQ(lists.Selected().Names(), c.after) << c.name;
        EXPECT_EQ(SelectedRows(lists.Selected()), c.selectedAfter) << c.name;
    }
}

TEST(FieldListsTest, OrderingButtonStates) {
    FieldLists lists = Lists({}, {"A", "B", "C"});
    lists.Selected().SetSelected(0, true);
    lists.SelectedListClicked();
    EXPECT_FALSE(lists.Buttons().Top || lists.Buttons().Up);
    EXPECT_TRUE(lists.Buttons().Down && lists.Buttons().Bottom);

    lists.Selected().ClearSelection();
    lists.Selected().SetSelected(2, true);
    lists.SelectedListClicked();
    EXPECT_TRUE(lists.Buttons().Top && lists.Buttons().Up);
    EXPECT_FALSE(lists.Buttons().Down || lists.Buttons().Bottom);

    // The list-button refresh takes Top and Bottom from the focused entry: with none
    // focused and two or more entries, Bottom is on (and pressing it changes nothing).
    lists.Selected().SetCurrent(-1);
    lists.UpdateListButtons();
    EXPECT_FALSE(lists.Buttons().Top);
    EXPECT_TRUE(lists.Buttons().Bottom);
    EXPECT_TRUE(lists.Buttons().Up);  // left as the click set it

    FieldLists single = Lists({}, {"A"});
    single.Selected().SetSelected(0, true);
    single.Selected().SetCurrent(0);
    single.SelectedListClicked();
    single.UpdateListButtons();
    const FieldListButtons& b = single.Buttons();
    EXPECT_FALSE(b.Top || b.Up || b.Down || b.Bottom);
}

TEST(FieldListsTest, FixedListCopiesTheSelectedOrderWithTheFirstSelected) {
    FieldLists lists = Lists({"Z"}, {"C", "A", "B"});
    lists.RefreshFixedList();
    EXPECT_EQ(lists.Fixed().Names(), QStringList({"C", "A", "B"}));
    EXPECT_EQ(SelectedRows(lists.Fixed()), QVector<int>({0}));
    lists.Selected().Clear();
    lists.RefreshFixedList();
    EXPECT_TRUE(lists.Fixed().IsEmpty());
}

}  // namespace
}  // namespace morvane
