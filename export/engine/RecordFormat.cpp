#include "export/engine/RecordFormat.h"

#include "export/common/CodePage.h"
#include "export/common/RuntimeError.h"

namespace morvane {

QString FormatString(QString& str, short size) {
    if (size < 0) throw RuntimeError::InvalidProcedureCall();
    if (str.size() > size) {
        str.truncate(size);
    } else if (str.size() < size) {
        str.append(QString(size - str.size(), QLatin1Char(' ')));
    }
    return str;
}

QString UpperCase(const QString& text) {
    QString result = text;
    for (QChar& ch : result) {
        // QChar::toUpper maps one code unit to one; characters with multi-character
        // upper forms (ß) map to themselves, which keeps the length.
        if (ch.isSurrogate()) continue;
        const QChar upper = ch.toUpper();
        // An upper form outside the ANSI page (µ becomes Greek Mu) would reach the file
        // as "?": such a character is kept as it is, so upper case never loses one.
        if (upper != ch && CodePage::AnsiCode(upper) < 0 && CodePage::AnsiCode(ch) >= 0) continue;
        ch = upper;
    }
    return result;
}

QString Delimited(const QString& text, const ExportSetting& setting) {
    return setting.DelimiterChar + text + setting.DelimiterChar;
}

QString HeaderLine(const QStringList& fieldNames, const ExportSetting& setting) {
    QString line;
    for (int field_idx = 0; field_idx < fieldNames.size(); ++field_idx) {
        if (field_idx > 0) line += setting.SeparatorChar;
        line += setting.UseDelimiter ? Delimited(fieldNames.at(field_idx), setting)
                                     : fieldNames.at(field_idx);
    }
    return line;
}

}  // namespace morvane
