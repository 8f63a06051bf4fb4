// Seeded random mutations of workbooks of every version, opened and read in full. A damaged
// file may fail with an engine error; it must never crash, hang or be written. Under
// AddressSanitizer:
//
//   cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug
//         -DCMAKE_CXX_FLAGS="-fsanitize=address -fno-omit-frame-pointer"
//         -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address        (one command)
//   cmake --build build-asan --target excel_mutation_tests
//   MORVANE_EXCEL_MUTATION_ROUNDS=2000 build-asan/bin/excel_mutation_tests
//
// MORVANE_EXCEL_MUTATION_ROUNDS sets the rounds per workbook (default 40, for the suite);
// MORVANE_EXCEL_MUTATION_VERBOSE=1 prints each round's recipe. Findings are kept in
// kRegressions as byte recipes on the generated workbooks, named after what they found.
#include "tests/data/excel/ExcelTestSupport.h"

#include <QRandomGenerator>

namespace morvane::test {
namespace {

// A workbook of `connect`: two sheets (one for the one-sheet versions) of mixed cells and
// enough text to fill more than one string-table record in BIFF8.
QByteArray Sample(const char* connect) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sample.xls"));
    auto db = OpenExcel(path, connect);
    const bool oneSheet =
        QByteArray(connect).startsWith("Excel 3") || QByteArray(connect).startsWith("Excel 4");
    for (const char* name : {"Alpha", "Beta"}) {
        if (oneSheet && QByteArray(name) == "Beta") break;
        CreateTable(*db, QString::fromLatin1(name),
                    {{QStringLiteral("Text"), dbText, 60},
                     {QStringLiteral("Number"), dbDouble, 0},
                     {QStringLiteral("When"), dbDate, 0},
                     {QStringLiteral("Flag"), dbBoolean, 0}});
        auto rs = db->OpenRecordset(QString::fromLatin1(name));
        for (int row = 0; row < 300; ++row)
            AddRow(
                *rs,
                {QStringLiteral("Text %1 ÄÖÜ € %2").arg(row).arg(QString(row % 7, QChar(0x3042))),
                 row * 1.5, QDate(2000, 1, 1).addDays(row), row % 2 == 0});
    }
    db->Close();
    return ReadBytes(path);
}

// Reads everything the engine offers; engine errors are the expected outcome of damage.
void ReadEverything(const QString& path, const char* connect) {
    try {
        auto db = OpenExcel(path, connect, true);
        for (int index = 0; index < db->TableDefs().Count(); ++index) {
            try {
                auto rs = db->OpenRecordset(db->TableDefs().Item(index).Name());
                for (int rows = 0; !rs->Eof() && rows < 100000; ++rows) {
                    for (int field = 0; field < rs->Fields().Count(); ++field)
                        (void)rs->Fields().Item(field).Value();
                    rs->MoveNext();
                }
                (void)rs->RecordCount();
            } catch (const EngineError&) {
            }
        }
    } catch (const EngineError&) {
    }
}

struct Recipe {
    const char* Name;
    const char* Connect;
    std::vector<std::pair<int, unsigned char>> Bytes;
};

// Each finding with the bytes that caused it, reduced to the ones that matter.
const std::vector<Recipe> kRegressions = {};

TEST(ExcelMutationTest, MutatedWorkbooksNeverCrash) {
    const int rounds = qEnvironmentVariableIsSet("MORVANE_EXCEL_MUTATION_ROUNDS")
                           ? qEnvironmentVariableIntValue("MORVANE_EXCEL_MUTATION_ROUNDS")
                           : 40;
    const bool verbose = qEnvironmentVariableIsSet("MORVANE_EXCEL_MUTATION_VERBOSE");
    QTemporaryDir dir;
    for (const ExcelKind& kind : kExcelKinds) {
        const QByteArray original = Sample(kind.Connect);
        ASSERT_FALSE(original.isEmpty());
        for (int round = 0; round < rounds; ++round) {
            QRandomGenerator random(static_cast<quint32>(round * 7919 + kind.BiffVersion));
            QByteArray bytes = original;
            const int changes = 1 + random.bounded(12);
            QStringList recipe;
            for (int change = 0; change < changes; ++change) {
                // Half the damage lands in the first 4 KiB: headers, globals, string table.
                const int limit =
                    random.bounded(2) ? std::min<int>(4096, bytes.size()) : bytes.size();
                const int at = random.bounded(limit);
                const unsigned char value = static_cast<unsigned char>(random.bounded(256));
                bytes[at] = static_cast<char>(value);
                recipe << QStringLiteral("{%1, 0x%2}").arg(at).arg(value, 2, 16, QLatin1Char('0'));
            }
            if (random.bounded(8) == 0) bytes.truncate(random.bounded(bytes.size()));
            if (verbose)
                qInfo("%s round %d: %s (size %lld)", kind.Connect, round,
                      qPrintable(recipe.join(QStringLiteral(", "))),
                      static_cast<long long>(bytes.size()));
            const QString path = WriteFile(dir, QStringLiteral("mutated.xls"), bytes);
            ReadEverything(path, kind.Connect);
            EXPECT_EQ(ReadBytes(path), bytes) << "reading changed the file";
        }
    }
}

TEST(ExcelMutationTest, Regressions) {
    QTemporaryDir dir;
    for (const Recipe& recipe : kRegressions) {
        QByteArray bytes = Sample(recipe.Connect);
        for (const auto& [at, value] : recipe.Bytes)
            if (at < bytes.size()) bytes[at] = static_cast<char>(value);
        const QString path = WriteFile(dir, QStringLiteral("%1.xls").arg(recipe.Name), bytes);
        ReadEverything(path, recipe.Connect);
        EXPECT_EQ(ReadBytes(path), bytes) << recipe.Name;
    }
}

}  // namespace
}  // namespace morvane::test
