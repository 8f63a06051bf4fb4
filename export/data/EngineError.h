// EngineError: the exception every engine failure throws. It carries the engine error
// number (3010 table exists, 3024 file not found, 3031 wrong password, 3170 no driver, ...)
// and its description. Before throwing, the engine fills its Errors collection
// (EngineErrors) with the errors of that failure, so an error report can list them all.
//
// Usage:
//   throw EngineError::Raise(ErrFileNotFoundEngine, QStringLiteral("Could not find file '%1'.").arg(path));
#pragma once

#include "export/common/RuntimeError.h"

#include <QString>
#include <vector>

namespace morvane {

//! Engine error numbers the system reacts to or raises.
enum EngineErrorNumber {
    ErrTableExists = 3010,
    ErrObjectNotFound = 3011,
    ErrNoCurrentRecord = 3021,
    ErrFileNotFoundEngine = 3024,
    ErrNotValidPassword = 3031,
    ErrFileInUse = 3045,
    ErrCannotOpenFile = 3051,
    ErrTooFewParameters = 3061,
    ErrSelectQueryExecute = 3065,
    ErrInputTableNotFound = 3078,
    ErrSyntaxError = 3075,
    ErrItemNotFound = 3265,
    ErrWrongPassword = 3161,
    ErrDriverNotInstalled = 3170,
    ErrInvalidOperation = 3219,
    ErrUnrecognizedFormat = 3343,
    ErrInvalidArgument = 3001,
    ErrUpdateWithoutAddNew = 3020,
    ErrDuplicateValue = 3022,
    ErrReadOnly = 3027,
    ErrDatabaseExists = 3204,
    ErrFieldTooSmall = 3163,
    ErrFieldDefinedTwice = 3191,
    ErrInvalidFieldType = 3259,
    ErrTableWithoutFields = 3264,
    ErrRequiredNull = 3314,
    ErrObjectInvalid = 3420,
    ErrConversion = 3421,
    ErrSqlError = 3129,
    ErrLocked = 3218,
    ErrCorruptDatabase = 3049,
    ErrNotSupported = 3251,
};

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

class EngineError : public RuntimeError {
public:
    using RuntimeError::RuntimeError;

    //! Fills the engine's Errors collection with this one error and returns the exception.
    static EngineError Raise(int number, const QString& description);
    //! Fills the collection with several errors (the first one is thrown) and returns it.
    //! REQUIRES: !errors.empty().
    static EngineError Raise(std::vector<EngineErrorInfo> errors);
};

}  // namespace morvane
