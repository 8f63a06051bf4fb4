#include "export/wizard/AdvancedOptions.h"

#include <cmath>
#include <limits>

namespace morvane {

AdvancedOptions AdvancedOptions::FromSetting(const ExportSetting& setting) {
    AdvancedOptions options;
    options.RecordSeparator = setting.RecFieldSeparator;
    if (options.RecordSeparator == 3) options.OtherChar = QString(setting.RecSepOther);
    options.Upper = setting.Upper;
    options.Ansi2Oem = setting.OemConvert;
    options.ExportAll = setting.ExportAll;
    options.NbLineMax = setting.ExportAll ? QString() : QString::number(setting.MaxLines);
    options.StartLine = QString::number(setting.StartingLine);
    // The record separator applies to Variable, Fixed and HtmlTags output only.
    options.SeparatorEnabled = setting.TypeFormat <= 2;
    return options;
}

void AdvancedOptions::ApplyOkRules() {
    if (StartLine.isEmpty()) StartLine = QStringLiteral("1");
    if (!ExportAll && NbLineMax.isEmpty()) ExportAll = true;
}

int AdvancedOptions::LeadingNumber(const QString& text) {
    // The longest leading run that reads as a decimal number: sign, digits, one point.
    const QString trimmed = text.trimmed();
    int end = 0;
    if (end < trimmed.size() && (trimmed[end] == u'+' || trimmed[end] == u'-')) ++end;
    bool digits = false, point = false;
    while (end < trimmed.size()) {
        const QChar ch = trimmed[end];
        if (ch.isDigit() && ch.unicode() < 128) {
            digits = true;
        } else if (ch == u'.' && !point) {
            point = true;
        } else {
            break;
        }
        ++end;
    }
    if (!digits) return 0;
    bool ok = false;
    const double value = trimmed.left(end).toDouble(&ok);
    if (!ok) return 0;
    const double rounded = std::nearbyint(value);
    if (rounded >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (rounded <= std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(rounded);
}

void AdvancedOptions::WriteTo(ExportSetting& setting) const {
    setting.RecFieldSeparator = RecordSeparator;
    if (RecordSeparator == 3)
        setting.RecSepOther = OtherChar.isEmpty() ? QLatin1Char(' ') : OtherChar.at(0);
    setting.OemConvert = Ansi2Oem;
    setting.Upper = Upper;
    setting.ExportAll = ExportAll;
    setting.MaxLines = ExportAll ? 0 : LeadingNumber(NbLineMax);
    setting.StartingLine = LeadingNumber(StartLine);
}

}  // namespace morvane
