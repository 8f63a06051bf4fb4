// XbaseCodePage: the character set of an xBase table, from the language driver byte of
// its header (offset 29). Tables written here carry 0x03 (Windows-1252); tables from other
// programs are read in the page their byte names (the DOS pages 437, 850, 852, 865, 866 ...
// and the Windows pages 1250 to 1256); 0x00 and bytes without a single-byte page read as
// Windows-1252.
//
// The tables are built once per page from the C library's iconv; each conversion is then a
// table lookup. A character the page lacks is written "?".
//
// Usage:
//   const XbaseCodePage& page = XbaseCodePage::ForLanguageDriver(header[29]);
//   QString text = page.Decode(bytes, size);
//   QByteArray bytes = page.Encode(text);   // one byte per character
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <array>
#include <vector>

namespace morvane {

class XbaseCodePage {
  public:
    //! The language driver byte of the tables this driver writes (Windows-1252).
    static constexpr unsigned char kWindows1252 = 0x03;

    //! The page of a language driver byte; Windows-1252 for 0 and unknown bytes.
    static const XbaseCodePage& ForLanguageDriver(unsigned char id);

    QString Decode(const char* bytes, qsizetype size) const;
    //! Appends the page's UTF-8 form of the bytes to out (cleared first).
    void DecodeUtf8(const char* bytes, qsizetype size, QByteArray& out) const;
    //! The page's bytes of text ('?' for a character it lacks).
    QByteArray Encode(QStringView text) const;
    //! The same bytes written to out (text.size() of them: one byte per character).
    void EncodeInto(QStringView text, char* out) const;
    const QString& Name() const { return name_; }

  private:
    explicit XbaseCodePage(const char* name);

    QString name_;
    std::array<char16_t, 256> decode_{};
    std::array<QByteArray, 256> utf8_;
    std::vector<unsigned char> encode_;  // 65536 entries, 0 = lacking (but for zeroUnit_)
    char16_t zeroUnit_ = 0;
};

}  // namespace morvane
