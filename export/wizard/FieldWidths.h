// FieldWidths: the fixed-width step's rules, with no widget. A width belongs to the field's
// ordinal in the source (so it survives reordering and deselection) and is kept in the
// setting's width table of ExportSetting::SizeCount entries. Fields past the table have no
// width of their own: they show, and are exported with, the size the engine reports.
//
// Usage:
//   FieldWidths widths(setting, *recordset);
//   box.setText(widths.Text("Name"));
//   widths.Store("Name", box.text());   // typed text; empty stores nothing
#pragma once

#include "export/settings/ExportSetting.h"

#include <QString>

namespace morvane {

class Recordset;

class FieldWidths {
  public:
    //! The largest width a field can have (the table holds 16-bit numbers).
    static constexpr int MaxWidth = 32767;

    //! `source` may be null: no field has a width then.
    FieldWidths(ExportSetting& setting, Recordset* source);

    //! True when the field has an entry of its own in the width table.
    bool HasOwnWidth(const QString& field) const;
    //! The width shown for the field: its entry, or the engine's size past the table.
    QString Text(const QString& field) const;
    //! Stores a typed width: the number the text starts with (0 when none), at most
    //! MaxWidth. An empty text stores nothing. Answers the text the box should show (the
    //! stored number when it was clamped, else `text` unchanged).
    QString Store(const QString& field, const QString& text);
    //! Resets the field's width to the engine's size; answers its text.
    QString Default(const QString& field);

    //! The spin buttons: the box's text after an arrow, `direction` -1 (up: one more) or
    //! 1 (down: one less, never below 0). An empty text stays empty.
    static QString Spin(const QString& text, int direction);

  private:
    //! The field's source ordinal, -1 when it has none.
    int Ordinal(const QString& field) const;
    int EngineSize(const QString& field) const;

    ExportSetting& setting_;
    Recordset* source_;
};

}  // namespace morvane
