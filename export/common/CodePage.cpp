#include "export/common/CodePage.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <memory>
#include <vector>

namespace morvane {

namespace {

// Lookup tables of one single-byte page. encode holds the byte of every UTF-16 code unit;
// 0 there means "not in the page" except for the one unit that byte 0 decodes to.
struct PageTables {
    QString name;
    std::array<char16_t, 256> decode{};
    std::vector<unsigned char> encode = std::vector<unsigned char>(65536, 0);
    char16_t zeroUnit = 0;

    int Code(char16_t unit) const {
        const unsigned char byte = encode[unit];
        if (byte == 0 && unit != zeroUnit) return -1;
        return byte;
    }
};

// Decodes one byte with iconv. Answers the UTF-16 unit, -1 when the page leaves the byte
// undefined, -2 when the byte starts a multi-byte sequence (not a single-byte page).
int DecodeByte(iconv_t converter, unsigned char byte) {
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char input[1] = {static_cast<char>(byte)};
    char output[8];
    char* in = input;
    char* out = output;
    size_t inLeft = 1;
    size_t outLeft = sizeof(output);
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1))
        return errno == EINVAL ? -2 : -1;
    if (sizeof(output) - outLeft != 2) return -2;
    return static_cast<unsigned char>(output[0]) | (static_cast<unsigned char>(output[1]) << 8);
}

// The decode table of a single-byte page; false when iconv lacks it or it is multi-byte.
bool DecodeTable(const QString& name, std::array<char16_t, 256>& decode) {
    iconv_t converter = iconv_open("UTF-16LE", name.toLatin1().constData());
    if (converter == reinterpret_cast<iconv_t>(-1)) return false;
    std::array<char16_t, 256> table{};
    bool singleByte = true;
    for (int byte = 0; byte < 256 && singleByte; ++byte) {
        const int unit = DecodeByte(converter, static_cast<unsigned char>(byte));
        if (unit == -2) singleByte = false;
        // An undefined byte stands for the character of the same code; that keeps
        // decoding total and reversible.
        table[byte] = static_cast<char16_t>(unit < 0 ? byte : unit);
    }
    iconv_close(converter);
    if (!singleByte) return false;
    decode = table;
    return true;
}

std::shared_ptr<const PageTables> BuildTables(const QString& name) {
    auto tables = std::make_shared<PageTables>();
    tables->name = name;
    if (!DecodeTable(name, tables->decode)) return nullptr;
    // Fill from the top so that, should two bytes decode alike, the lower byte wins.
    for (int byte = 255; byte >= 0; --byte)
        tables->encode[tables->decode[byte]] = static_cast<unsigned char>(byte);
    tables->zeroUnit = tables->decode[0];
    return tables;
}

// Identity tables of ISO-8859-1, used only when the C library lacks a default page.
std::shared_ptr<const PageTables> Latin1Tables() {
    auto tables = std::make_shared<PageTables>();
    tables->name = QStringLiteral("ISO-8859-1");
    for (int byte = 0; byte < 256; ++byte) {
        tables->decode[byte] = static_cast<char16_t>(byte);
        tables->encode[byte] = static_cast<unsigned char>(byte);
    }
    return tables;
}

std::shared_ptr<const PageTables> DefaultTables(const char* name) {
    auto tables = BuildTables(QString::fromLatin1(name));
    return tables ? tables : Latin1Tables();
}

struct Pages {
    std::shared_ptr<const PageTables> ansi = DefaultTables("windows-1252");
    std::shared_ptr<const PageTables> oem = DefaultTables("IBM437");
};

Pages& CurrentPages() {
    static Pages pages;
    return pages;
}

void AppendEncoded(const PageTables& tables, QByteArray& out, QStringView text) {
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* target = out.data() + start;
    for (const QChar ch : text) {
        const int code = tables.Code(ch.unicode());
        *target++ = code < 0 ? '?' : static_cast<char>(code);
    }
}

QString Decode(const PageTables& tables, QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* target = text.data();
    for (const char byte : bytes)
        *target++ = QChar(tables.decode[static_cast<unsigned char>(byte)]);
    return text;
}

bool SetPage(std::shared_ptr<const PageTables>& slot, const QString& name) {
    auto tables = BuildTables(name);
    if (!tables) return false;
    slot = std::move(tables);
    return true;
}

}  // namespace

QByteArray CodePage::EncodeAnsi(QStringView text) {
    QByteArray out;
    AppendEncoded(*CurrentPages().ansi, out, text);
    return out;
}

void CodePage::AppendAnsi(QByteArray& out, QStringView text) {
    AppendEncoded(*CurrentPages().ansi, out, text);
}

QString CodePage::DecodeAnsi(QByteArrayView bytes) {
    return Decode(*CurrentPages().ansi, bytes);
}

int CodePage::AnsiCode(QChar ch) {
    return CurrentPages().ansi->Code(ch.unicode());
}

QChar CodePage::AnsiChar(unsigned char code) {
    return QChar(CurrentPages().ansi->decode[code]);
}

QByteArray CodePage::EncodeOem(QStringView text) {
    QByteArray out;
    AppendEncoded(*CurrentPages().oem, out, text);
    return out;
}

QString CodePage::DecodeOem(QByteArrayView bytes) {
    return Decode(*CurrentPages().oem, bytes);
}

bool CodePage::SetAnsiCodePage(const QString& name) {
    return SetPage(CurrentPages().ansi, name);
}

bool CodePage::SetOemCodePage(const QString& name) {
    return SetPage(CurrentPages().oem, name);
}

QString CodePage::AnsiCodePage() {
    return CurrentPages().ansi->name;
}

QString CodePage::OemCodePage() {
    return CurrentPages().oem->name;
}

bool CodePage::ByteTable(const QString& name, std::array<char16_t, 256>& decode) {
    return DecodeTable(name, decode);
}

}  // namespace morvane
