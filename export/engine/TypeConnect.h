// TypeConnect: the 32-bit enumeration of output kinds and source database types shared by
// the control's ConnectString property and the wizard's output kind (TypeFormat), with the
// two tables that hang off it: the text of each kind in the wizard's output-kind list, and
// the engine type specifier ("source connect prefix") of each source type.
//
// Usage:
//   QString prefix;                       // empty on a new control
//   SourceConnectFor(control.ConnectString(), prefix);   // unmapped values leave it
//   OutputKindText(TypeConnect::Fixed);   // "Fixed length records (aligned fields)"
//
// The enumeration lives in a Q_NAMESPACE so the widget can expose ConnectString as an
// enumerated Qt property (names shown in Qt Designer and reachable through QMetaEnum).
#pragma once

#include "export/common/MorvaneExport.h"

#include <QObject>
#include <QString>

namespace morvane {
namespace ExportKinds {
Q_NAMESPACE_EXPORT(MORVANE_EXPORT)

enum TypeConnect : qint32 {
    Variable = 0,
    Fixed = 1,
    HtmlTags = 2,
    HtmlPage = 3,
    Access = 4,
    Paradox3 = 5,
    Paradox4 = 6,
    Paradox5 = 7,
    DBase3 = 8,
    DBase4 = 9,
    DBase5 = 10,
    FOXPRO20 = 11,
    FOXPRO25 = 12,
    FOXPRO26 = 13,
    FOXPRO30 = 14,
    ODBC = 15,
    Excel3 = 16,
    Excel4 = 17,
    Excel5 = 18,
    Excel97 = 19,
    Lotus = 20,
    Lotus1 = 21,
    Lotus3 = 22,
};
Q_ENUM_NS(TypeConnect)

}  // namespace ExportKinds

using ExportKinds::TypeConnect;

//! Number of members (0 to 22).
constexpr int TypeConnectCount = 23;

//! Sets prefix to the engine type specifier of a source type and answers true; for a value
//! without one (0 to 3, 15, anything out of range) leaves prefix as it was and answers false.
MORVANE_EXPORT bool SourceConnectFor(int connectString, QString& prefix);

//! The member's name ("Variable" ... "Lotus3"); empty for a value out of range.
MORVANE_EXPORT QString TypeConnectName(int value);

//! The text of the kind in the wizard's output-kind list; empty for a value out of range.
MORVANE_EXPORT QString OutputKindText(int value);

}  // namespace morvane
