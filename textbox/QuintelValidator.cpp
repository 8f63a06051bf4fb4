#include "textbox/QuintelValidator.h"

#include <QDate>
#include <QRegularExpression>

namespace morvane {

namespace {

// The same format with day, month and year fields widened or narrowed and the separators
// replaced, so that the many ways of writing one date in the locale's order all read. A month
// written as a name also gets a numeric form ("d MMM yyyy" reads 31/12/1999 as well); formats
// with a weekday name are taken as they are.
QStringList NumericVariants(const QString& format) {
    static const QRegularExpression dayField(QStringLiteral("d+"));
    static const QRegularExpression monthField(QStringLiteral("M+"));
    static const QRegularExpression yearField(QStringLiteral("y+"));
    static const QRegularExpression separator(QStringLiteral("[/.\\- ]+"));
    if (format.contains(QLatin1String("ddd"))) return {};
    QString base = format.trimmed();
    base.replace(dayField, QStringLiteral("d")).replace(monthField, QStringLiteral("M"));
    QStringList variants;
    for (const QString& year : {QStringLiteral("yy"), QStringLiteral("yyyy")}) {
        QString withYear = base;
        withYear.replace(yearField, year);
        for (const QString& mark :
             {QStringLiteral("/"), QStringLiteral("-"), QStringLiteral(".")}) {
            QString variant = withYear;
            variants << variant.replace(separator, mark);
        }
    }
    return variants;
}

}  // namespace

bool QuintelValidator::Check(const QString& text, int validation, bool required) const noexcept {
    try {
        if (text.isEmpty()) return !required;
        if (validation == 1) return IsDate(text);
        if (validation == 2) return IsNumber(text);
        return true;
    } catch (...) {
        // A check that cannot be made counts as failed; the caller never sees an error.
        return false;
    }
}

QStringList QuintelValidator::DateFormats() const {
    QStringList formats;
    for (const QLocale::FormatType type :
         {QLocale::ShortFormat, QLocale::LongFormat, QLocale::NarrowFormat}) {
        const QString format = m_locale.dateFormat(type);
        formats << format << NumericVariants(format);
    }
    formats.removeDuplicates();
    return formats;
}

bool QuintelValidator::IsDate(const QString& text) const {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return false;
    if (QDate::fromString(trimmed, Qt::ISODate).isValid()) return true;
    const QStringList formats = DateFormats();
    for (const QString& format : formats) {
        if (m_locale.toDate(trimmed, format).isValid()) return true;
    }
    return false;
}

bool QuintelValidator::IsNumber(const QString& text) const {
    bool ok = false;
    m_locale.toDouble(text.trimmed(), &ok);
    return ok;
}

}  // namespace morvane
