// Engine field type codes and how a field value of each code is held in a QVariant.
//
//   code  name               value held as            code  name              value held as
//   1     Boolean            bool                     12    Memo              QString
//   2     Byte               int (0..255)             15    GUID              QUuid
//   3     Integer            int (16-bit range)       16    big integer       qlonglong
//   4     Long               int                      17    variable binary   QByteArray
//   5     Currency           double (4 decimals)      18    char              QString
//   6     Single             float                    19    numeric           QString (decimal text)
//   7     Double             double                   20    decimal           QString (decimal text)
//   8     Date/Time          QDateTime, QDate, QTime  21    float             double
//   9     Binary             QByteArray               22    time              QTime
//   10    Text               QString                  23    time stamp        QDateTime
//   11    Long Binary        QByteArray
//
// A Null value is a null QVariant (QVariant()). A Date/Time value holding only a date is a
// QDate (or a QDateTime at midnight); one holding only a time of day is a QTime.
#pragma once

namespace morvane {

enum FieldType : short {
    dbBoolean = 1,
    dbByte = 2,
    dbInteger = 3,
    dbLong = 4,
    dbCurrency = 5,
    dbSingle = 6,
    dbDouble = 7,
    dbDate = 8,
    dbBinary = 9,
    dbText = 10,
    dbLongBinary = 11,
    dbMemo = 12,
    dbGUID = 15,
    dbBigInt = 16,
    dbVarBinary = 17,
    dbChar = 18,
    dbNumeric = 19,
    dbDecimal = 20,
    dbFloat = 21,
    dbTime = 22,
    dbTimeStamp = 23,
};

//! True for the types whose values are dates and times (Date/Time, time, time stamp).
constexpr bool IsDateTimeType(short type) {
    return type == dbDate || type == dbTime || type == dbTimeStamp;
}

//! Recordset types of OpenRecordset.
enum RecordsetType : short { dbOpenTable = 1, dbOpenDynaset = 2, dbOpenSnapshot = 4 };

//! Options of Execute and OpenRecordset.
enum EngineOption : int {
    dbAppendOnly = 8,  //!< a recordset that only adds records and reads none
    dbSQLPassThrough = 64,
};

//! Table attribute bits: system objects and attached tables are never 0.
enum TableAttribute : int {
    dbSystemObject = static_cast<int>(0x80000002u),
    dbHiddenObject = 1,
    dbAttachedTable = 0x40000000,
};

}  // namespace morvane
