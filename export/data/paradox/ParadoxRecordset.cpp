#include "export/data/paradox/ParadoxRecordset.h"

#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/paradox/ParadoxDatabase.h"
#include "export/data/paradox/ParadoxLayout.h"
#include "export/data/paradox/ParadoxTypes.h"

#include <QFileInfo>

namespace morvane {

using namespace paradox;

ParadoxRecordset::ParadoxRecordset(std::shared_ptr<ParadoxDatabase> database,
                                   std::unique_ptr<TableReader> reader, short type, bool updatable)
    : Recordset(database, type, updatable),
      paradox_(std::move(database)),
      reader_(std::move(reader)),
      mb_(MbPathOf(reader_->Path())) {
    const TableHeader& header = reader_->Header();
    for (const FieldLayout& layout : header.fields) {
        const short engineType = EngineTypeOf(layout);
        engineTypes_.push_back(engineType);
        fields_.Append(std::make_shared<Field>(layout.name, engineType, EngineSizeOf(layout)));
        if (layout.code >= kMemo && layout.code <= kGraphic &&
            !QFileInfo::exists(MbPathOf(reader_->Path())))
            throw EngineError::Of(ErrFileNotFoundEngine, MbPathOf(reader_->Path()));
    }
    scratch_.resize(header.fields.size());
    fields_.SetLocked(Key(), true);
    for (const auto& field : fields_.Items()) field->SetDefinitionLocked(Key(), true);
    Start();
}

ParadoxRecordset::~ParadoxRecordset() = default;

void ParadoxRecordset::Sync() {
    paradox_->FlushTable(reader_->Path());
    if (reader_->Sync(paradox_->Stamp(reader_->Path()))) mb_.Invalidate();
}

bool ParadoxRecordset::Arrive(bool found) {
    const auto& items = fields_.Items();
    for (size_t column = 0; column < items.size(); ++column) {
        if (found)
            items[column]->DeferValue(Key(), this, static_cast<int>(column));
        else
            items[column]->LoadValue(Key(), QVariant());
    }
    return found;
}

bool ParadoxRecordset::doSeek(qint64 index) {
    Sync();
    return Arrive(reader_->Seek(index));
}

bool ParadoxRecordset::doNext() {
    return Arrive(reader_->Next());
}

qint64 ParadoxRecordset::doCount() {
    Sync();
    return reader_->Count();
}

qint64 ParadoxRecordset::doChangeStamp() {
    return paradox_->Stamp(reader_->Path()) * 1000003 + QFileInfo(reader_->Path()).size();
}

QVariant ParadoxRecordset::DeferredValue(int column) const {
    const FieldLayout& layout = reader_->Header().fields[static_cast<size_t>(column)];
    return DecodeValue(layout, reader_->Record(), *reader_->Header().codePage, mb_,
                       reader_->Path());
}

void ParadoxRecordset::ReadRaw(int ordinal, RawValue& out) {
    Field& field = fields_.Item(ordinal);
    if (!field.IsDeferred(Key())) {
        Recordset::ReadRaw(ordinal, out);
        return;
    }
    const FieldLayout& layout = reader_->Header().fields[static_cast<size_t>(ordinal)];
    const unsigned char* p = reader_->Record() + layout.offset;
    if (IsBlank(p, layout.width)) {
        out.kind = RawValue::Kind::Null;
        return;
    }
    switch (layout.code) {
        case kShort:
        case kLong:
        case kAutoInc:
            out.kind = RawValue::Kind::Integer;
            out.integer = DecodeInt(p, layout.width);
            return;
        case kLogical:
            out.kind = RawValue::Kind::Integer;
            out.integer = DecodeInt(p, 1) != 0 ? 1 : 0;
            return;
        case kNumber:
        case kCurrency:
            out.kind = RawValue::Kind::Real;
            out.real = DecodeDouble(p);
            return;
        case kAlpha: {
            int size = 0;
            while (size < layout.width && p[size] != 0) ++size;
            while (size > 0 && p[size - 1] == ' ') --size;
            if (size == 0) {
                out.kind = RawValue::Kind::Null;
                return;
            }
            QByteArray& text = scratch_[static_cast<size_t>(ordinal)];
            text.clear();
            reader_->Header().codePage->AppendUtf8(text, reinterpret_cast<const char*>(p), size);
            out.kind = RawValue::Kind::Text;
            out.text = text.constData();
            out.size = text.size();
            return;
        }
        case kDate: {
            const QDate date = QDate::fromJulianDay(DecodeInt(p, 4) + kDayBase);
            if (date.isValid()) {
                out.kind = RawValue::Kind::Date;
                out.date = date;
                return;
            }
            break;
        }
        default:
            break;
    }
    Recordset::ReadRaw(ordinal, out);
}

void ParadoxRecordset::doInsert() {
    if (!paradox_->IsOpen()) throw EngineError::Of(ErrObjectInvalid);
    TableWriter& writer = paradox_->WriterFor(reader_->Path());
    const TableHeader& header = writer.Header();
    if (header.recordSize != reader_->Header().recordSize)
        throw EngineError::Of(ErrCorruptDatabase, reader_->Path(),
                              QStringLiteral("the table changed while open"));
    record_.fill('\0', header.recordSize);
    auto* record = reinterpret_cast<unsigned char*>(record_.data());
    const auto& items = fields_.Items();
    for (size_t column = 0; column < items.size(); ++column) {
        const FieldLayout& layout = header.fields[column];
        const bool blob = layout.code >= kMemo && layout.code <= kGraphic;
        EncodeValue(layout, engineTypes_[column], items[column]->Value(), record, *header.codePage,
                    blob ? writer.Mb() : nullptr, items[column]->Name());
    }
    writer.Append(record);
    paradox_->Touch(reader_->Path());
}

void ParadoxRecordset::doClose() {
    for (const auto& field : fields_.Items()) {
        if (!field->IsDeferred(Key())) continue;
        try {
            field->Value();
        } catch (const EngineError&) {
            field->LoadValue(Key(), QVariant());  // a damaged value already reported when read
        }
    }
    if (paradox_->IsOpen()) paradox_->FlushTable(reader_->Path());
}

}  // namespace morvane
