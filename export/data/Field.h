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
//
// The hooks below "Driver side" take a DriverKey: only drivers (Recordset and Database
// subclasses) and the engine's own classes can call them.
//
// A driver may leave a recordset field's value to be converted on first use (DeferValue):
// the field then asks its FieldValueSource for it when Value() is called, so a reader that
// takes the current row's columns raw (Recordset::ReadRaw) pays for no value conversion.
#pragma once

#include "export/data/DriverKey.h"

#include <QString>
#include <QVariant>

#include <utility>

namespace morvane {

//! Where a deferred field value comes from: the driver's current row.
class FieldValueSource {
  public:
    //! The value of column `column` of the current row, converted as LoadValue expects.
    virtual QVariant DeferredValue(int column) const = 0;

  protected:
    ~FieldValueSource() = default;
};

class Field {
  public:
    Field(QString name, short type, int size);

    const QString& Name() const { return name_; }
    short Type() const { return type_; }
    //! The defined size the engine reports: see FieldTypes.h and docs/engine.md.
    int Size() const;
    bool Required() const { return required_; }
    //! The value of the current record (a null QVariant for Null).
    const QVariant& Value() const {
        if (source_) FetchDeferred();
        return value_;
    }

    //! REQUIRES: the field is new (not yet part of a stored table); else 3219.
    void SetType(short type);
    void SetSize(int size);
    void SetRequired(bool required);
    //! Converts and stores the value. REQUIRES: the recordset is adding a record; else 3020.
    void SetValue(const QVariant& value);
    //! The size as it was set, 0 when never set (a Text field then gets the default 50).
    int DeclaredSize() const { return size_; }

    // Driver side.
    //! Stores a value read from the database, with no conversion or check.
    void LoadValue(DriverKey, QVariant value) {
        value_ = std::move(value);
        source_ = nullptr;
    }
    //! The value is column `column` of source's current row, converted on first use. The
    //! driver must LoadValue, fetch or forget it before that row goes away.
    void DeferValue(DriverKey, const FieldValueSource* source, int column) {
        source_ = source;
        column_ = column;
    }
    bool IsDeferred(DriverKey) const { return source_ != nullptr; }
    //! Fixes type, size and required flag (a field of a stored table or of a recordset).
    void SetDefinitionLocked(DriverKey, bool locked) { definitionLocked_ = locked; }

  private:
    friend class Recordset;
    //! SetValue is allowed only between Recordset::AddNew and Update.
    void SetValueWritable(bool writable) { valueWritable_ = writable; }
    //! The current value, leaving Null behind (the recordset keeps it while adding).
    QVariant TakeValue() {
        if (source_) FetchDeferred();
        return std::exchange(value_, QVariant());
    }
    //! Exchanges the current value with `value` (AppendRecord's values go in and back out).
    void SwapValue(QVariant& value) {
        if (source_) FetchDeferred();
        value_.swap(value);
    }
    void CheckDefinitionEditable() const;
    void FetchDeferred() const;

    QString name_;
    short type_;
    int size_;
    bool required_ = false;
    bool definitionLocked_ = false;
    bool valueWritable_ = false;
    mutable QVariant value_;
    mutable const FieldValueSource* source_ = nullptr;
    int column_ = 0;
};

//! The size the engine reports for a type code with a declared size (Text 0 gives 50).
int EngineFieldSize(short type, int declaredSize);

}  // namespace morvane
