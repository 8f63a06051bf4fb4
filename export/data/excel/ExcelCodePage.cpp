#include "export/data/excel/ExcelCodePage.h"

#include <iconv.h>
#include <QHash>
#include <QMutex>
#include <array>

namespace morvane {

namespace {

using Table = std::array<char16_t, 256>;

// The characters of the 256 bytes of `page` ("CP1252"), from iconv; identity for bytes the
// page leaves undefined or when iconv does not know the page.
Table BuildTable(const QByteArray& page) {
    Table table;
    for (int code = 0; code < 256; ++code) table[static_cast<size_t>(code)] = char16_t(code);
    iconv_t cd = iconv_open("UTF-16LE", page.constData());
    if (cd == reinterpret_cast<iconv_t>(-1)) return table;
    for (int code = 0x80; code < 256; ++code) {
        char in = static_cast<char>(code);
        char out[4];
        char* inPtr = &in;
        char* outPtr = out;
        size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) &&
            outLeft == 2)
            table[static_cast<size_t>(code)] = char16_t(static_cast<unsigned char>(out[0]) |
                                                        (static_cast<unsigned char>(out[1]) << 8));
    }
    iconv_close(cd);
    return table;
}

const Table& TableOf(int codePage) {
    static QMutex mutex;
    static QHash<int, Table> tables;
    // Unicode and unknown markers: the file's single-byte text is taken as Windows-1252.
    if (codePage <= 0 || codePage == 1200 || codePage == 65001 || codePage == 32768 ||
        codePage == 367)
        codePage = 1252;
    QMutexLocker lock(&mutex);
    auto found = tables.find(codePage);
    if (found == tables.end())
        found = tables.insert(codePage, BuildTable("CP" + QByteArray::number(codePage)));
    return *found;
}

}  // namespace

QString ExcelCodePage::Decode(const char* bytes, int size, int codePage) {
    const Table& table = TableOf(codePage);
    QString text(size, Qt::Uninitialized);
    QChar* out = text.data();
    for (int index = 0; index < size; ++index)
        out[index] = QChar(table[static_cast<unsigned char>(bytes[index])]);
    return text;
}

QByteArray ExcelCodePage::Encode1252(QStringView text) {
    static const QHash<char16_t, char> reverse = [] {
        QHash<char16_t, char> map;
        const Table& table = TableOf(1252);
        for (int code = 0x80; code < 256; ++code)
            map.insert(table[static_cast<size_t>(code)], static_cast<char>(code));
        return map;
    }();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (qsizetype index = 0; index < text.size(); ++index) {
        const char16_t ch = text[index].unicode();
        if (ch < 0x80) {
            out[index] = static_cast<char>(ch);
        } else {
            out[index] = reverse.value(ch, '?');
        }
    }
    return bytes;
}

}  // namespace morvane
