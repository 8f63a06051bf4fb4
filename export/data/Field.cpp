#include "export/data/Field.h"

#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/FieldValue.h"

namespace morvane {

int EngineFieldSize(short type, int declaredSize) {
    switch (type) {
        case dbBoolean:
        case dbByte:
            return 1;
        case dbInteger:
            return 2;
        case dbLong:
        case dbSingle:
            return 4;
        case dbCurrency:
        case dbDouble:
        case dbDate:
        case dbBigInt:
        case dbFloat:
        case dbTimeStamp:
            return 8;
        case dbGUID:
            return 16;
        case dbLongBinary:
        case dbMemo:
            return 0;
        case dbText:
            return declaredSize > 0 ? declaredSize : 50;
        default:
            return declaredSize;
    }
}

Field::Field(QString name, short type, int size)
    : name_(std::move(name)), type_(type), size_(size) {}

int Field::Size() const {
    return EngineFieldSize(type_, size_);
}

void Field::FetchDeferred() const {
    const FieldValueSource* source = source_;
    source_ = nullptr;
    value_ = source->DeferredValue(column_);
}

void Field::CheckDefinitionEditable() const {
    if (definitionLocked_) throw EngineError::Of(ErrInvalidOperation);
}

void Field::SetType(short type) {
    CheckDefinitionEditable();
    type_ = type;
}

void Field::SetSize(int size) {
    CheckDefinitionEditable();
    size_ = size;
}

void Field::SetRequired(bool required) {
    CheckDefinitionEditable();
    required_ = required;
}

void Field::SetValue(const QVariant& value) {
    if (!valueWritable_) throw EngineError::Of(ErrUpdateWithoutAddNew);
    value_ = ConvertFieldValue(value, type_, Size(), name_);
    source_ = nullptr;
}

}  // namespace morvane
