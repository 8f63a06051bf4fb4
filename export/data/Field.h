// Field: one column of a table definition or of a recordset: its name, engine type code
// (FieldTypes.h), defined size, required flag and, on a recordset, the value of the current
// record.
//
// A field made by TableDef::CreateField is "new": its type, size and required flag may be
// set until its table is appended to the database. A recordset's fields take values through
// SetValue only while the recordset is adding a record (Recordset::AddNew); the value is
// converted to the field's type on assignment (ConvertFieldValue).
//
// Usage:
//   auto fld = tableDef->CreateField("Qty", dbLong);
//   fld->SetRequired(true);
//   rs->Fields().Item("Qty").Value();   // cheap: a reference to the current value
#pragma once

#include <QString>
#include <QVariant>

namespace morvane {

class Field {
  public:
    Field(QString name, short type, int size);

    const QString& Name() const { return name_; }
    short Type() const { return type_; }
    //! The defined size the engine reports: see FieldTypes.h and docs/engine.md.
    int Size() const;
    bool Required() const { return required_; }
    //! The value of the current record (a null QVariant for Null).
    const QVariant& Value() const { return value_; }

    //! REQUIRES: the field is new (not yet part of a stored table); else 3219.
    void SetType(short type);
    void SetSize(int size);
    void SetRequired(bool required);
    //! Converts and stores the value. REQUIRES: the recordset is adding a record; else 3020.
    void SetValue(const QVariant& value);

    // Engine side: used by tables and drivers.
    //! Stores a value read from the database, with no conversion or check.
    void LoadValue(QVariant value) { value_ = std::move(value); }
    void SetDefinitionLocked(bool locked) { definitionLocked_ = locked; }
    void SetValueWritable(bool writable) { valueWritable_ = writable; }
    //! The size as it was set, 0 when never set (a Text field then gets the default 50).
    int DeclaredSize() const { return size_; }

  private:
    void CheckDefinitionEditable() const;

    QString name_;
    short type_;
    int size_;
    bool required_ = false;
    bool definitionLocked_ = false;
    bool valueWritable_ = false;
    QVariant value_;
};

//! The size the engine reports for a type code with a declared size (Text 0 gives 50).
int EngineFieldSize(short type, int declaredSize);

}  // namespace morvane
