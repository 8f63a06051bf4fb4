// EngineError: the exception every engine failure throws. It carries the engine error
// number (3010 table exists, 3024 file not found, 3031 wrong password, 3170 no driver, ...),
// its description, and the list of all errors of that failure (a driver may report several,
// the ODBC driver one per diagnostic record). The engine also keeps the list of its last
// failure in its Errors collection (EngineErrors), as the object model requires; an error
// report reads the list of the exception it caught, which can never be stale.
//
// Every number has one text, in the table beside the enumeration (EngineErrorText); drivers
// raise through Of() so that no two places word the same error differently. A text may hold
// "%1" and "%2", filled from the arguments.
//
// Usage:
//   throw EngineError::Of(ErrFileNotFoundEngine, path);   // "Could not find file '...'."
//   throw EngineError::Raise(ErrSqlError, driverText);     // a driver's own description
#pragma once

#include "export/common/RuntimeError.h"

#include <QString>
#include <vector>

namespace morvane {

//! Engine error numbers the system reacts to or raises. Their texts: EngineErrorText.
enum EngineErrorNumber {
    ErrInvalidArgument = 3001,
    ErrTableExists = 3010,
    ErrObjectNotFound = 3011,
    ErrUpdateWithoutAddNew = 3020,
    ErrNoCurrentRecord = 3021,
    ErrDuplicateValue = 3022,
    ErrFileNotFoundEngine = 3024,
    ErrDiskFull = 3026,
    ErrReadOnly = 3027,
    ErrNotValidPassword = 3031,
    ErrResourceExceeded = 3035,
    ErrDiskIO = 3043,
    ErrFileInUse = 3045,
    ErrCannotOpenFile = 3051,
    ErrTooFewParameters = 3061,
    ErrSelectQueryExecute = 3065,
    ErrSyntaxError = 3075,
    ErrInputTableNotFound = 3078,
    ErrSqlError = 3129,
    ErrOdbcCallFailed = 3146,
    ErrOdbcConnectionFailed = 3151,
    ErrWrongPassword = 3161,
    ErrFieldTooSmall = 3163,
    ErrDriverNotInstalled = 3170,
    ErrFieldDefinedTwice = 3191,
    ErrDatabaseExists = 3204,
    ErrLocked = 3218,
    ErrInvalidOperation = 3219,
    ErrInvalidFieldType = 3259,
    ErrTableWithoutFields = 3264,
    ErrItemNotFound = 3265,
    ErrRequiredNull = 3314,
    ErrRuleViolation = 3317,
    ErrUnrecognizedFormat = 3343,
    ErrObjectInvalid = 3420,
    ErrConversion = 3421,
    ErrCorruptDatabase = 3049,
    ErrNotSupported = 3251,
};

//! The engine's text of error `number`, with "%1"/"%2" where Of() puts its arguments;
//! empty for a number outside the table.
QString EngineErrorText(int number);

//! One entry of the engine's Errors collection.
struct EngineErrorInfo {
    int Number = 0;
    QString Description;
};

//! The engine's Errors collection: the errors of the engine's last failing operation.
class EngineErrors {
  public:
    int Count() const { return static_cast<int>(items_.size()); }
    //! REQUIRES: 0 <= index < Count().
    const EngineErrorInfo& Item(int index) const { return items_.at(static_cast<size_t>(index)); }
    void Clear() { items_.clear(); }
    //! Replaces the collection with the errors of a new failure.
    void Set(std::vector<EngineErrorInfo> items) { items_ = std::move(items); }

  private:
    std::vector<EngineErrorInfo> items_;
};

//! The one Errors collection of the shared engine.
EngineErrors& DbErrors();

//! While one lives, engine errors raised on its thread are not recorded in the Errors
//! collection, which belongs to the thread that uses the engine: a worker thread's
//! failure is recorded by the thread it is handed back to (DbErrors().Set(error.Errors())).
class MORVANE_EXPORT UnrecordedEngineErrors {
  public:
    UnrecordedEngineErrors();
    ~UnrecordedEngineErrors();
    UnrecordedEngineErrors(const UnrecordedEngineErrors&) = delete;
    UnrecordedEngineErrors& operator=(const UnrecordedEngineErrors&) = delete;

  private:
    bool wasRecording_;
};

class MORVANE_EXPORT EngineError : public RuntimeError {
  public:
    //! An error with this one entry in its list (the engine's collection is left alone).
    EngineError(int number, const QString& description);

    //! The error `number` with its table text, "%1" and "%2" replaced by the arguments;
    //! recorded in the engine's Errors collection. A number outside the table gets the text
    //! "Engine error N.".
    static EngineError Of(int number, const QString& arg1 = QString(),
                          const QString& arg2 = QString());
    //! An error with a description of its own (a driver's message), recorded in the
    //! engine's Errors collection.
    static EngineError Raise(int number, const QString& description);
    //! Several errors of one failure (the first one is thrown), recorded in the engine's
    //! Errors collection. REQUIRES: !errors.empty().
    static EngineError Raise(std::vector<EngineErrorInfo> errors);

    //! Every error of this failure, the thrown one first.
    const std::vector<EngineErrorInfo>& Errors() const { return errors_; }
    QStringList ListedDescriptions() const override;

  private:
    std::vector<EngineErrorInfo> errors_;
};

}  // namespace morvane
