// ExcelSheetLayout: what a sheet is as a table. The first row holding a value names the
// fields (an empty or repeated name becomes "F" + the column number); the fields are typed
// from the first kGuessRows rows below it: only numbers give 7 Double, only dates 8
// Date/Time, only Booleans 1 Boolean, anything else (text, a mix, nothing) 10 Text of 255.
// The records are the rows below the field-name row down to the last row holding a value,
// so empty rows at the end are not records and empty rows between are (all Null).
#pragma once

#include "export/data/excel/ExcelSheetCursor.h"

#include <QVariant>
#include <optional>
#include <vector>

namespace morvane {

struct ExcelSheetLayout {
    static constexpr int kGuessRows = 8;

    qint64 HeaderRow = -1;  //!< -1: the sheet holds no value
    std::vector<QString> Names;
    std::vector<short> Types;

    //! Reads the field-name row and the rows that type the fields (from the cursor's start).
    static ExcelSheetLayout Read(ExcelSheetCursor& cursor);
    //! The number of records: one full pass over the sheet.
    static qint64 CountRecords(ExcelSheetCursor& cursor, qint64 headerRow);
    //! A cell's value as a field of `type`; Null when the cell cannot be one (an error
    //! value, a text that is not a number in a Double field, ...).
    static QVariant Value(const ExcelCell& cell, short type, bool date1904);
    //! The date, date-time or time of a serial day number.
    static QVariant DateValue(double serial, CellStyle style, bool date1904);
    //! The serial day number (the 1900 date system, WorksheetDays.h) of a QDate, QDateTime
    //! or QTime; nullopt for a date before 1900 or an invalid one, which has none.
    static std::optional<double> Serial(const QVariant& value);
};

}  // namespace morvane
