// ExportSource: the source an export session reads: the open database, the recordset of
// the chosen table or stored query, and that source's name. The session owns one; it is
// released when the source changes, when a batch run ends and when the session ends.
#pragma once

#include <QString>
#include <memory>

namespace morvane {

class Database;
class Recordset;

class ExportSource {
  public:
    ExportSource();
    ~ExportSource();
    ExportSource(const ExportSource&) = delete;
    ExportSource& operator=(const ExportSource&) = delete;

    Database* Db() const { return db_.get(); }
    //! The database, shared with a destination that is the same file.
    const std::shared_ptr<Database>& SharedDb() const { return db_; }
    void SetDb(std::shared_ptr<Database> db);

    //! The open table or query; null when none is open.
    Recordset* Rs() const { return rs_.get(); }
    void SetRs(std::unique_ptr<Recordset> rs);

    //! The table or stored query now open (or being opened); empty before the first.
    const QString& Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }

    //! Releases the recordset, ignoring errors.
    void ReleaseRecordset();
    //! Releases the recordset and the database, ignoring errors.
    void Release();

  private:
    std::shared_ptr<Database> db_;
    std::unique_ptr<Recordset> rs_;
    QString name_;
};

//! Where an export run writes: the file name (text kinds, and the file of the file-based
//! database kinds), and the destination database, table and ODBC connect string.
struct SessionDestination {
    QString File;
    std::shared_ptr<Database> Db;
    QString TableName;
    QString Connect;
};

}  // namespace morvane
