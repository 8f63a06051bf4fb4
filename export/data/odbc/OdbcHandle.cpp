#include "export/data/odbc/OdbcHandle.h"

namespace morvane {

OdbcHandle::OdbcHandle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
    if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &handle_))) {
        handle_ = SQL_NULL_HANDLE;
        throw EngineError::Of(ErrOdbcCallFailed,
                              QStringLiteral("The driver manager could not allocate a handle."));
    }
}

OdbcHandle::OdbcHandle(OdbcHandle&& other) noexcept : type_(other.type_), handle_(other.handle_) {
    other.handle_ = SQL_NULL_HANDLE;
}

OdbcHandle& OdbcHandle::operator=(OdbcHandle&& other) noexcept {
    if (this != &other) {
        Free();
        type_ = other.type_;
        handle_ = other.handle_;
        other.handle_ = SQL_NULL_HANDLE;
    }
    return *this;
}

void OdbcHandle::Free() {
    if (handle_ == SQL_NULL_HANDLE) return;
    SQLFreeHandle(type_, handle_);
    handle_ = SQL_NULL_HANDLE;
}

std::u16string ToOdbcText(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<size_t>(text.size()));
}

std::vector<EngineErrorInfo> OdbcDiagnostics(const OdbcHandle& handle, int number) {
    std::vector<EngineErrorInfo> records;
    if (!handle.IsValid()) return records;
    for (SQLSMALLINT record = 1; record < 20; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR message[1024] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN code = SQLGetDiagRecW(handle.Type(), handle.Get(), record, state, &native,
                                              message, 1024, &length);
        if (!SQL_SUCCEEDED(code)) break;
        const QString text =
            QString::fromUtf16(reinterpret_cast<const char16_t*>(message), qMin<int>(length, 1023));
        const QString stateText = QString::fromUtf16(reinterpret_cast<const char16_t*>(state), 5);
        records.push_back({number, QLatin1Char('[') + stateText + QStringLiteral("] ") + text});
    }
    return records;
}

EngineError OdbcFailure(const OdbcHandle& handle, int number, const QString& subject) {
    std::vector<EngineErrorInfo> records = OdbcDiagnostics(handle, number);
    QString details;
    for (const EngineErrorInfo& record : records)
        details += (details.isEmpty() ? QString() : QStringLiteral(" ")) + record.Description;
    if (details.isEmpty()) details = QStringLiteral("(the data source gave no reason)");
    return number == ErrOdbcConnectionFailed ? EngineError::Of(number, subject, details)
                                             : EngineError::Of(number, details);
}

void OdbcCheck(SQLRETURN code, const OdbcHandle& handle, int number) {
    if (!SQL_SUCCEEDED(code)) throw OdbcFailure(handle, number);
}

}  // namespace morvane
