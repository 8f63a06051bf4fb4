// ParadoxText: the single-byte code page of one Paradox table. The header of a level 4 or
// later table names its code page by number (437, 850, 852, 866, 1252, ...); level 3 tables
// and a 0 there mean Windows-1252. The tables are built once per page from glibc's iconv;
// a page iconv does not know falls back to Windows-1252.
//
// Decoding is total (a byte the page leaves undefined becomes the character of the same
// code); encoding turns a character the page lacks into "?".
//
// Usage:
//   auto page = ParadoxCodePage::ForNumber(header.codePage);
//   QString text = page->Decode(bytes, size);
//   QByteArray stored = page->Encode(text);
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <array>
#include <memory>
#include <vector>

namespace morvane::paradox {

class ParadoxCodePage {
  public:
    //! The page of code page number `number` (0 or unknown: 1252). Shared and immutable.
    static std::shared_ptr<const ParadoxCodePage> ForNumber(int number);

    int Number() const { return number_; }
    QString Decode(const char* bytes, int size) const;
    //! Appends the UTF-8 form of the bytes to out.
    void AppendUtf8(QByteArray& out, const char* bytes, int size) const;
    QByteArray Encode(QStringView text) const;
    //! True when the page has the character.
    bool Holds(QChar ch) const;

  private:
    int number_ = 1252;
    std::array<char16_t, 256> decode_{};
    std::array<std::array<char, 3>, 256> utf8_{};
    std::array<unsigned char, 256> utf8Size_{};
    std::vector<short> encode_ = std::vector<short>(65536, -1);
    friend std::shared_ptr<const ParadoxCodePage> BuildPage(int number);
};

}  // namespace morvane::paradox
