// JetFile: one open Jet database file: libmdb's handle (MdbHandle, which owns the page
// buffers) with the checks libmdb leaves out. libmdb trusts the file: page numbers and
// lengths read from it are used as they stand. Everything the driver hands to libmdb that
// came from the file goes through here first: a page number must lie inside the file, a
// row inside its page, a long value chain must end and stay within its declared length.
//
// Data pages and long value (LVAL) pages, as read here (little-endian):
//
//   offset             size  field
//   0                  1     page type: 1 data (LVAL pages are data pages too)
//   4                  4     owner: the table definition page
//   rco (8 / Jet 4 12) 2     row count n
//   rco + 2 + 2*i      2     start of row i; bits 0x8000 "lookup", 0x4000 "deleted",
//                            low 13 bits the offset. Row i ends where row i-1 starts
//                            (row 0 at the end of the page)
//
// A Memo or OLE value in a row is a 12-byte reference:
//
//   0   4   length in the low 30 bits; 0x80000000 inline, 0x40000000 one LVAL row
//   4   4   page (high 24 bits) and row (low 8 bits) of the first LVAL row
//   8   4   unused
//   12  ..  inline: the value itself
//
// A multi-row value's LVAL rows start with 4 bytes, the page/row of the next part
// (0 at the end), followed by the part's bytes.
#pragma once

#include "export/data/jet/JetHeader.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <deque>
#include <memory>

#include <mdbtools.h>

namespace morvane {

class JetFile {
  public:
    //! Opens `path` read-only. Raises 3024 (missing), 3051 (not readable), 3343 (not a
    //! Jet file, or one libmdb cannot read), 3031 (password missing or wrong), 3049 (a
    //! catalogue libmdb cannot read).
    static std::unique_ptr<JetFile> Open(const QString& path, const QString& password);
    ~JetFile();
    JetFile(const JetFile&) = delete;
    JetFile& operator=(const JetFile&) = delete;

    MdbHandle* Handle() const { return handle_; }
    const JetHeader& Header() const { return header_; }
    const QString& Path() const { return path_; }
    int PageSize() const { return header_.PageSize(); }
    quint32 PageCount() const { return pageCount_; }
    //! True for a page number past page 0 and inside the file.
    bool ValidPage(quint64 page) const { return page > 0 && page < pageCount_; }

    //! Loads `page` into the handle's page buffer (no read when it is already there).
    //! False when the page is outside the file or cannot be read.
    bool LoadPage(quint64 page);
    //! Finds row `row` of the page in the page buffer: its offset, length and flags.
    //! False when the row directory is damaged or the row lies outside the page.
    bool FindRow(const unsigned char* page, int row, int* start, int* length, bool* deleted) const;
    //! Number of rows the page in `page` lists, -1 when the count cannot be right.
    int RowCount(const unsigned char* page) const;

    //! The bytes of a Memo or OLE value from its 12-byte reference (`reference` points at
    //! `size` bytes of the row). Raises 3049 when the value's pages are damaged.
    QByteArray ReadLongValue(const unsigned char* reference, int size);

    //! Reads the definition of the table whose definition page is `page` (named `name`),
    //! columns included, after checking the page and the column list. Free the result
    //! with mdb_free_tabledef. Raises 3049 when the definition is damaged.
    MdbTableDef* ReadTable(quint32 page, const QString& name);

    //! Raises 3049: the file is damaged; `what` says where.
    [[noreturn]] void RaiseCorrupt(const QString& what) const;

  private:
    JetFile(QString path, JetHeader header, quint32 pageCount, MdbHandle* handle);

    void CheckUsageMap(MdbTableDef* table);
    void CheckColumns(MdbTableDef* table);

    QString path_;
    JetHeader header_;
    quint32 pageCount_;
    MdbHandle* handle_;
    //! The catalogue entries libmdb's table definitions point at, by definition page.
    std::deque<MdbCatalogEntry> entries_;
    QHash<quint32, MdbCatalogEntry*> entryByPage_;
};

}  // namespace morvane
