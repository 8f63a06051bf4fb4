#include "export/wizard/FieldList.h"

namespace morvane {

void FieldList::Assign(const QStringList& names) {
    names_ = names;
    selected_ = QVector<bool>(names.size(), false);
    current_ = -1;
}

void FieldList::Append(const QString& name) {
    Insert(names_.size(), name);
}

void FieldList::Insert(int index, const QString& name) {
    names_.insert(index, name);
    selected_.insert(index, false);
    if (current_ >= index) ++current_;
}

QString FieldList::Take(int index) {
    selected_.remove(index);
    if (current_ == index)
        current_ = -1;
    else if (current_ > index)
        --current_;
    return names_.takeAt(index);
}

int FieldList::FirstSelectedIndex() const {
    const int first = selected_.indexOf(true);
    return first;
}

}  // namespace morvane
