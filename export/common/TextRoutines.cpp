#include "export/common/TextRoutines.h"

#include "export/common/CodePage.h"
#include "export/common/RuntimeError.h"

namespace morvane {

namespace {

QString& TokenState() {
    static QString tokenText;
    return tokenText;
}

// The scrambling walks the text with a one-byte counter, which overflows once it has to
// step past 255: texts of 255 characters or more cannot be handled.
constexpr int kMaxScrambledLength = 254;

// Applies transform to the ANSI code of every character. Characters the ANSI page lacks
// count as "?" (code 63), as the ANSI conversion of the text would give them.
template <typename Transform>
QString TransformCodes(const QString& text, Transform transform) {
    if (text.size() > kMaxScrambledLength) throw RuntimeError::Overflow();
    QString result(text.size(), Qt::Uninitialized);
    for (qsizetype index = 0; index < text.size(); ++index) {
        int code = CodePage::AnsiCode(text[index]);
        if (code < 0) code = '?';
        const int newCode = transform(code);
        if (newCode < 0 || newCode > 255) throw RuntimeError::InvalidProcedureCall();
        result[index] = CodePage::AnsiChar(static_cast<unsigned char>(newCode));
    }
    return result;
}

}  // namespace

void ReplaceText(QString& text, const QString& search, const QString& replacement) {
    if (text.isEmpty() || search.isEmpty()) return;
    qsizetype from = 0;
    while ((from = text.indexOf(search, from, Qt::CaseInsensitive)) >= 0) {
        text.replace(from, search.size(), replacement);
        from += replacement.size();
    }
}

void ReplaceChar(QString& text, const QString& search, const QString& replacement) {
    if (text.isEmpty() || search.isEmpty()) return;
    qsizetype from = 0;
    while ((from = text.indexOf(search, from, Qt::CaseSensitive)) >= 0) {
        text.replace(from, search.size(), replacement);
        from += replacement.size();
    }
}

QString NextToken(const QString& text, const QString& delimiters) {
    QString& tokenText = TokenState();
    if (!text.isEmpty()) tokenText = text;
    for (qsizetype index = 0; index < tokenText.size(); ++index) {
        if (delimiters.contains(tokenText[index])) {
            const QString token = tokenText.left(index);
            tokenText.remove(0, index + 1);
            return token;
        }
    }
    QString token;
    token.swap(tokenText);
    return token;
}

const QString& TokenText() {
    return TokenState();
}

QString ToOem(const QString& text) {
    return CodePage::DecodeAnsi(CodePage::EncodeOem(text));
}

QString EncodeText(const QString& text, qint16& key) {
    const int keyValue = key;
    return TransformCodes(text, [keyValue](int code) { return (code - 3) ^ keyValue; });
}

QString DecodeText(const QString& text, qint16& key) {
    const int keyValue = key;
    return TransformCodes(text, [keyValue](int code) { return (code ^ keyValue) + 3; });
}

}  // namespace morvane
