// TableDef: the definition of one table: name, attributes (0 for a user table; system and
// catalogue tables carry dbSystemObject) and fields. Database::CreateTableDef makes a
// detached definition; fields are added with CreateField and Fields().Append, and the table
// is created in the database by Database::TableDefs().Append.
//
// Usage:
//   auto td = db->CreateTableDef("Orders");
//   td->Fields().Append(td->CreateField("Id", dbLong));
//   td->Fields().Append(td->CreateField("Name", dbText, 40));
//   db->TableDefs().Append(td);
#pragma once

#include "export/data/DriverKey.h"
#include "export/data/Fields.h"

#include <QString>
#include <memory>

namespace morvane {

class TableDef {
  public:
    explicit TableDef(QString name, int attributes = 0);

    const QString& Name() const { return name_; }
    int Attributes() const { return attributes_; }
    //! False until the table exists in a database.
    bool IsStored() const { return stored_; }

    morvane::Fields& Fields() { return fields_; }
    const morvane::Fields& Fields() const { return fields_; }

    //! A new field for this definition (type 0 means "set later").
    std::shared_ptr<Field> CreateField(const QString& name, short type = 0, int size = 0) const;

    // Driver side: marks the definition as describing a stored table (fields locked).
    void MarkStored(DriverKey key);

  private:
    QString name_;
    int attributes_;
    bool stored_ = false;
    morvane::Fields fields_;
};

}  // namespace morvane
