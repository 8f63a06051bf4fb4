#include "export/data/jet/JetText.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace morvane {

namespace {

QByteArray CodecName(int codePage) {
    if ((codePage >= 1250 && codePage <= 1258) || codePage == 874)
        return "windows-" + QByteArray::number(codePage);
    if (codePage == 437 || codePage == 850) return "IBM" + QByteArray::number(codePage);
    return "windows-1252";
}

QString DecodeRawUcs2(const unsigned char* bytes, int size) {
    QString text(size / 2, Qt::Uninitialized);
    QChar* out = text.data();
    for (int index = 0; index + 1 < size; index += 2)
        *out++ = QChar(static_cast<char16_t>(bytes[index] | (bytes[index + 1] << 8)));
    return text;
}

}  // namespace

QString JetText::Decode(const char* bytes, int size, int version, int codePage) {
    if (size <= 0) return QString(QLatin1String(""));
    const QByteArray raw = QByteArray::fromRawData(bytes, size);
    QString text = version == 0 ? DecodeCodePage(raw, codePage) : DecodeUcs2(raw);
    // Query texts and some memos carry a terminating NUL that is no part of the value.
    while (text.endsWith(QChar(0))) text.chop(1);
    return text;
}

QString JetText::DecodeUcs2(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const int size = bytes.size();
    if (size < 2 || data[0] != 0xFF || data[1] != 0xFE) return DecodeRawUcs2(data, size);
    QString text;
    text.reserve(size);
    bool compressed = true;
    for (int index = 2; index < size;) {
        if (data[index] == 0) {
            compressed = !compressed;
            ++index;
        } else if (compressed) {
            text += QChar(static_cast<char16_t>(data[index++]));
        } else if (index + 1 < size) {
            text += QChar(static_cast<char16_t>(data[index] | (data[index + 1] << 8)));
            index += 2;
        } else {
            break;
        }
    }
    return text;
}

QString JetText::DecodeCodePage(const QByteArray& bytes, int codePage) {
    QStringDecoder decoder(CodecName(codePage).constData());
    if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Latin1);
    return decoder.decode(bytes);
}

QByteArray JetText::EncodeCodePage(const QString& text, int codePage) {
    QStringEncoder encoder(CodecName(codePage).constData());
    if (!encoder.isValid()) return text.toLatin1();
    return encoder.encode(text);
}

QByteArray JetText::EncodeUcs2(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar character : text) {
        bytes += static_cast<char>(character.unicode() & 0xFF);
        bytes += static_cast<char>(character.unicode() >> 8);
    }
    return bytes;
}

}  // namespace morvane
