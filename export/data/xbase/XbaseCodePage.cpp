#include "export/data/xbase/XbaseCodePage.h"

#include "export/common/CodePage.h"

#include <QHash>
#include <QMutex>
#include <memory>

namespace morvane {

namespace {

// Language driver bytes of xBase headers and the single-byte pages they name.
const char* PageName(unsigned char id) {
    switch (id) {
        case 0x01:
        case 0x09:
        case 0x0B:
        case 0x0D:
        case 0x0F:
        case 0x11:
        case 0x15:
        case 0x18:
        case 0x19:
        case 0x1B:
            return "CP437";
        case 0x02:
        case 0x0A:
        case 0x0E:
        case 0x10:
        case 0x12:
        case 0x14:
        case 0x16:
        case 0x1A:
        case 0x1D:
        case 0x25:
        case 0x37:
            return "CP850";
        case 0x04:
            return "MACINTOSH";
        case 0x08:
        case 0x17:
        case 0x66:
            return "CP865";
        case 0x1C:
            return "CP863";
        case 0x1F:
        case 0x22:
        case 0x23:
        case 0x40:
        case 0x64:
            return "CP852";
        case 0x24:
            return "CP860";
        case 0x26:
        case 0x65:
            return "CP866";
        case 0x67:
            return "CP861";
        case 0x6A:
            return "CP737";
        case 0x6B:
            return "CP857";
        case 0x7D:
            return "CP1255";
        case 0x7E:
            return "CP1256";
        case 0xC8:
            return "CP1250";
        case 0xC9:
            return "CP1251";
        case 0xCA:
            return "CP1254";
        case 0xCB:
            return "CP1253";
        case 0x96:
            return "MAC-CYRILLIC";
        case 0x97:
            return "MAC-CENTRALEUROPE";
        case 0x98:
            return "MACGREEK";
        default:
            return "CP1252";
    }
}

}  // namespace

XbaseCodePage::XbaseCodePage(const char* name)
    : name_(QString::fromLatin1(name)), encode_(65536, 0) {
    // A byte the page leaves undefined stands for the character of the same code; a page
    // the C library lacks reads as ISO-8859-1.
    std::array<char16_t, 256> decode{};
    const bool known = CodePage::ByteTable(QString::fromLatin1(name), decode);
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t unit = known ? decode[static_cast<size_t>(byte)] : char16_t(byte);
        decode_[static_cast<size_t>(byte)] = unit;
        utf8_[static_cast<size_t>(byte)] = QString(QChar(unit)).toUtf8();
    }
    for (int byte = 255; byte >= 0; --byte)
        encode_[decode_[static_cast<size_t>(byte)]] = static_cast<unsigned char>(byte);
    zeroUnit_ = decode_[0];
}

const XbaseCodePage& XbaseCodePage::ForLanguageDriver(unsigned char id) {
    static QMutex mutex;
    static QHash<QString, std::shared_ptr<const XbaseCodePage>> pages;
    const char* name = PageName(id);
    QMutexLocker lock(&mutex);
    auto& page = pages[QString::fromLatin1(name)];
    if (!page) page.reset(new XbaseCodePage(name));
    return *page;
}

QString XbaseCodePage::Decode(const char* bytes, qsizetype size) const {
    QString text(size, Qt::Uninitialized);
    QChar* target = text.data();
    for (qsizetype i = 0; i < size; ++i)
        target[i] = QChar(decode_[static_cast<unsigned char>(bytes[i])]);
    return text;
}

void XbaseCodePage::DecodeUtf8(const char* bytes, qsizetype size, QByteArray& out) const {
    out.clear();
    for (qsizetype i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80 && decode_[byte] == byte)
            out.append(static_cast<char>(byte));
        else
            out.append(utf8_[byte]);
    }
}

QByteArray XbaseCodePage::Encode(QStringView text) const {
    QByteArray out(text.size(), Qt::Uninitialized);
    EncodeInto(text, out.data());
    return out;
}

void XbaseCodePage::EncodeInto(QStringView text, char* out) const {
    for (const QChar ch : text) {
        const unsigned char byte = encode_[ch.unicode()];
        *out++ = (byte == 0 && ch.unicode() != zeroUnit_) ? '?' : static_cast<char>(byte);
    }
}

}  // namespace morvane
