#include "export/settings/ExportSetting.h"

#include <algorithm>

namespace morvane {

const QString SeparatorChars = QStringLiteral(",; \t");
const QString DelimiterChars = QStringLiteral("\"'");

QChar LookupChar(const QString& lookup, int pos) {
    if (pos < 0 || pos >= lookup.size()) return QLatin1Char(' ');
    return lookup.at(pos);
}

void ExportSetting::SetSeparator(int value) {
    Separator = value;
    SeparatorChar = LookupChar(SeparatorChars, value);
}

void ExportSetting::SetDelimiter(int value) {
    Delimiter = value;
    DelimiterChar = LookupChar(DelimiterChars, value);
}

short ExportSetting::WidthFor(int ordinal, int engineSize) const {
    if (ordinal >= 0 && ordinal < SizeCount) return Size[static_cast<size_t>(ordinal)];
    return static_cast<short>(std::clamp(engineSize, 0, 32767));
}

void ExportSetting::RecomputeUseDelimiter() {
    UseDelimiter = TypeFormat == 0 && Delimiter != 2;
}

QString ExportSetting::RecordSeparator() const {
    switch (RecFieldSeparator) {
        case 0:
            return QStringLiteral("\r\n");
        case 1:
            return QStringLiteral("\r");
        case 2:
            return QStringLiteral("\n");
        case 3:
            return QString(RecSepOther);
        default:
            return QString();
    }
}

}  // namespace morvane
