// RuntimeError: the error every routine of the export control may raise to its caller,
// carrying a number and a description (for example 6 "Overflow"). Engine errors derive
// from it (export/data/EngineError.h) so one handler catches both.
//
// Usage:
//   try { ... } catch (const RuntimeError& err) { report(err.Number(), err.Description()); }
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace morvane {

//! Numbers of the run-time errors raised outside the database engine.
enum RuntimeErrorNumber {
    ErrInvalidProcedureCall = 5,
    ErrOverflow = 6,
    ErrOutOfMemory = 7,
    ErrSubscriptOutOfRange = 9,
    ErrTypeMismatch = 13,
    ErrInternal = 51,
    ErrBadFileNameOrNumber = 52,
    ErrFileNotFound = 53,
    ErrDeviceIO = 57,
    ErrPermissionDenied = 70,
    ErrPathFileAccess = 75,
    ErrPathNotFound = 76,
    ErrObjectNotSet = 91,
    ErrInvalidPropertyValue = 380,
};

class RuntimeError : public std::exception {
  public:
    RuntimeError(int number, QString description);

    int Number() const { return number_; }
    const QString& Description() const { return description_; }
    const char* what() const noexcept override { return what_.constData(); }

    //! Error 6 "Overflow": a value does not fit the type it is stored in.
    static RuntimeError Overflow();
    //! Error 5 "Invalid procedure call or argument".
    static RuntimeError InvalidProcedureCall();

  private:
    int number_;
    QString description_;
    QByteArray what_;
};

}  // namespace morvane
