#include "export/data/excel/BiffRecordReader.h"

#include "export/data/EngineError.h"
#include "export/data/excel/ExcelBytes.h"

#include <glib-object.h>

namespace morvane {

BiffRecordReader::BiffRecordReader(GsfInput* input, QString path)
    : input_(input), path_(std::move(path)), size_(gsf_input_size(input)) {}

BiffRecordReader::~BiffRecordReader() {
    g_object_unref(input_);
}

void BiffRecordReader::Damaged(const QString& what) const {
    throw EngineError::Of(ErrCorruptDatabase, path_, what);
}

void BiffRecordReader::Seek(qint64 offset) {
    if (offset < 0 || offset > size_ || gsf_input_seek(input_, offset, G_SEEK_SET))
        Damaged(QStringLiteral("a sheet starts past the end of the workbook stream"));
}

bool BiffRecordReader::Next() {
    offset_ = gsf_input_tell(input_);
    if (size_ - offset_ < 4) return false;
    const guint8* header = gsf_input_read(input_, 4, nullptr);
    if (!header) Damaged(QStringLiteral("the workbook stream cannot be read"));
    id_ = static_cast<quint16>(header[0] | (header[1] << 8));
    const int length = header[2] | (header[3] << 8);
    if (length > size_ - offset_ - 4)
        Damaged(QStringLiteral("record 0x%1 at offset %2 runs past the end of the stream")
                    .arg(id_, 4, 16, QLatin1Char('0'))
                    .arg(offset_));
    data_.resize(length);
    if (length > 0 && !gsf_input_read(input_, static_cast<size_t>(length),
                                      reinterpret_cast<guint8*>(data_.data())))
        Damaged(QStringLiteral("the workbook stream cannot be read"));
    return true;
}

}  // namespace morvane
