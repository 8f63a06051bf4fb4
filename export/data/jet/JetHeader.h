// JetHeader: what the engine reads from page 0 of a Jet database (.mdb): the format
// version, the page size that follows from it, the text code page and the database
// password. libmdb reads the same page for itself; the password it does not read, so the
// driver decodes it here to enforce it.
//
// Page 0, the database definition page, as read here (little-endian):
//
//   offset  size  field
//   0x00    4     00 01 00 00                       page type 0 and the signature start
//   0x04    16    "Standard Jet DB\0"  (.mdb)  or  "Standard ACE DB\0"  (.accdb)
//   0x14    4     version: 0 Jet 3 (2048-byte pages), 1 Jet 4 (4096), 2.. ACE (4096)
//   0x18    126 (Jet 3) or 128 (Jet 4 and later) bytes masked with the RC4 key stream of
//                the fixed key C7 DA 39 6B; unmasked, this range holds:
//     0x3C  2     default code page of Jet 3 text (1252 ...)
//     0x3E  4     database key (non-zero: the data pages are encrypted)
//     0x42  20    Jet 3: the password in the code page, NUL-padded
//           40    Jet 4: the password in UCS-2, each 4-byte group XOR-ed with the
//                 32-bit integer part of the creation date below, NUL-padded
//     0x72  8     Jet 4: creation date, an 8-byte double (days since 1899-12-30)
//
// ACE files (version 2 and above) keep a password digest elsewhere; they are reported as
// having no readable password, and the driver refuses them when a password is needed.
//
// Usage:
//   JetHeader header = JetHeader::Parse(firstBytes);   // at least kMinimumSize bytes
//   if (!header.Valid()) ...; header.Password();
#pragma once

#include <QByteArray>
#include <QString>

namespace morvane {

class JetHeader {
  public:
    //! Bytes of page 0 that Parse needs (the masked range ends at 0x98).
    static constexpr int kMinimumSize = 0x98;

    //! True when `bytes` start with the Jet or ACE signature.
    static bool HasSignature(const QByteArray& bytes);
    //! Decodes the header; Valid() is false when the signature or length is wrong.
    static JetHeader Parse(const QByteArray& bytes);

    bool Valid() const { return valid_; }
    //! 0 Jet 3, 1 Jet 4, 2 and above ACE.
    int Version() const { return version_; }
    bool IsAce() const { return version_ >= 2; }
    int PageSize() const { return version_ == 0 ? 2048 : 4096; }
    int CodePage() const { return codePage_; }
    bool Encrypted() const { return databaseKey_ != 0; }
    //! The database password, empty when none is set (or for ACE files).
    const QString& Password() const { return password_; }

    //! The RC4 key stream that masks the header range (applying it twice restores it).
    static QByteArray MaskStream(int length);
    //! The page-0 bytes with `password` encoded as this version stores it (for tests that
    //! make protected copies of unprotected files). REQUIRES: `bytes` parse as Valid.
    static QByteArray WithPassword(const QByteArray& bytes, const QString& password);

  private:
    bool valid_ = false;
    int version_ = 0;
    int codePage_ = 0;
    quint32 databaseKey_ = 0;
    QString password_;
};

}  // namespace morvane
