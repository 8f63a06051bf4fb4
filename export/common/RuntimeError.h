// RuntimeError: the error every routine of the export control may raise to its caller,
// carrying a number and a description (for example 6 "Overflow"). Engine errors derive
// from it (export/data/EngineError.h) so one handler catches both.
//
// Usage:
//   try { ... } catch (const RuntimeError& err) { report(err.Number(), err.Description()); }
#pragma once

#include "export/common/MorvaneExport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
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

class MORVANE_EXPORT RuntimeError : public std::exception {
  public:
    RuntimeError(int number, QString description);
    ~RuntimeError() override;
    RuntimeError(const RuntimeError&) = default;
    RuntimeError& operator=(const RuntimeError&) = default;

    int Number() const { return number_; }
    const QString& Description() const { return description_; }
    const char* what() const noexcept override { return what_.constData(); }
    //! The descriptions of the failures this error stands for, when it carries a list of
    //! them (an engine error lists its whole Errors collection); empty for a single
    //! run-time error, which is described by Number and Description alone.
    virtual QStringList ListedDescriptions() const;

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
