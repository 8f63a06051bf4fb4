// Helpers shared by the export session tests: a source table in a temporary native
// database, an export session wired to a widget-free caller and a scripted prompter, and
// readers for the exported bytes and the message boxes shown.
//
// Usage:
//   class MyTest : public SessionTest {};
//   TEST_F(MyTest, Writes) {
//       CreateSource({{"Name", dbText, 20}}, {{QString("Ann")}});
//       OpenSource();                        // SourceRs, SourceName, defaults applied
//       QByteArray bytes = Export();         // StartExport into a file of the temp dir
//   }
#pragma once

#include "export/common/CodePage.h"
#include "export/common/ErrorReport.h"
#include "export/common/ScriptedPrompter.h"
#include "export/control/PlainCaller.h"
#include "export/data/Database.h"
#include "export/data/FieldTypes.h"
#include "export/data/Recordset.h"
#include "export/data/TableDef.h"
#include "export/data/dbengine/DBEngine.h"
#include "export/engine/ValueText.h"
#include "export/wizard/ExportSession.h"
#include "tests/support/FileBytes.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <vector>

// Readable failure output for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"' << bytes.toStdString() << '"';
}

namespace morvane::test {

struct FieldSpec {
    QString name;
    short type;
    int size = 0;
};
using Row = std::vector<QVariant>;

//! Creates (or adds to) the native database at path a table with the fields and rows given.
inline void CreateTable(const QString& path, const QString& table,
                        const std::vector<FieldSpec>& fields, const std::vector<Row>& rows) {
    std::shared_ptr<Database> db =
        QFile::exists(path) ? DBEngine::Instance().OpenDatabase(path)
                            : DBEngine::Instance().CreateDatabase(
                                  path, QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0"), 32);
    auto tableDef = db->CreateTableDef(table);
    for (const FieldSpec& spec : fields)
        tableDef->Fields().Append(tableDef->CreateField(spec.name, spec.type, spec.size));
    db->TableDefs().Append(tableDef);
    auto rs = db->OpenRecordset(table, dbOpenTable);
    for (const Row& row : rows) {
        rs->AddNew();
        for (size_t field_idx = 0; field_idx < row.size(); ++field_idx)
            rs->Fields().Item(static_cast<int>(field_idx)).SetValue(row[field_idx]);
        rs->Update();
    }
    rs->Close();
    db->Close();
}

//! The number of file descriptors the process holds (to catch a file left open).
inline int OpenDescriptorCount() {
    return static_cast<int>(
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

class SessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        SetRegionalLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        CodePage::SetAnsiCodePage(QStringLiteral("windows-1252"));
        CodePage::SetOemCodePage(QStringLiteral("IBM437"));
        ErrorContext().clear();
        caller_.Properties.ShowProgress = false;
        caller_.Properties.ShowSummary = true;
        caller_.Properties.OverWrite = false;
        session_ = std::make_unique<ExportSession>(prompter_);
        session_->SetCaller(&caller_);
    }

    QString PathOf(const QString& name) const { return dir_.filePath(name); }
    QString SourcePath() const { return PathOf(QStringLiteral("source.db")); }
    QString OutPath() const { return PathOf(QStringLiteral("out.txt")); }

    void CreateSource(const std::vector<FieldSpec>& fields, const std::vector<Row>& rows,
                      const QString& table = QStringLiteral("Customers")) {
        CreateTable(SourcePath(), table, fields, rows);
    }

    //! Opens the table as the session's source and applies the defaults.
    void OpenSource(const QString& table = QStringLiteral("Customers")) {
        session_->Source().SetDb(DBEngine::Instance().OpenDatabase(SourcePath()));
        session_->Source().SetRs(session_->Source().Db()->OpenRecordset(table, dbOpenTable));
        session_->Source().SetName(table);
        session_->SetDefaultSetting();
    }

    //! Runs StartExport into path and answers the file's bytes.
    QByteArray Export(const QString& path) {
        session_->Destination().File = path;
        session_->StartExport();
        return ReadBytes(path);
    }
    QByteArray Export() { return Export(OutPath()); }

    std::vector<ScriptedPrompter::Record> Boxes() const {
        return prompter_.RecordsOf(ScriptedPrompter::Kind::MessageBox);
    }

    static QString SummaryText(int count) {
        return QStringLiteral("End of export\r\nNumber of exported records : %1\r\n").arg(count);
    }

    //! Expects exactly one box: the summary of count records.
    void ExpectOnlySummary(int count) const {
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, SummaryText(count));
        EXPECT_EQ(boxes[0].title, QStringLiteral("Information"));
        EXPECT_EQ(boxes[0].icon, MsgIcon::Information);
        EXPECT_EQ(boxes[0].buttons, MsgButtons::OK);
    }

    //! Expects the last box to be the error report with this text.
    void ExpectErrorReport(const QString& text) const {
        const auto boxes = Boxes();
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(boxes.back().text, text);
        EXPECT_EQ(boxes.back().title, QStringLiteral("Error"));
        EXPECT_EQ(boxes.back().icon, MsgIcon::Exclamation);
        EXPECT_EQ(boxes.back().buttons, MsgButtons::OK);
    }

    QTemporaryDir dir_;
    ScriptedPrompter prompter_;
    PlainCaller caller_;
    std::unique_ptr<ExportSession> session_;
};

//! Records of n rows: Id 1..n (Long) and Name "Rn" (Text).
inline std::vector<Row> NumberedRows(int n) {
    std::vector<Row> rows;
    for (int id = 1; id <= n; ++id) rows.push_back({id, QStringLiteral("R%1").arg(id)});
    return rows;
}

}  // namespace morvane::test
