#include "export/wizard/FieldLists.h"

namespace morvane {

void FieldLists::Clear() {
    available_.Clear();
    selected_.Clear();
    fixed_.Clear();
}

void FieldLists::MoveSelectedItems(FieldList& source, FieldList& destination) {
    for (int index = source.Count() - 1; index >= 0; --index) {
        if (source.IsSelected(index)) destination.Append(source.Take(index));
    }
}

void FieldLists::SelectAfterMove(FieldList& list, int index) {
    focus_ = &list;
    if (index != -1) {
        if (index > list.Count() - 1) index = list.Count() - 1;
        if (index >= 0) {
            list.SetSelected(index, true);
            list.SetCurrent(index);
        }
    }
    UpdateListButtons();
}

void FieldLists::MoveBetween(FieldList& source, FieldList& destination) {
    const int first = source.FirstSelectedIndex();
    if (first != -1) MoveSelectedItems(source, destination);
    // The entry that moved up into the first moved one's place is selected, so repeated
    // presses walk down the list.
    if (!source.IsEmpty()) SelectAfterMove(source, first);
    UpdateListButtons();
    SelectedListClicked();
}

void FieldLists::Include() {
    MoveBetween(available_, selected_);
}

void FieldLists::Exclude() {
    MoveBetween(selected_, available_);
}

void FieldLists::IncludeAll() {
    for (const QString& name : available_.Names()) selected_.Append(name);
    available_.Clear();
    UpdateListButtons();
    SelectedListClicked();
}

void FieldLists::ExcludeAll() {
    for (const QString& name : selected_.Names()) available_.Append(name);
    selected_.Clear();
    SelectedListClicked();
    UpdateListButtons();
    SelectedListClicked();
}

void FieldLists::Reorder(int from, int target, int selectAfter) {
    const QString name = selected_.Take(from);
    selected_.Insert(target, name);
    SelectAfterMove(selected_, selectAfter);
    SelectedListClicked();
}

void FieldLists::MoveTop() {
    const int idx = selected_.FirstSelectedIndex();
    if (idx > 0) Reorder(idx, 0, 0);
}

void FieldLists::MoveUp() {
    const int idx = selected_.FirstSelectedIndex();
    if (idx > 0) Reorder(idx, idx - 1, idx - 1);
}

void FieldLists::MoveDown() {
    const int idx = selected_.FirstSelectedIndex();
    const int count = selected_.Count();
    if (idx >= 0 && idx < count - 1) Reorder(idx, idx + 1, idx + 1);
}

void FieldLists::MoveBottom() {
    const int idx = selected_.FirstSelectedIndex();
    const int count = selected_.Count();
    if (idx >= 0 && idx < count - 1) Reorder(idx, count - 1, count - 1);
}

void FieldLists::SelectedListClicked() {
    const int idx = selected_.FirstSelectedIndex();
    const int count = selected_.Count();
    buttons_.Top = buttons_.Up = idx >= 1;
    buttons_.Bottom = buttons_.Down = idx >= 0 && idx < count - 1;
}

void FieldLists::UpdateListButtons() {
    buttons_.Include = buttons_.IncludeAll = !available_.IsEmpty();
    buttons_.Exclude = buttons_.ExcludeAll = !selected_.IsEmpty();
    const int focused = selected_.Current();
    const int count = selected_.Count();
    buttons_.Top = focused >= 1 && count >= 2;
    buttons_.Bottom = focused < count - 1 && count >= 2;
}

void FieldLists::RefreshFixedList() {
    fixed_.Assign(selected_.Names());
    if (!fixed_.IsEmpty()) {
        fixed_.SetSelected(0, true);
        fixed_.SetCurrent(0);
    }
}

}  // namespace morvane
