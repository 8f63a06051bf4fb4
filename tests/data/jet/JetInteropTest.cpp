// What the engine reads from the Jet fixtures against what the mdbtools programs
// (mdb-tables, mdb-schema, mdb-export, mdb-queries; package mdbtools) print for the same
// files. Skips when the fixtures or the programs are absent.
#include "export/data/QueryDef.h"
#include "tests/data/jet/JetTestSupport.h"

#include <QDateTime>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUuid>

namespace morvane::test {
namespace {

const char* const kFixtures[] = {"testV1997.mdb", "queryTestV1997.mdb", "queryTestV2000.mdb",
                                 "test2V2000.mdb", "test2V2003.mdb"};

QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList Lines(const QString& text) {
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// One CSV record per entry; a field is null (an absent QString) when it was written bare
// and empty, which is how mdb-export writes Null.
std::vector<std::vector<QString>> ParseCsv(const QString& text) {
    std::vector<std::vector<QString>> records(1);
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    for (int index = 0; index < text.size(); ++index) {
        const QChar c = text.at(index);
        if (quoted) {
            if (c == '"' && index + 1 < text.size() && text.at(index + 1) == '"') {
                field += '"';
                ++index;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = wasQuoted = true;
        } else if (c == ',' || c == '\n') {
            records.back().push_back(field.isEmpty() && !wasQuoted ? QString() : field);
            field.clear();
            wasQuoted = false;
            if (c == '\n') records.emplace_back();
        } else {
            field += c;
        }
    }
    if (records.back().empty()) records.pop_back();
    return records;
}

// Our value in mdb-export's form (dates "%Y-%m-%d %H:%M:%S", binary as hex).
QString ExportForm(const QVariant& value, short type) {
    if (value.isNull()) return QString();
    switch (type) {
        case dbBoolean:
            return value.toBool() ? "1" : "0";
        case dbDate: {
            if (value.typeId() == QMetaType::QTime)
                return "1899-12-30 " + value.toTime().toString("HH:mm:ss");
            if (value.typeId() == QMetaType::QDate)
                return value.toDate().toString("yyyy-MM-dd") + " 00:00:00";
            return value.toDateTime().toString("yyyy-MM-dd HH:mm:ss");
        }
        case dbBinary: {
            // mdb-export copies Binary values as C strings: it stops at the first 00 byte
            // (and then writes Null for an empty result).
            const QByteArray bytes = value.toByteArray();
            const int end = bytes.indexOf('\0');
            return end == 0
                       ? QString()
                       : QString::fromLatin1((end < 0 ? bytes : bytes.left(end)).toHex().toUpper());
        }
        case dbLongBinary:
            return QString::fromLatin1(value.toByteArray().toHex().toUpper());
        case dbGUID:
            return value.toUuid().toString(QUuid::WithBraces).toUpper();
        default:
            return value.toString();
    }
}

bool SameValue(const QString& ours, const QString& theirs, short type) {
    if (ours.isNull() || theirs.isNull()) return ours.isEmpty() && theirs.isEmpty();
    if (type == dbSingle || type == dbDouble || type == dbCurrency) {
        const double a = ours.toDouble();
        const double b = theirs.toDouble();
        return std::abs(a - b) <= 1e-6 * std::max(1.0, std::abs(b));
    }
    if (type == dbBinary || type == dbLongBinary)
        return ours.compare(theirs, Qt::CaseInsensitive) == 0;
    return ours == theirs;
}

class JetInteropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_JET_FIXTURES();
        if (QStandardPaths::findExecutable("mdb-export").isEmpty())
            GTEST_SKIP() << "mdbtools programs not installed";
    }
};

TEST_F(JetInteropTest, TablesAndQueriesAreThoseMdbtoolsList) {
    for (const char* fixture : kFixtures) {
        const QString path = JetFixture(fixture);
        auto db = OpenJet(path);
        QStringList tables;
        for (int index = 0; index < db->TableDefs().Count(); ++index)
            tables << db->TableDefs().Item(index).Name();
        EXPECT_EQ(tables, Lines(RunTool("mdb-tables", {"-S", "-1", path}))) << fixture;
        QStringList queries;
        for (int index = 0; index < db->QueryDefs().Count(); ++index)
            queries << db->QueryDefs().Item(index).Name();
        EXPECT_EQ(queries, Lines(RunTool("mdb-queries", {"-1", path}))) << fixture;
        // Where mdb-queries prints a WHERE clause, ours holds the same condition.
        for (const QString& name : queries) {
            const QString theirs = RunTool("mdb-queries", {path, name});
            const int where = theirs.indexOf(" WHERE ");
            if (where < 0) continue;
            const QString condition = theirs.mid(where + 7).section(" ORDER BY", 0, 0).trimmed();
            EXPECT_TRUE(db->QueryDefs().Item(name).SQL().contains(condition))
                << fixture << " " << qPrintable(name) << ": " << qPrintable(condition);
        }
    }
}

TEST_F(JetInteropTest, FieldsAreThoseMdbSchemaDeclares) {
    static const QRegularExpression column(
        QStringLiteral("^\\s*\\[(.*)\\]\\s+(.*?)(?: \\((\\d+)\\))?( NOT NULL)?,?$"));
    const QHash<QString, short> types = {
        {"Boolean", dbBoolean},   {"Byte", dbByte},           {"Integer", dbInteger},
        {"Long Integer", dbLong}, {"Currency", dbCurrency},   {"Single", dbSingle},
        {"Double", dbDouble},     {"DateTime", dbDate},       {"Text", dbText},
        {"OLE", dbLongBinary},    {"Memo/Hyperlink", dbMemo}, {"Replication ID", dbGUID},
        {"Binary", dbBinary},     {"Numeric", dbDecimal}};
    for (const char* fixture : kFixtures) {
        const QString path = JetFixture(fixture);
        auto db = OpenJet(path);
        for (int index = 0; index < db->TableDefs().Count(); ++index) {
            const TableDef& table = db->TableDefs().Item(index);
            if (table.Attributes() != 0) continue;
            const QStringList schema = Lines(RunTool("mdb-schema", {"-T", table.Name(), path}));
            int ordinal = 0;
            for (const QString& line : schema) {
                const auto match = column.match(line.trimmed());
                if (!match.hasMatch() || line.contains("TABLE")) continue;
                ASSERT_LT(ordinal, table.Fields().Count()) << fixture;
                const Field& field = table.Fields().Item(ordinal++);
                EXPECT_EQ(field.Name(), match.captured(1)) << fixture;
                EXPECT_EQ(field.Type(), types.value(match.captured(2), -1))
                    << fixture << " " << qPrintable(line);
                if (field.Type() == dbText) {
                    EXPECT_EQ(field.Size(), match.captured(3).toInt()) << qPrintable(line);
                }
                // mdb-schema writes NOT NULL for Required columns and every Boolean.
                EXPECT_EQ(field.Required() || field.Type() == dbBoolean,
                          !match.captured(4).isEmpty())
                    << qPrintable(line);
            }
            EXPECT_EQ(ordinal, table.Fields().Count())
                << fixture << " " << qPrintable(table.Name());
        }
    }
}

TEST_F(JetInteropTest, EveryTableReadsTheValuesMdbExportWrites) {
    for (const char* fixture : kFixtures) {
        const QString path = JetFixture(fixture);
        auto db = OpenJet(path);
        for (int index = 0; index < db->TableDefs().Count(); ++index) {
            const QString name = db->TableDefs().Item(index).Name();
            const auto records =
                ParseCsv(RunTool("mdb-export", {"-D", "%Y-%m-%d %H:%M:%S", "-T",
                                                "%Y-%m-%d %H:%M:%S", "-b", "hex", path, name}));
            ASSERT_FALSE(records.empty()) << fixture << " " << qPrintable(name);
            auto rs = db->OpenRecordset(name, dbOpenTable);
            Fields& fields = rs->Fields();
            size_t row = 1;
            for (; !rs->Eof(); rs->MoveNext(), ++row) {
                ASSERT_LT(row, records.size()) << fixture << " " << qPrintable(name);
                const auto& theirs = records[row];
                ASSERT_EQ(static_cast<int>(theirs.size()), fields.Count());
                for (int column = 0; column < fields.Count(); ++column) {
                    const Field& field = fields.Item(column);
                    const QString ours = ExportForm(field.Value(), field.Type());
                    EXPECT_TRUE(SameValue(ours, theirs[static_cast<size_t>(column)], field.Type()))
                        << fixture << " " << qPrintable(name) << "." << qPrintable(field.Name())
                        << " row " << row << ": ours '" << qPrintable(ours.left(80)) << "' theirs '"
                        << qPrintable(theirs[static_cast<size_t>(column)].left(80)) << "'";
                }
            }
            EXPECT_EQ(row, records.size()) << fixture << " " << qPrintable(name);
        }
    }
}

}  // namespace
}  // namespace morvane::test
