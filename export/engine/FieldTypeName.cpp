#include "export/engine/FieldTypeName.h"

#include "export/data/FieldTypes.h"

namespace morvane {

QString FieldTypeName(int typeCode) {
    switch (typeCode) {
        case dbBoolean:
            return QStringLiteral("Boolean");
        case dbByte:
            return QStringLiteral("Byte");
        case dbInteger:
            return QStringLiteral("Integer");
        case dbLong:
            return QStringLiteral("Long");
        case dbCurrency:
            return QStringLiteral("Currency");
        case dbSingle:
            return QStringLiteral("Single");
        case dbDouble:
            return QStringLiteral("Double");
        case dbDate:
            return QStringLiteral("Date / Time");
        case dbText:
            return QStringLiteral("Text");
        case dbLongBinary:
            return QStringLiteral("OLE Object (Long Binary)");
        case dbMemo:
            return QStringLiteral("Memo");
        case dbGUID:
            return QStringLiteral("GUID (Replication ID)");
        default:
            return QString();
    }
}

}  // namespace morvane
