// ExportSetting: the complete description of one export (output kind, text layout, HTML
// options, conversions, record range and fixed widths). The export session owns one for
// the source that is open; the wizard steps edit it, the export run reads it and the
// settings file stores it under a name.
//
// The selected fields themselves are the session's selected-field list (its order is the
// export order everywhere); nbFields counts them. Widths are looked up by the field's
// ordinal in the source, never by its position in a list.
#pragma once

#include <QChar>
#include <QString>
#include <array>

namespace morvane {

//! The four separator characters selected by `Separator`: comma, semicolon, space, tab.
extern const QString SeparatorChars;
//! The two delimiter characters selected by `Delimiter`: double quote, single quote.
extern const QString DelimiterChars;

//! The character at position pos of lookup; a position outside the string yields a space,
//! since the character fields always hold exactly one character.
QChar LookupChar(const QString& lookup, int pos);

struct ExportSetting {
    //! Entries of the width table: source ordinals 0 to 300.
    static constexpr int SizeCount = 301;

    int TypeFormat = 0;  //!< output kind, a TypeConnect value
    int Separator = 0;   //!< 0 comma, 1 semicolon, 2 space, 3 tab
    QChar SeparatorChar = QLatin1Char(',');
    int Delimiter = 0;  //!< 0 double quote, 1 single quote, 2 none
    QChar DelimiterChar = QLatin1Char('"');
    bool UseDelimiter = true;
    bool ExportFldNames = false;
    bool ExportHtmlFldNames = true;
    bool ExportHtmlTableName = false;
    QString HtmlTitle;
    QString HtmlTemplate;
    int RecFieldSeparator = 0;  //!< 0 CR LF, 1 CR, 2 LF, 3 RecSepOther, 4+ nothing
    QChar RecSepOther = QLatin1Char(' ');
    bool Upper = false;
    bool OemConvert = false;
    int StartingLine = 1;
    int MaxLines = 0;
    bool ExportAll = true;
    short nbFields = 0;
    std::array<short, SizeCount> Size{};

    //! The width of the field at source ordinal `ordinal`: its entry of the width table,
    //! or for an ordinal past the table (a source of more than SizeCount fields) the size
    //! the engine reports, `engineSize`, held to 0..32767.
    short WidthFor(int ordinal, int engineSize) const;

    //! Sets Separator and the character it selects.
    void SetSeparator(int value);
    //! Sets Delimiter and the character it selects (a position past the lookup: a space).
    void SetDelimiter(int value);
    //! UseDelimiter := Variable output with a delimiter chosen.
    void RecomputeUseDelimiter();
    //! The text appended after each text record, by RecFieldSeparator.
    QString RecordSeparator() const;
};

}  // namespace morvane
