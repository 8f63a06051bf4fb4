#include "export/data/EngineError.h"

#include <QHash>

namespace morvane {

namespace {

// One text per engine error number. Drivers add detail only through the arguments.
const QHash<int, QString>& TextTable() {
    static const QHash<int, QString> table = {
        {ErrInvalidArgument, QStringLiteral("Invalid argument.")},
        {ErrTableExists, QStringLiteral("Table '%1' already exists.")},
        {ErrObjectNotFound, QStringLiteral("The engine could not find the object '%1'.")},
        {ErrUpdateWithoutAddNew, QStringLiteral("Update or CancelUpdate without AddNew or Edit.")},
        {ErrNoCurrentRecord, QStringLiteral("No current record.")},
        {ErrDuplicateValue,
         QStringLiteral("The changes were not made because they would create duplicate values "
                        "in the index, primary key, or relationship (%1).")},
        {ErrFileNotFoundEngine, QStringLiteral("Could not find file '%1'.")},
        {ErrDiskFull, QStringLiteral("Not enough space on disk.")},
        {ErrReadOnly, QStringLiteral("Cannot update. Database or object is read-only.")},
        {ErrNotValidPassword, QStringLiteral("Not a valid password.")},
        {ErrResourceExceeded, QStringLiteral("System resource exceeded.")},
        {ErrDiskIO, QStringLiteral("Disk or network error (%1).")},
        {ErrFileInUse, QStringLiteral("Could not use '%1'; file already in use.")},
        {ErrCorruptDatabase,
         QStringLiteral("The database '%1' is damaged (%2); it cannot be read.")},
        {ErrCannotOpenFile,
         QStringLiteral("Cannot open the file '%1'. It is not accessible: you may need "
                        "permission to use it, or it is not a file.")},
        {ErrTooFewParameters, QStringLiteral("Too few parameters. Expected %1.")},
        {ErrSelectQueryExecute, QStringLiteral("Cannot execute a select query.")},
        {ErrSyntaxError, QStringLiteral("Syntax error in query expression '%1'.")},
        {ErrInputTableNotFound,
         QStringLiteral("The engine cannot find the input table or query '%1'. Make sure it "
                        "exists and that its name is spelled correctly.")},
        {ErrSqlError, QStringLiteral("Invalid SQL statement: %1.")},
        {ErrOdbcCallFailed, QStringLiteral("ODBC--call failed. %1")},
        {ErrOdbcConnectionFailed, QStringLiteral("ODBC--connection to '%1' failed. %2")},
        {ErrWrongPassword, QStringLiteral("Not a valid password.")},
        {ErrFieldTooSmall,
         QStringLiteral("The field '%1' is too small to accept the amount of data you "
                        "attempted to add.")},
        {ErrDriverNotInstalled,
         QStringLiteral("Could not find installable driver for the database type '%1'.")},
        {ErrFieldDefinedTwice, QStringLiteral("Cannot define field '%1' more than once.")},
        {ErrDatabaseExists, QStringLiteral("Database '%1' already exists.")},
        {ErrLocked, QStringLiteral("Could not update; currently locked.")},
        {ErrInvalidOperation, QStringLiteral("Invalid operation.")},
        {ErrNotSupported, QStringLiteral("Operation is not supported for this type of object: %1")},
        {ErrInvalidFieldType, QStringLiteral("Invalid field data type for field '%1'.")},
        {ErrTableWithoutFields,
         QStringLiteral("You must define at least one field for the table '%1'.")},
        {ErrItemNotFound, QStringLiteral("Item not found in this collection.")},
        {ErrRequiredNull,
         QStringLiteral("The field '%1' cannot contain a Null value because the Required "
                        "property for this field is set to True. Enter a value in this field.")},
        {ErrRuleViolation,
         QStringLiteral("One or more values are prohibited by a rule of the table (%1).")},
        {ErrUnrecognizedFormat, QStringLiteral("Unrecognized database format '%1'.")},
        {ErrObjectInvalid, QStringLiteral("Object invalid or no longer set.")},
        {ErrConversion, QStringLiteral("Data type conversion error.")},
    };
    return table;
}

}  // namespace

QString EngineErrorText(int number) {
    return TextTable().value(number);
}

QStringList EngineError::ListedDescriptions() const {
    QStringList descriptions;
    for (const EngineErrorInfo& error : errors_) descriptions.append(error.Description);
    return descriptions;
}

EngineErrors& DbErrors() {
    static EngineErrors errors;
    return errors;
}

namespace {

thread_local bool tRecordsErrors = true;

void RecordInDbErrors(std::vector<EngineErrorInfo> errors) {
    if (tRecordsErrors) DbErrors().Set(std::move(errors));
}

}  // namespace

UnrecordedEngineErrors::UnrecordedEngineErrors() : wasRecording_(tRecordsErrors) {
    tRecordsErrors = false;
}

UnrecordedEngineErrors::~UnrecordedEngineErrors() {
    tRecordsErrors = wasRecording_;
}

EngineError::EngineError(int number, const QString& description)
    : RuntimeError(number, description), errors_{EngineErrorInfo{number, description}} {}

EngineError EngineError::Of(int number, const QString& arg1, const QString& arg2) {
    QString text = EngineErrorText(number);
    if (text.isEmpty()) text = QStringLiteral("Engine error %1.").arg(number);
    // Replaced one at a time and literally, so an argument holding "%2" stays as it is.
    const qsizetype first = text.indexOf(QLatin1String("%1"));
    if (first >= 0) text.replace(first, 2, arg1);
    const qsizetype second =
        text.indexOf(QLatin1String("%2"), first >= 0 ? first + arg1.size() : 0);
    if (second >= 0) text.replace(second, 2, arg2);
    return Raise(number, text);
}

EngineError EngineError::Raise(int number, const QString& description) {
    EngineError error(number, description);
    RecordInDbErrors(error.errors_);
    return error;
}

EngineError EngineError::Raise(std::vector<EngineErrorInfo> errors) {
    EngineError error(errors.front().Number, errors.front().Description);
    error.errors_ = errors;
    RecordInDbErrors(std::move(errors));
    return error;
}

}  // namespace morvane
