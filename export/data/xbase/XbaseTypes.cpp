#include "export/data/xbase/XbaseTypes.h"

#include "export/data/FieldTypes.h"

namespace morvane {

namespace {

XbaseFieldDescriptor Make(char type, int length, int decimals = 0) {
    XbaseFieldDescriptor field;
    field.type = type;
    field.length = length;
    field.decimals = decimals;
    return field;
}

}  // namespace

XbaseLimits LimitsOf(XbaseVersion version) {
    switch (version) {
        case XbaseVersion::Dbase3:
            return {128, 4000, 19};
        case XbaseVersion::Dbase4:
            return {255, 4000, 20};
        case XbaseVersion::Dbase5:
            return {1024, 32767, 20};
        case XbaseVersion::FoxPro2:
            return {255, 4000, 20};
        case XbaseVersion::FoxPro3:
            return {254, 65500, 20};
    }
    return {128, 4000, 19};
}

QString XbaseVersionName(XbaseVersion version) {
    switch (version) {
        case XbaseVersion::Dbase3:
            return QStringLiteral("dBASE III");
        case XbaseVersion::Dbase4:
            return QStringLiteral("dBASE IV");
        case XbaseVersion::Dbase5:
            return QStringLiteral("dBASE 5.0");
        case XbaseVersion::FoxPro2:
            return QStringLiteral("FoxPro 2.x");
        case XbaseVersion::FoxPro3:
            return QStringLiteral("FoxPro 3.0");
    }
    return {};
}

bool WritesBinaryAsHex(XbaseVersion version) {
    return version == XbaseVersion::Dbase3 || version == XbaseVersion::Dbase4;
}

quint8 XbaseVersionByte(XbaseVersion version, bool withMemo) {
    switch (version) {
        case XbaseVersion::Dbase3:
            return withMemo ? 0x83 : 0x03;
        case XbaseVersion::Dbase4:
            return withMemo ? 0x8B : 0x03;
        case XbaseVersion::Dbase5:
            return withMemo ? 0x8D : 0x05;
        case XbaseVersion::FoxPro2:
            return withMemo ? 0xF5 : 0x03;
        case XbaseVersion::FoxPro3:
            return 0x30;
    }
    return 0x03;
}

XbaseFieldDescriptor XbaseFieldFor(short type, int size, bool nullable, XbaseVersion version) {
    const bool vfp = version == XbaseVersion::FoxPro3;
    const int memoLength = vfp ? 4 : 10;
    const int wide = LimitsOf(version).maxNumericWidth;
    // dBASE IV, 5 and FoxPro 2 have the floating type F; dBASE III writes N.
    const char floating = version == XbaseVersion::Dbase3 ? 'N' : 'F';
    XbaseFieldDescriptor field;
    switch (type) {
        case dbBoolean:
            field = Make('L', 1);
            break;
        case dbByte:
            field = Make('N', 3);
            break;
        case dbInteger:
            field = Make('N', 6);
            break;
        case dbLong:
            field = vfp ? Make('I', 4) : Make('N', 11);
            break;
        case dbBigInt:
            field = Make('N', wide);
            break;
        case dbCurrency:
            field = vfp ? Make('Y', 8, 4) : Make('N', wide, 4);
            break;
        case dbSingle:
            field = vfp ? Make('B', 8, 7) : Make(floating, wide, 7);
            break;
        case dbDouble:
        case dbFloat:
            field = vfp ? Make('B', 8, 10) : Make(floating, wide, 10);
            break;
        case dbNumeric:
        case dbDecimal:
            field = Make('N', wide, 6);
            break;
        case dbDate:
        case dbTimeStamp:
            field = vfp ? Make('T', 8) : Make('D', 8);
            break;
        case dbTime:
            field = Make('C', 8);
            break;
        case dbGUID:
            field = Make('C', 38);
            break;
        case dbMemo:
            field = Make('M', memoLength);
            break;
        case dbBinary:
        case dbVarBinary:
        case dbLongBinary: {
            const int bytes = size > 0 ? size : 255;
            if (WritesBinaryAsHex(version))
                field = type != dbLongBinary && bytes * 2 <= 254 ? Make('C', bytes * 2)
                                                                 : Make('M', memoLength);
            else if (version == XbaseVersion::Dbase5)
                field = Make('B', 10);
            else
                field = Make('G', memoLength);
            // FoxPro marks binary memo fields (readers then leave the bytes undecoded).
            if (field.type == 'G') field.flags = 0x04;
            break;
        }
        default: {  // Text, char and anything else: text
            const int length = size > 0 ? size : 50;
            field = length <= 254 ? Make('C', length) : Make('M', memoLength);
            break;
        }
    }
    if (vfp && nullable) field.flags |= 0x02;
    return field;
}

XbaseEngineType EngineTypeOf(const XbaseFieldDescriptor& field, bool visualFoxPro) {
    switch (field.type) {
        case 'C':
        case 'V':
            return field.length <= 255 ? XbaseEngineType{dbText, field.length}
                                       : XbaseEngineType{dbMemo, 0};
        case 'N':
        case 'F':
            if (field.decimals > 0) return {dbDouble, 8};
            // The smallest integer type that holds every value of the width.
            if (field.length <= 4) return {dbInteger, 2};
            if (field.length <= 9) return {dbLong, 4};
            if (field.length <= 18) return {dbBigInt, 8};
            return {dbDouble, 8};
        case 'D':
        case 'T':
            return {dbDate, 8};
        case 'L':
            return {dbBoolean, 1};
        case 'I':
            return {dbLong, 4};
        case 'Y':
            return {dbCurrency, 8};
        case 'M':
            return (field.flags & 0x04) ? XbaseEngineType{dbLongBinary, 0}
                                        : XbaseEngineType{dbMemo, 0};
        case 'B':
            return visualFoxPro ? XbaseEngineType{dbDouble, 8} : XbaseEngineType{dbLongBinary, 0};
        case 'Q':
            return field.length <= 510 ? XbaseEngineType{dbBinary, field.length}
                                       : XbaseEngineType{dbLongBinary, 0};
        default:  // G, P
            return {dbLongBinary, 0};
    }
}

}  // namespace morvane
