#include "export/wizard/FieldWidths.h"

#include "export/data/Field.h"
#include "export/data/Fields.h"
#include "export/data/Recordset.h"
#include "export/engine/FieldIndex.h"
#include "export/wizard/AdvancedOptions.h"

#include <algorithm>

namespace morvane {

FieldWidths::FieldWidths(ExportSetting& setting, Recordset* source)
    : setting_(setting), source_(source) {}

int FieldWidths::Ordinal(const QString& field) const {
    if (!source_) return -1;
    try {
        return FieldIndex(source_->Fields(), field);
    } catch (...) {
        return -1;  // a field that cannot be looked up has no width
    }
}

int FieldWidths::EngineSize(const QString& field) const {
    try {
        return std::clamp(source_->Fields().Item(field).Size(), 0, MaxWidth);
    } catch (...) {
        return 0;
    }
}

bool FieldWidths::HasOwnWidth(const QString& field) const {
    const int ordinal = Ordinal(field);
    return ordinal >= 0 && ordinal < ExportSetting::SizeCount;
}

QString FieldWidths::Text(const QString& field) const {
    if (!source_) return QString();
    return QString::number(setting_.WidthFor(Ordinal(field), EngineSize(field)));
}

QString FieldWidths::Store(const QString& field, const QString& text) {
    if (text.isEmpty() || !HasOwnWidth(field)) return text;
    const int typed = AdvancedOptions::LeadingNumber(text);
    const int width = std::clamp(typed, 0, MaxWidth);
    setting_.Size[static_cast<size_t>(Ordinal(field))] = static_cast<short>(width);
    return width == typed ? text : QString::number(width);
}

QString FieldWidths::Default(const QString& field) {
    if (!source_) return QString();
    const int size = EngineSize(field);
    if (HasOwnWidth(field))
        setting_.Size[static_cast<size_t>(Ordinal(field))] = static_cast<short>(size);
    return QString::number(size);
}

QString FieldWidths::Spin(const QString& text, int direction) {
    if (text.isEmpty()) return text;
    const int width = AdvancedOptions::LeadingNumber(text);
    if (direction == -1) return QString::number(std::min(width + 1, MaxWidth));
    if (width > 0) return QString::number(width - direction);
    return text;
}

}  // namespace morvane
