#include "export/engine/TypeConnect.h"

#include <QMetaEnum>

namespace morvane {
namespace {

//! Indexed by TypeConnect value.
const char* const kOutputKindTexts[TypeConnectCount] = {
    "Variable length records (delimited fields)",
    "Fixed length records (aligned fields)",
    "HTML Tags",
    "HTML Page",
    "Access",
    "Paradox 3.x",
    "Paradox 4.x",
    "Paradox 5.x",
    "DBase III",
    "DBase IV",
    "DBase V",
    "FoxPro 2.0",
    "FoxPro 2.5",
    "FoxPro 2.6",
    "FoxPro 3.0",
    "ODBC",
    "Excel 3.0",
    "Excel 4.0",
    "Excel 5.0",
    "Excel 97",
    "Lotus 1-2-3",
    "Lotus 1-2-3 (WK1)",
    "Lotus 1-2-3 (WK3)",
};

//! Indexed by TypeConnect value; nullptr where the kind is no source type.
const char* const kSourceConnects[TypeConnectCount] = {
    nullptr,       nullptr,       nullptr,      nullptr,     "",          "Paradox 3.x",
    "Paradox 4.x", "Paradox 5.x", "dBASE III",  "dBASE IV",  "dBASE 5.0", "FoxPro 2.0",
    "FoxPro 2.5",  "FoxPro 2.6",  "FoxPro 3.0", nullptr,     "Excel 3.0", "Excel 4.0",
    "Excel 5.0",   "Excel 97",    "Lotus WK1",  "Lotus WK1", "Lotus WK3",
};

bool InRange(int value) {
    return value >= 0 && value < TypeConnectCount;
}

}  // namespace

bool SourceConnectFor(int connectString, QString& prefix) {
    if (!InRange(connectString) || kSourceConnects[connectString] == nullptr) return false;
    prefix = QString::fromLatin1(kSourceConnects[connectString]);
    return true;
}

QString TypeConnectName(int value) {
    if (!InRange(value)) return {};
    const QMetaEnum meta = QMetaEnum::fromType<TypeConnect>();
    return QString::fromLatin1(meta.valueToKey(value));
}

QString OutputKindText(int value) {
    return InRange(value) ? QString::fromLatin1(kOutputKindTexts[value]) : QString();
}

}  // namespace morvane
