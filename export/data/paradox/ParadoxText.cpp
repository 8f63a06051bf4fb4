#include "export/data/paradox/ParadoxText.h"

#include "export/common/CodePage.h"

#include <QHash>
#include <mutex>

namespace morvane::paradox {

namespace {

QByteArray IconvName(int number) {
    if (number >= 1250 && number <= 1258) return "WINDOWS-" + QByteArray::number(number);
    return "CP" + QByteArray::number(number);
}

}  // namespace

std::shared_ptr<const ParadoxCodePage> BuildPage(int number) {
    std::array<char16_t, 256> decode{};
    if (!CodePage::ByteTable(QString::fromLatin1(IconvName(number)), decode)) return nullptr;
    auto page = std::make_shared<ParadoxCodePage>();
    page->number_ = number;
    for (int byte = 0; byte < 256; ++byte) page->decode_[byte] = decode[byte];
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
