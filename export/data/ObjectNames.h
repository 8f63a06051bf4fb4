// The one rule by which a table or query is found by name, in the TableDefs and QueryDefs
// collections and when a driver opens it: names match without regard to case, by Unicode
// case folding ("ÄPFEL" finds "Äpfel"), and an exact match wins over a folded one (a file
// may hold tables whose names differ only in the case of letters outside ASCII).
//
// Usage:
//   int at = FindObjectName(items, name, [](const auto& item) { return item->Name(); });
#pragma once

#include <QString>
#include <iterator>

namespace morvane {

//! True when the two names are the same name to the engine.
inline bool SameObjectName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

//! The position in items of the object named `name`, -1 when none; nameOf gives an item's
//! name.
template <typename Items, typename NameOf>
int FindObjectName(const Items& items, const QString& name, NameOf nameOf) {
    int folded = -1;
    int position = 0;
    for (const auto& item : items) {
        const QString itemName = nameOf(item);
        if (itemName == name) return position;
        if (folded < 0 && SameObjectName(itemName, name)) folded = position;
        ++position;
    }
    return folded;
}

}  // namespace morvane
