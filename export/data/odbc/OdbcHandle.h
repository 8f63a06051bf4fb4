// OdbcHandle: one ODBC handle (environment, connection or statement), freed on
// destruction, and the conversion of a failed ODBC call into an engine error whose list
// holds every diagnostic record of the handle as "[STATE] message".
//
// Usage:
//   OdbcHandle statement(SQL_HANDLE_STMT, connection.Get());
//   OdbcCheck(SQLExecDirectW(...), statement, ErrOdbcCallFailed);
#pragma once

#include "export/data/EngineError.h"

#include <sql.h>
#include <sqlext.h>
#include <QString>

namespace morvane {

class OdbcHandle {
  public:
    OdbcHandle() = default;
    //! Allocates a handle of `type` under `parent`; raises 3146 when it cannot.
    OdbcHandle(SQLSMALLINT type, SQLHANDLE parent);
    ~OdbcHandle() { Free(); }
    OdbcHandle(OdbcHandle&& other) noexcept;
    OdbcHandle& operator=(OdbcHandle&& other) noexcept;
    OdbcHandle(const OdbcHandle&) = delete;
    OdbcHandle& operator=(const OdbcHandle&) = delete;

    SQLHANDLE Get() const { return handle_; }
    SQLSMALLINT Type() const { return type_; }
    bool IsValid() const { return handle_ != SQL_NULL_HANDLE; }
    void Free();
    //! Forgets the handle without freeing it: the driver manager already freed it (the
    //! statements of a connection go with SQLDisconnect).
    void Forget() { handle_ = SQL_NULL_HANDLE; }

  private:
    SQLSMALLINT type_ = 0;
    SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

//! The diagnostic records of `handle`, each "[STATE] message".
std::vector<EngineErrorInfo> OdbcDiagnostics(const OdbcHandle& handle, int number);
//! The engine error of a failed call on `handle`: error `number` whose text (from the error
//! table, "%1" = `subject`) is followed by the data source's diagnostics.
EngineError OdbcFailure(const OdbcHandle& handle, int number, const QString& subject = QString());
//! Raises OdbcFailure when `code` is neither SQL_SUCCESS nor SQL_SUCCESS_WITH_INFO.
void OdbcCheck(SQLRETURN code, const OdbcHandle& handle, int number = ErrOdbcCallFailed);

//! Text as SQLWCHAR (UTF-16) units for the W calls.
std::u16string ToOdbcText(const QString& text);
inline SQLWCHAR* OdbcText(std::u16string& text) {
    return reinterpret_cast<SQLWCHAR*>(text.data());
}

}  // namespace morvane
