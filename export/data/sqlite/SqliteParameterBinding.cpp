#include "export/data/sqlite/SqliteParameterBinding.h"

#include "export/data/EngineError.h"

#include <sqlite3.h>
#include <QRegularExpression>
#include <cmath>

namespace morvane {

namespace {

const Parameter* FindParameter(const Parameters& parameters, const QString& name) {
    for (int index = 0; index < parameters.Count(); ++index) {
        const Parameter& parameter = parameters.At(index);
        if (parameter.Name().compare(name, Qt::CaseInsensitive) == 0) return &parameter;
    }
    return nullptr;
}

[[noreturn]] void RaiseTooFew(const Parameters& parameters) {
    int missing = 0;
    for (int index = 0; index < parameters.Count(); ++index)
        if (!parameters.At(index).Value().isValid()) ++missing;
    throw EngineError::Of(ErrTooFewParameters, QString::number(qMax(missing, 1)));
}

}  // namespace

QVariant BoundParameterValue(const QString& text) {
    bool ok = false;
    const qlonglong integer = text.toLongLong(&ok);
    if (ok && QString::number(integer) == text) return integer;
    static const QRegularExpression decimal(QStringLiteral("^-?(0|[1-9][0-9]*)\\.[0-9]+$"));
    if (decimal.match(text).hasMatch()) {
        const double real = text.toDouble(&ok);
        if (ok && std::isfinite(real)) return real;
    }
    return text;
}

void BindQueryParameters(sqlite3_stmt* statement, const Parameters& parameters) {
    const int count = sqlite3_bind_parameter_count(statement);
    for (int index = 1; index <= count; ++index) {
        const char* raw = sqlite3_bind_parameter_name(statement, index);
        if (!raw || raw[0] != ':') RaiseTooFew(parameters);
        const Parameter* parameter = FindParameter(parameters, QString::fromUtf8(raw + 1));
        if (!parameter || !parameter->Value().isValid()) RaiseTooFew(parameters);
        const QVariant value = BoundParameterValue(parameter->Value().toString());
        if (value.typeId() == QMetaType::LongLong) {
            sqlite3_bind_int64(statement, index, value.toLongLong());
        } else if (value.typeId() == QMetaType::Double) {
            sqlite3_bind_double(statement, index, value.toDouble());
        } else {
            const QByteArray bytes = value.toString().toUtf8();
            sqlite3_bind_text(statement, index, bytes.constData(), static_cast<int>(bytes.size()),
                              SQLITE_TRANSIENT);
        }
    }
}

}  // namespace morvane
