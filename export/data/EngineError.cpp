#include "export/data/EngineError.h"

namespace morvane {

EngineErrors& DbErrors() {
    static EngineErrors errors;
    return errors;
}

EngineError EngineError::Raise(int number, const QString& description) {
    DbErrors().Set({EngineErrorInfo{number, description}});
    return EngineError(number, description);
}

EngineError EngineError::Raise(std::vector<EngineErrorInfo> errors) {
    EngineError error(errors.front().Number, errors.front().Description);
    DbErrors().Set(std::move(errors));
    return error;
}

}  // namespace morvane
