#include "propertybag/FilePropertyBag.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QTextStream>
#include <utility>

namespace morvane {
namespace {

QString Escape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        switch (ch.unicode()) {
            case '\\':
                out += QLatin1String("\\\\");
                break;
            case '\n':
                out += QLatin1String("\\n");
                break;
            case '\r':
                out += QLatin1String("\\r");
                break;
            case '\t':
                out += QLatin1String("\\t");
                break;
            case '=':
                out += QLatin1String("\\=");
                break;
            default:
                if (ch.unicode() < 0x20 || ch.unicode() == 0x7f)
                    out += QStringLiteral("\\u%1").arg(ch.unicode(), 4, 16, QLatin1Char('0'));
                else
                    out += ch;
        }
    }
    return out;
}

// Reads escaped text from line starting at pos, up to an unescaped stop character (or the
// end when stop is null). Leaves pos on the stop character. Answers false on a bad escape.
bool Unescape(const QString& line, qsizetype& pos, QChar stop, QString& out) {
    while (pos < line.size() && (stop.isNull() || line[pos] != stop)) {
        const QChar ch = line[pos++];
        if (ch != QLatin1Char('\\')) {
            out += ch;
            continue;
        }
        if (pos >= line.size()) return false;
        const QChar code = line[pos++];
        switch (code.unicode()) {
            case '\\':
                out += QLatin1Char('\\');
                break;
            case 'n':
                out += QLatin1Char('\n');
                break;
            case 'r':
                out += QLatin1Char('\r');
                break;
            case 't':
                out += QLatin1Char('\t');
                break;
            case '=':
                out += QLatin1Char('=');
                break;
            case 'u': {
                bool ok = false;
                const uint value = line.mid(pos, 4).toUInt(&ok, 16);
                if (!ok || pos + 4 > line.size()) return false;
                out += QChar(char16_t(value));
                pos += 4;
                break;
            }
            default:
                return false;
        }
    }
    return true;
}

QString FormatValue(const QVariant& value) {
    if (!value.isValid()) return QStringLiteral("n:");
    switch (value.metaType().id()) {
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("b:1") : QStringLiteral("b:0");
        case QMetaType::Short:
            return QStringLiteral("i16:%1").arg(value.value<qint16>());
        case QMetaType::Int:
            return QStringLiteral("i32:%1").arg(value.toInt());
        case QMetaType::Long:
        case QMetaType::LongLong:
            return QStringLiteral("i64:%1").arg(value.toLongLong());
        case QMetaType::UShort:
            return QStringLiteral("u16:%1").arg(value.value<quint16>());
        case QMetaType::UInt:
            return QStringLiteral("u32:%1").arg(value.toUInt());
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            return QStringLiteral("u64:%1").arg(value.toULongLong());
        case QMetaType::Float:
        case QMetaType::Double:
            return QStringLiteral("d:") +
                   QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        case QMetaType::QByteArray:
            return QStringLiteral("ba:") + QString::fromLatin1(value.toByteArray().toBase64());
        default:
            return QStringLiteral("s:") + Escape(value.toString());
    }
}

// Integer of the tag's width; out-of-range text is malformed rather than truncated.
bool ParseInteger(const QString& tag, const QString& text, QVariant& value) {
    bool ok = false;
    if (tag == QLatin1String("i16"))
        value = QVariant::fromValue(text.toShort(&ok));
    else if (tag == QLatin1String("i32"))
        value = QVariant(text.toInt(&ok));
    else if (tag == QLatin1String("i64"))
        value = QVariant(text.toLongLong(&ok));
    else if (tag == QLatin1String("u16"))
        value = QVariant::fromValue(text.toUShort(&ok));
    else if (tag == QLatin1String("u32"))
        value = QVariant(text.toUInt(&ok));
    else if (tag == QLatin1String("u64"))
        value = QVariant(text.toULongLong(&ok));
    return ok;
}

bool ParseValue(const QString& tag, const QString& text, QVariant& value) {
    if (tag == QLatin1String("s")) {
        qsizetype pos = 0;
        QString out;
        if (!Unescape(text, pos, QChar(), out)) return false;
        value = out;
        return true;
    }
    if (tag == QLatin1String("b")) {
        if (text != QLatin1String("1") && text != QLatin1String("0")) return false;
        value = QVariant(text == QLatin1String("1"));
        return true;
    }
    if (tag == QLatin1String("n")) {
        value = QVariant();
        return text.isEmpty();
    }
    if (tag == QLatin1String("d")) {
        bool ok = false;
        value = QVariant(text.toDouble(&ok));
        return ok;
    }
    if (tag == QLatin1String("ba")) {
        const auto decoded = QByteArray::fromBase64Encoding(
            text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        value = QVariant(decoded.decoded);
        return bool(decoded);
    }
    return ParseInteger(tag, text, value);
}

}  // namespace

FilePropertyBag::FilePropertyBag(QString path, PropertyBagOptions options)
    : MemoryPropertyBag(options), path_(std::move(path)) {}

QString FilePropertyBag::FormatLine(const QString& key, const QVariant& value) {
    // A line starting with "#" reads as a comment, so a key's leading "#" is escaped.
    QString escapedKey = Escape(key);
    if (escapedKey.startsWith(QLatin1Char('#')))
        escapedKey.replace(0, 1, QStringLiteral("\\u0023"));
    return escapedKey + QLatin1Char('=') + FormatValue(value);
}

bool FilePropertyBag::ParseLine(const QString& line, QString& key, QVariant& value) {
    qsizetype pos = 0;
    key.clear();
    if (!Unescape(line, pos, QLatin1Char('='), key) || pos >= line.size() || key.isEmpty())
        return false;
    const qsizetype colon = line.indexOf(QLatin1Char(':'), pos + 1);
    if (colon < 0) return false;
    const QString tag = line.mid(pos + 1, colon - pos - 1);
    return ParseValue(tag, line.mid(colon + 1), value);
}

bool FilePropertyBag::Load() {
    Clear();
    malformedLines_ = 0;
    errorString_.clear();
    QFile file(path_);
    if (!file.exists()) return true;
    if (!file.open(QIODevice::ReadOnly)) {
        errorString_ = file.errorString();
        return false;
    }
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    QString line;
    while (in.readLineInto(&line)) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        QString key;
        QVariant value;
        if (ParseLine(line, key, value))
            SetValue(key, value);
        else
            ++malformedLines_;
    }
    return true;
}

bool FilePropertyBag::Save() const {
    errorString_.clear();
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) {
        errorString_ = file.errorString();
        return false;
    }
    QByteArray text = "# Morvane property bag\n";
    for (const QString& key : Keys()) text += FormatLine(key, Value(key)).toUtf8() + '\n';
    if (file.write(text) != text.size() || !file.commit()) {
        errorString_ = file.errorString();
        return false;
    }
    return true;
}

}  // namespace morvane
