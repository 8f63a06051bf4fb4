// SqliteRecordset: a recordset on a table or view of a native database. It keeps one
// running "SELECT" statement as its cursor and copies the current row into its fields, so
// memory does not grow with the table. Moving forward steps the cursor; jumping (MoveLast,
// Move back, MoveFirst after reading) re-runs the statement with an OFFSET; counting runs
// "SELECT count(*)". Every read of a table names its order (rowid order, or primary key order
// for a table without rowid), so a re-read at an OFFSET resumes on the same rows whatever
// plan SQLite chooses; the last record is read backwards when the count is current. A view
// is read in the order SQLite gives its rows.
#pragma once

#include "export/data/sqlite/SqliteCursorRecordset.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

namespace morvane {

class SqliteDatabase;

class SqliteRecordset : public SqliteCursorRecordset {
  public:
    SqliteRecordset(const std::shared_ptr<SqliteDatabase>& database, const QString& source,
                    bool isTable, short type, bool updatable);
    ~SqliteRecordset() override;

    bool AppendsFromAnyThread() const override { return true; }

  protected:
    bool doSeek(qint64 index) override;
    qint64 doCount() override;
    void doInsert() override;
    bool doInsertGroup(const std::vector<QVariant>* records, size_t count) override;
    void doClose() override;

  private:
    void DefineFields(bool isTable);
    void DefineOrder(const QStringList& names, std::vector<std::pair<int, QString>> key);
    void Release();
    //! "INSERT INTO source (fields...) VALUES (?, ...)" with `rows` rows of marks.
    QString InsertSql(size_t rows) const;
    //! Remembers where record `index` stands in rowid order, from the cursor's extra
    //! rowid column, so that a later jump to it (or past it) starts there.
    void Anchor(qint64 index);

    //! A record's place in rowid order: a jump to record `index` or beyond starts at
    //! `rowid` instead of stepping over every record before it, while the database is
    //! unchanged (`stamp`). The wizard's preview jumps to the same start on every refresh.
    struct RowidAnchor {
        qint64 index = -1;
        qint64 rowid = 0;
        qint64 stamp = -1;
    };

    QString source_;
    QString from_;          //!< "FROM "source""
    QString order_;         //!< " ORDER BY ..." of a table; empty for a view
    QString reverseOrder_;  //!< the same order backwards
    QString rowidAlias_;    //!< the rowid's name when the order is rowid order
    RowidAnchor anchor_;
    qint64 countedRows_ = -1;   //!< the last count taken
    qint64 countedStamp_ = -1;  //!< the database's change stamp when it was taken
    SqliteStatement count_;
    SqliteStatement insert_;
    SqliteStatement insertGroup_;  //!< the insert of insertGroupRows_ rows at once
    size_t insertGroupRows_ = 0;
    //! The UTF-8 texts and dates bound to the inserts, one per bound value, kept (with
    //! their capacity) from one insert to the next so that binding copies nothing.
    std::vector<QByteArray> insertTexts_;
};

}  // namespace morvane
