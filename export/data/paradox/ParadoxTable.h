// ParadoxTable: reading and appending the records of one table file (.db).
//
// TableReader opens the file read-only, checks its header, and walks the block chain from
// the header's first block: every block number must lie inside the file, no block may
// come twice (a looping chain), every block's record count must fit the block, and the
// records found must be the number the header states; otherwise 3049 names the file. The
// walk keeps one entry per block (at most 65,535, the format's limit), so records are found
// by index without reading the data blocks; one block is held in memory at a time.
//
// TableWriter appends records to the last block of the chain and to new blocks after it,
// holding the block being filled in memory; Flush writes it and the header's counts. It
// holds an exclusive lock (flock) on the file while open, so a second writer gets 3045.
// Tables with a primary key (file type 0) are not written: their index would go stale.
#pragma once

#include "export/data/paradox/ParadoxBlob.h"
#include "export/data/paradox/ParadoxHeader.h"

#include <QFile>
#include <memory>
#include <vector>

namespace morvane::paradox {

class TableReader {
  public:
    //! Opens `path`: 3024 when missing, 3051 when it cannot be read, 3045 when another
    //! writer holds it (unless `ownWriter`: the lock is this database's own).
    TableReader(const QString& path, bool ownWriter);

    const TableHeader& Header() const { return header_; }
    const QString& Path() const { return path_; }
    qint64 Count() const { return total_; }
    //! Walks the file again when it changed since the last walk (size, or `stamp`); true
    //! when it did.
    bool Sync(qint64 stamp);
    //! Makes record `index` current; false when there is none.
    bool Seek(qint64 index);
    //! Makes the next record current; false past the last one.
    bool Next();
    //! The current record's bytes (Header().recordSize of them).
    const unsigned char* Record() const;
    //! The last block of the chain (0 when none) and its number of records.
    int LastBlock() const { return blocks_.empty() ? lastEmpty_ : blocks_.back(); }
    int LastBlockCount() const;

  private:
    void Walk();
    void Load(size_t position);
    [[noreturn]] void Damaged(const QString& reason) const;

    QString path_;
    QFile file_;
    TableHeader header_;
    qint64 fileSize_ = 0;
    qint64 stamp_ = 0;
    std::vector<quint16> blocks_;  //!< the chain's blocks that hold records, in order
    std::vector<qint64> starts_;   //!< index of the first record of each
    int lastEmpty_ = 0;            //!< the chain's last block when no block holds records
    qint64 total_ = 0;
    size_t loaded_ = SIZE_MAX;
    QByteArray block_;
    qint64 current_ = -1;
};

class TableWriter {
  public:
    //! Opens an existing table for appending (3045 when another writer holds it, 3027 for a
    //! table with a primary key).
    explicit TableWriter(const QString& path);
    ~TableWriter();

    const TableHeader& Header() const { return header_; }
    //! The .mb writer (opened on first use; made when the file is missing).
    MbWriter* Mb();
    //! Appends one record of Header().recordSize bytes. Raises 3035 when the table is full.
    void Append(const unsigned char* record);
    void Flush();

  private:
    void WriteAt(qint64 offset, const char* data, qint64 size);
    void StartBlock();

    QString path_;
    QFile file_;
    QByteArray headerBytes_;
    TableHeader header_;
    std::unique_ptr<MbWriter> mb_;
    QByteArray block_;
    int blockNo_ = 0;
    int inBlock_ = 0;
    int capacity_ = 0;
    int physical_ = 0;
    int firstBlock_ = 0;
    quint32 records_ = 0;
    bool dirty_ = false;
};

//! Creates the table file `path` (and its .mb when `withMb`) from a built header.
void CreateTableFile(const QString& path, const QByteArray& header, bool withMb);

//! The .mb file beside a table file (same base name; an existing file of any case wins).
QString MbPathOf(const QString& tablePath);

}  // namespace morvane::paradox
