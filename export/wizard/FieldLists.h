// FieldLists: the wizard's three field lists and their operations, with no widget. The
// available list holds the source fields that are not exported, the selected list the
// exported ones in export order (the order of every output, the width list and the saved
// setting), and the fixed list a copy of the selected list for width editing.
//
// The move operations are those of the field-choice step: each works on the lists'
// selection and focus as a user left them, moves entries, selects the entry that takes
// the place of the moved one and recomputes the button states (Buttons()). A form copies
// the widgets' selection in before an operation and shows the lists and states after.
//
// Usage:
//   lists.Available().SetSelected(1, true);
//   lists.Include();                // moves the selected available fields to the end
//   bool canInclude = lists.Buttons().Include;
#pragma once

#include "export/wizard/FieldList.h"

namespace morvane {

//! Enabled state of the eight field-list buttons.
struct FieldListButtons {
    bool Include = false;     //!< IncludeBtn ">"
    bool IncludeAll = false;  //!< IncAllBtn ">>"
    bool Exclude = false;     //!< ExcludeBtn "<"
    bool ExcludeAll = false;  //!< ExAllBtn "<<"
    bool Top = false;
    bool Up = false;
    bool Down = false;
    bool Bottom = false;
};

class FieldLists {
  public:
    FieldList& Available() { return available_; }
    FieldList& Selected() { return selected_; }
    FieldList& Fixed() { return fixed_; }
    const FieldList& Available() const { return available_; }
    const FieldList& Selected() const { return selected_; }
    const FieldList& Fixed() const { return fixed_; }

    //! Empties the three lists.
    void Clear();

    // The eight buttons of the field-choice step.
    void Include();
    void Exclude();
    void IncludeAll();
    void ExcludeAll();
    void MoveTop();
    void MoveUp();
    void MoveDown();
    void MoveBottom();

    //! Ordering-button states from the first selected entry of the selected list (the
    //! selected list's click handler).
    void SelectedListClicked();
    //! List-button states, with Top and Bottom from the entry holding the focus rectangle
    //! (Up and Down are left as they are).
    void UpdateListButtons();
    const FieldListButtons& Buttons() const { return buttons_; }

    //! The list that last received the focus through a move (nullptr before any).
    const FieldList* FocusList() const { return focus_; }

    //! Refills the fixed list from the selected list, first entry selected and current.
    void RefreshFixedList();

  private:
    //! Moves every selected entry of source, from the last to the first, to the end of
    //! destination (so a group of entries arrives in reverse order).
    static void MoveSelectedItems(FieldList& source, FieldList& destination);
    //! Gives list the focus, selects (and focuses) entry index clamped to the list, or
    //! nothing for -1, then updates the list buttons.
    void SelectAfterMove(FieldList& list, int index);
    //! Include or exclude: the shared walk of the two single-move buttons.
    void MoveBetween(FieldList& source, FieldList& destination);
    //! Moves the first selected entry of the selected list to target.
    void Reorder(int from, int target, int selectAfter);

    FieldList available_;
    FieldList selected_;
    FieldList fixed_;
    FieldListButtons buttons_;
    const FieldList* focus_ = nullptr;
};

}  // namespace morvane
