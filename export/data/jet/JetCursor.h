// JetCursor: walks the live rows of one table of a Jet file, one at a time, in the order of
// its data pages, with only the current page in memory. libmdb finds the table's data
// pages (from its usage map) and takes each row apart (mdb_crack_row); the cursor checks
// each row's place in its page before handing it on, and skips deleted rows and rows
// that fail the table's search arguments (set by libmdb's SQL engine for a query).
//
// Several cursors may share one file: each reloads its own page before reading a row.
//
// Usage:
//   JetCursor cursor(file, file->ReadTable(page, name, props), JetCursor::Owned);
//   while (cursor.Next()) use(cursor.Field(column_idx));
#pragma once

#include "export/data/jet/JetFile.h"

#include <QSet>
#include <functional>
#include <memory>
#include <vector>

namespace morvane {

class JetCursor {
  public:
    //! How the cursor releases its table: freeing it, or leaving it to its owner.
    enum Ownership { Owned, Borrowed };

    JetCursor(std::shared_ptr<JetFile> file, MdbTableDef* table, Ownership ownership);
    ~JetCursor();
    JetCursor(const JetCursor&) = delete;
    JetCursor& operator=(const JetCursor&) = delete;

    JetFile& File() const { return *file_; }
    MdbTableDef* Table() const { return table_; }
    int ColumnCount() const { return static_cast<int>(table_->num_cols); }
    const MdbColumn& Column(int column) const;
    //! The ordinal of the column named `name` (UTF-8, any case), -1 when none.
    int ColumnIndex(const QByteArray& name) const;

    //! Marks the columns whose names (case-folded) are in `names` as required.
    void SetRequired(const QSet<QString>& names) { required_ = names; }
    bool Required(int column) const;

    //! Goes back before the first row.
    void Rewind();
    //! Moves to the next live row; false after the last one.
    bool Next();
    //! The current row's value of column `column` (0-based), in the type its column
    //! declares (FieldTypes.h). REQUIRES: Next() returned true.
    QVariant Value(int column);

  private:
    bool NextPage();

    std::shared_ptr<JetFile> file_;
    MdbTableDef* table_;
    Ownership ownership_;
    bool started_ = false;
    bool ended_ = false;
    quint32 page_ = 0;  //!< the data page the cursor stands on
    int row_ = 0;       //!< the next row of that page to look at
    std::vector<MdbField> fields_;
    std::vector<int> byColumn_;
    QSet<QString> required_;  //!< the entry of fields_ for each column, -1 when absent
};

}  // namespace morvane
