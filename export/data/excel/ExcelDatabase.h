// ExcelDatabase: a workbook file as a database: each worksheet is a table (ExcelSheetLayout
// says how). Reading goes through ExcelFile and streams (ExcelRecordset). Writing builds an
// ExcelWorkbook: on the first change the sheets already in the file are read into it, then
// every change (a new sheet, a dropped one, new rows) goes into the model and the whole
// workbook is written again (BiffWriter) before anything reads the file, when a row limit
// is reached, and when the database closes. A missing (or empty) file is an empty workbook,
// created when the first table is appended; dropping the last sheet removes the file.
//
// One-sheet formats (Excel 3.0 and 4.0) store no sheet name: the file's sheet is listed
// under the file's base name, or under the last name a table was appended (or tried) with
// in this session. Appending a table to a file that already holds its sheet raises 3010 for
// that table's name, the sheet then answering to it, so that the export's overwrite question
// decides whether Delete replaces the file's sheet; nothing changes until then.
#pragma once

#include "export/data/Database.h"
#include "export/data/excel/ExcelFile.h"
#include "export/data/excel/ExcelWorkbook.h"

#include <QHash>

namespace morvane {

class ExcelDatabase : public Database {
  public:
    static std::shared_ptr<ExcelDatabase> Open(const QString& path, const QString& connect,
                                               Biff version, bool readOnly);
    ~ExcelDatabase() override;

    Biff Version() const { return version_; }
    bool ReadOnly() const { return readOnly_; }
    //! The file as it is now, pending changes written first; null for an empty workbook.
    std::shared_ptr<const ExcelFile> File();
    //! Changes whenever the file was written again.
    qint64 Stamp() const { return stamp_ + (dirty_ ? 1 : 0); }
    //! Adds one row of `fields` to the sheet `sheet`. Raises 3251 at the format's row limit
    //! (after writing the rows so far), 3163 for a text too long for a cell.
    void InsertRow(const QString& sheet, const Fields& fields);
    //! The fields a table appended in this session was defined with (its sheet holds only
    //! their names until rows come, so their types cannot be read from it); empty when none.
    std::vector<std::shared_ptr<Field>> DeclaredFields(const QString& sheet) const;
    //! The sheet of File() named `name`; null when none.
    const ExcelSheetInfo* FindSheet(const ExcelFile& file, const QString& name) const;

  protected:
    std::vector<std::shared_ptr<TableDef>> doListTables() override;
    std::vector<std::shared_ptr<QueryDef>> doListQueries() override;
    std::unique_ptr<Recordset> doOpenRecordset(const QString& name, int type, int options) override;
    void doCreateTable(const TableDef& tableDef) override;
    void doDropTable(const QString& name) override;
    void doClose() override;

  private:
    std::vector<SpooledCell> rowCells_;  //!< InsertRow's cells of one row
    ExcelDatabase(const QString& path, const QString& connect, Biff version, bool readOnly);
    //! Writes the model when it changed.
    void Flush();
    //! The model, read from the file on first use. Raises 3027 when read-only.
    ExcelWorkbook& Model();
    QString OneSheetName() const;
    void OpenFile();

    QString path_;
    Biff version_;
    bool readOnly_;
    std::shared_ptr<ExcelFile> file_;
    std::unique_ptr<ExcelWorkbook> model_;
    QHash<QString, std::vector<std::shared_ptr<Field>>> declared_;  //!< by folded sheet name
    bool dirty_ = false;
    qint64 stamp_ = 0;
};

}  // namespace morvane
