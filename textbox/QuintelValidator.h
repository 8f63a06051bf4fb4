// QuintelValidator: the text check behind Quintel::ValidationOK. An empty text is judged by the
// required flag alone; any other text must read as a date (validation 1) or as a number
// (validation 2) under the given locale; other validation values accept every text.
//
// Dates are read with the locale's short, long and narrow date formats and their variants with
// one- or two-digit day and month, a numeric month where the format names it, two- or four-digit
// year and any of the separators "/", "-", "." (so 1-2-99 reads wherever d/M/yy does), and as
// ISO 8601 dates. Numbers are read by
// QLocale::toDouble: the locale's decimal and group separators, signs and exponents, with
// surrounding blanks ignored.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace morvane {

class QuintelValidator {
  public:
    explicit QuintelValidator(const QLocale& locale) : m_locale(locale) {}

    //! The result of ValidationOK for text; never throws.
    bool Check(const QString& text, int validation, bool required) const noexcept;

    bool IsDate(const QString& text) const;
    bool IsNumber(const QString& text) const;

  private:
    QStringList DateFormats() const;

    QLocale m_locale;
};

}  // namespace morvane
