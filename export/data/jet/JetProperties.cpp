#include "export/data/jet/JetProperties.h"

#include "export/data/jet/JetText.h"

#include <QStringList>
#include <QtEndian>

namespace morvane {

namespace {

constexpr int kNamesBlock = 0x80;
constexpr int kColumnBlock = 0x01;

// A bounds-checked reader over the block.
class Reader {
  public:
    Reader(const QByteArray& bytes, int begin, int end) : bytes_(bytes), pos_(begin), end_(end) {}
    bool Has(int count) const { return count >= 0 && pos_ + count <= end_; }
    int Take16() { return Has(2) ? qFromLittleEndian<quint16>(Advance(2)) : -1; }
    qint64 Take32() { return Has(4) ? qFromLittleEndian<quint32>(Advance(4)) : -1; }
    QByteArray TakeBytes(int count) {
        if (!Has(count)) return QByteArray();
        return QByteArray(reinterpret_cast<const char*>(Advance(count)), count);
    }
    int Position() const { return pos_; }
    void Seek(int pos) { pos_ = pos; }

  private:
    const unsigned char* Advance(int count) {
        const auto* at = reinterpret_cast<const unsigned char*>(bytes_.constData()) + pos_;
        pos_ += count;
        return at;
    }
    const QByteArray& bytes_;
    int pos_;
    int end_;
};

}  // namespace

QSet<QString> JetProperties::RequiredColumns(const QByteArray& lvProp, int version, int codePage) {
    QSet<QString> required;
    if (!lvProp.startsWith(QByteArray("KKD\0", 4)) && !lvProp.startsWith(QByteArray("MR2\0", 4)))
        return required;
    const auto text = [&](const QByteArray& bytes) {
        return JetText::Decode(bytes.constData(), bytes.size(), version, codePage);
    };
    QStringList names;
    Reader blocks(lvProp, 4, lvProp.size());
    while (blocks.Has(6)) {
        const int start = blocks.Position();
        const qint64 length = blocks.Take32();
        const int type = blocks.Take16();
        if (length < 6 || !blocks.Has(static_cast<int>(length - 6))) break;
        const int end = start + static_cast<int>(length);
        Reader block(lvProp, blocks.Position(), end);
        blocks.Seek(end);
        if (type == kNamesBlock) {
            while (block.Has(2)) names << text(block.TakeBytes(block.Take16()));
            continue;
        }
        if (type != kColumnBlock) continue;
        const qint64 headerLength = block.Take32();
        const QString column = text(block.TakeBytes(block.Take16())).toCaseFolded();
        if (headerLength < 6) continue;
        while (block.Has(8)) {
            const int entryStart = block.Position();
            const int entryLength = block.Take16();
            block.Take16();  // DDL flag and data type
            const int nameIndex = block.Take16();
            const QByteArray value = block.TakeBytes(block.Take16());
            if (entryLength < 8) break;
            block.Seek(entryStart + entryLength);
            if (nameIndex >= 0 && nameIndex < names.size() &&
                names.at(nameIndex) == QLatin1String("Required") && !value.isEmpty() &&
                value.at(0) != 0)
                required.insert(column);
        }
    }
    return required;
}

}  // namespace morvane
