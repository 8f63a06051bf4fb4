#include "export/data/paradox/ParadoxText.h"

#include <iconv.h>

#include <QHash>
#include <mutex>

namespace morvane::paradox {

namespace {

QByteArray IconvName(int number) {
    if (number >= 1250 && number <= 1258) return "WINDOWS-" + QByteArray::number(number);
    return "CP" + QByteArray::number(number);
}

// The UTF-16 unit of one byte, -1 when the page leaves it undefined or is not single-byte.
int DecodeByte(iconv_t converter, unsigned char byte) {
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char input[1] = {static_cast<char>(byte)};
    char output[8];
    char* in = input;
    char* out = output;
    size_t inLeft = 1;
    size_t outLeft = sizeof(output);
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) return -1;
    if (sizeof(output) - outLeft != 2) return -1;
    return static_cast<unsigned char>(output[0]) | (static_cast<unsigned char>(output[1]) << 8);
}

}  // namespace

std::shared_ptr<const ParadoxCodePage> BuildPage(int number) {
    iconv_t converter = iconv_open("UTF-16LE", IconvName(number).constData());
    if (converter == reinterpret_cast<iconv_t>(-1)) return nullptr;
    auto page = std::make_shared<ParadoxCodePage>();
    page->number_ = number;
    for (int byte = 0; byte < 256; ++byte) {
        const int unit = DecodeByte(converter, static_cast<unsigned char>(byte));
        page->decode_[byte] = static_cast<char16_t>(unit < 0 ? byte : unit);
    }
    iconv_close(converter);
    for (int byte = 255; byte >= 0; --byte) {
        const char16_t unit = page->decode_[byte];
        page->encode_[unit] = static_cast<short>(byte);
        const QByteArray utf8 = QString(QChar(unit)).toUtf8();
        page->utf8Size_[byte] = static_cast<unsigned char>(utf8.size());
        for (int i = 0; i < utf8.size() && i < 3; ++i) page->utf8_[byte][i] = utf8[i];
    }
    return page;
}

std::shared_ptr<const ParadoxCodePage> ParadoxCodePage::ForNumber(int number) {
    static std::mutex mutex;
    static QHash<int, std::shared_ptr<const ParadoxCodePage>> pages;
    if (number <= 0) number = 1252;
    std::lock_guard<std::mutex> lock(mutex);
    auto found = pages.find(number);
    if (found != pages.end()) return found.value();
    auto page = BuildPage(number);
    if (!page) page = BuildPage(1252);  // glibc always has it
    pages.insert(number, page);
    return page;
}

QString ParadoxCodePage::Decode(const char* bytes, int size) const {
    QString text(size, Qt::Uninitialized);
    QChar* out = text.data();
    for (int i = 0; i < size; ++i) out[i] = QChar(decode_[static_cast<unsigned char>(bytes[i])]);
    return text;
}

void ParadoxCodePage::AppendUtf8(QByteArray& out, const char* bytes, int size) const {
    for (int i = 0; i < size; ++i) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        out.append(utf8_[byte].data(), utf8Size_[byte]);
    }
}

QByteArray ParadoxCodePage::Encode(QStringView text) const {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const short code = encode_[text[i].unicode()];
        bytes[i] = code < 0 ? '?' : static_cast<char>(code);
    }
    return bytes;
}

bool ParadoxCodePage::Holds(QChar ch) const {
    return encode_[ch.unicode()] >= 0;
}

}  // namespace morvane::paradox
