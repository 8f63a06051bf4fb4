#include "export/data/jet/JetHeader.h"

#include "export/data/jet/JetText.h"

#include <QtEndian>
#include <cmath>
#include <cstring>

namespace morvane {

namespace {

constexpr int kVersionOffset = 0x14;
constexpr int kMaskedStart = 0x18;
constexpr int kCodePageOffset = 0x3C;
constexpr int kDatabaseKeyOffset = 0x3E;
constexpr int kPasswordOffset = 0x42;
constexpr int kCreationDateOffset = 0x72;
constexpr unsigned char kRc4Key[4] = {0xC7, 0xDA, 0x39, 0x6B};

int MaskedLength(int version) {
    return version == 0 ? 126 : 128;
}
int PasswordLength(int version) {
    return version == 0 ? 20 : 40;
}

// The 32-bit value Jet 4 XORs into every 4-byte group of the password: the whole days of
// the creation date. A date outside the 32-bit range (a corrupt header) gives no mask.
quint32 PasswordMask(const QByteArray& plain) {
    double date = 0;
    std::memcpy(&date, plain.constData() + kCreationDateOffset, sizeof date);
    date = qFromLittleEndian(date);
    if (!std::isfinite(date) || date >= 2147483648.0 || date <= -2147483649.0) return 0;
    return static_cast<quint32>(static_cast<qint32>(date));
}

// Page 0 with its masked range restored.
QByteArray Unmasked(const QByteArray& bytes, int version) {
    QByteArray plain = bytes.left(kMaskedStart + MaskedLength(version));
    const QByteArray mask = JetHeader::MaskStream(MaskedLength(version));
    for (int index = 0; index < mask.size(); ++index)
        plain[kMaskedStart + index] = static_cast<char>(plain[kMaskedStart + index] ^ mask[index]);
    return plain;
}

// XORs the Jet 4 date mask into the password bytes (encodes and decodes alike).
void ApplyDateMask(QByteArray* password, quint32 mask) {
    for (int index = 0; index < password->size(); ++index)
        (*password)[index] =
            static_cast<char>((*password)[index] ^ static_cast<char>(mask >> (8 * (index % 4))));
}

}  // namespace

bool JetHeader::HasSignature(const QByteArray& bytes) {
    return bytes.size() >= 20 &&
           (bytes.startsWith(QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20)) ||
            bytes.startsWith(QByteArray("\x00\x01\x00\x00Standard ACE DB\x00", 20)));
}

QByteArray JetHeader::MaskStream(int length) {
    unsigned char state[256];
    for (int index = 0; index < 256; ++index) state[index] = static_cast<unsigned char>(index);
    for (int index = 0, mixed = 0; index < 256; ++index) {
        mixed = (mixed + state[index] + kRc4Key[index % 4]) & 0xFF;
        std::swap(state[index], state[mixed]);
    }
    QByteArray stream(length, '\0');
    for (int index = 0, first = 0, second = 0; index < length; ++index) {
        first = (first + 1) & 0xFF;
        second = (second + state[first]) & 0xFF;
        std::swap(state[first], state[second]);
        stream[index] = static_cast<char>(state[(state[first] + state[second]) & 0xFF]);
    }
    return stream;
}

JetHeader JetHeader::Parse(const QByteArray& bytes) {
    JetHeader header;
    if (!HasSignature(bytes) || bytes.size() < kMinimumSize) return header;
    header.version_ =
        static_cast<int>(qFromLittleEndian<quint32>(bytes.constData() + kVersionOffset));
    if (header.version_ < 0 || header.version_ > 0xFF) return header;
    const QByteArray plain = Unmasked(bytes, header.version_);
    header.codePage_ = qFromLittleEndian<quint16>(plain.constData() + kCodePageOffset);
    header.databaseKey_ = qFromLittleEndian<quint32>(plain.constData() + kDatabaseKeyOffset);
    header.valid_ = true;
    if (header.IsAce()) return header;
    QByteArray stored = plain.mid(kPasswordOffset, PasswordLength(header.version_));
    if (header.version_ == 0) {
        const int end = stored.indexOf('\0');
        header.password_ =
            JetText::DecodeCodePage(end < 0 ? stored : stored.left(end), header.codePage_);
        return header;
    }
    ApplyDateMask(&stored, PasswordMask(plain));
    QString password = JetText::DecodeUcs2(stored);
    const int end = password.indexOf(QChar(0));
    header.password_ = end < 0 ? password : password.left(end);
    return header;
}

QByteArray JetHeader::WithPassword(const QByteArray& bytes, const QString& password) {
    const JetHeader header = Parse(bytes);
    Q_ASSERT(header.Valid() && !header.IsAce());
    QByteArray plain = Unmasked(bytes, header.version_);
    const int length = PasswordLength(header.version_);
    QByteArray stored = header.version_ == 0 ? JetText::EncodeCodePage(password, header.codePage_)
                                             : JetText::EncodeUcs2(password);
    stored = stored.left(length).leftJustified(length, '\0');
    if (header.version_ != 0) ApplyDateMask(&stored, PasswordMask(plain));
    plain.replace(kPasswordOffset, length, stored);
    QByteArray result = Unmasked(plain, header.version_);  // masking again re-encodes
    return result + bytes.mid(result.size());
}

}  // namespace morvane
