// AdvancedOptions: what the "Advanced parameters" dialog shows and reads back, with no
// widget: the record separator, the two conversions and the record range as the dialog's
// boxes hold them (texts for the three edit boxes), filled from a setting and written back
// into it with the dialog's rules.
#pragma once

#include "export/settings/ExportSetting.h"

#include <QString>

namespace morvane {

struct AdvancedOptions {
    int RecordSeparator = 0;  //!< 0 CRLF, 1 CR, 2 LF, 3 Other, 4 no separator
    QString OtherChar;        //!< EdtOtherChar
    bool Upper = false;
    bool Ansi2Oem = false;
    bool ExportAll = true;
    QString StartLine;             //!< EdtStartLine
    QString NbLineMax;             //!< EdtNbLineMax (empty while "Export all")
    bool SeparatorEnabled = true;  //!< the record separator frame (text kinds only)

    //! The dialog's boxes for `setting`.
    static AdvancedOptions FromSetting(const ExportSetting& setting);
    //! OK's rules: an empty start line becomes "1"; "Export all" unchecked with no count is
    //! checked again.
    void ApplyOkRules();
    //! Reads the boxes back into `setting`. Counts too large for 32 bits are stored as the
    //! largest 32-bit value rather than wrapping.
    void WriteTo(ExportSetting& setting) const;

    //! The number a box's text starts with (leading blanks skipped), rounded to a whole
    //! number and held to 32 bits; 0 when the text does not start with a number.
    static int LeadingNumber(const QString& text);
};

}  // namespace morvane
