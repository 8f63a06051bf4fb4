#include "export/common/RuntimeError.h"

#include <utility>

namespace morvane {

RuntimeError::RuntimeError(int number, QString description)
    : number_(number), description_(std::move(description)) {
    what_ = description_.toUtf8() + " (" + QByteArray::number(number_) + ")";
}

RuntimeError::~RuntimeError() = default;

QStringList RuntimeError::ListedDescriptions() const {
    return {};
}

RuntimeError RuntimeError::Overflow() {
    return RuntimeError(ErrOverflow, QStringLiteral("Overflow"));
}

RuntimeError RuntimeError::InvalidProcedureCall() {
    return RuntimeError(ErrInvalidProcedureCall,
                        QStringLiteral("Invalid procedure call or argument"));
}

}  // namespace morvane
