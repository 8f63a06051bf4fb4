// FieldList: one list of field names as a list box shows it: the names in order, which of
// them are selected (several may be) and which one has the focus rectangle. The wizard's
// three field lists are FieldLists; the list widgets only mirror them.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace morvane {

class FieldList {
  public:
    int Count() const { return names_.size(); }
    bool IsEmpty() const { return names_.isEmpty(); }
    const QStringList& Names() const { return names_; }
    const QString& Name(int index) const { return names_.at(index); }

    //! Replaces the entries; nothing is selected and no entry has the focus.
    void Assign(const QStringList& names);
    void Clear() { Assign(QStringList()); }
    void Append(const QString& name);
    //! Inserts at index (Count() appends); the new entry is not selected.
    void Insert(int index, const QString& name);
    //! Removes the entry at index and answers its name; the focus index follows the
    //! entries it pointed at (-1 when its own entry goes).
    QString Take(int index);

    bool IsSelected(int index) const { return selected_.at(index); }
    void SetSelected(int index, bool on) { selected_[index] = on; }
    void ClearSelection() { selected_.fill(false); }
    //! The lowest selected index, -1 when none is selected.
    int FirstSelectedIndex() const;
    //! The entry with the focus rectangle, -1 for none.
    int Current() const { return current_; }
    //! REQUIRES: -1 <= index < Count().
    void SetCurrent(int index) { current_ = index; }

  private:
    QStringList names_;
    QVector<bool> selected_;
    int current_ = -1;
};

}  // namespace morvane
