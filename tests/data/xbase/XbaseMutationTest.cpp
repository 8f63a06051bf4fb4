// Seeded random mutations of xBase tables (each version's People table and its memo file,
// written by the driver), opened and read in full through the engine. A damaged table may
// fail with an engine error; it must never crash, hang, read past a buffer or be written.
// Under AddressSanitizer:
//
//   cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug
//         -DCMAKE_CXX_FLAGS="-fsanitize=address -fno-omit-frame-pointer"
//         -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address        (one command)
//   cmake --build build-asan --target xbase_mutation_tests
//   MORVANE_XBASE_MUTATION_ROUNDS=5000 build-asan/bin/xbase_mutation_tests
//
// MORVANE_XBASE_MUTATION_ROUNDS sets the rounds per version (default 200, for the suite);
// MORVANE_XBASE_MUTATION_SEED varies the seed; MORVANE_XBASE_MUTATION_VERBOSE=1 prints each
// round's recipe. Findings are kept in kRegressions as recipes (offsets and bytes applied to
// the seed table), named after what they found.
#include "tests/data/xbase/XbaseTestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QRandomGenerator>

namespace morvane::test {
namespace {

// Reads every table of the folder, every value of every record.
void ReadEverything(const QString& folder) {
    try {
        auto db = OpenFolder(folder, "FoxPro 3.0", true);
        for (int index = 0; index < db->TableDefs().Count(); ++index) {
            try {
                auto rs = db->OpenRecordset(db->TableDefs().Item(index).Name());
                (void)rs->RecordCount();
                for (int rows = 0; !rs->Eof() && rows < 100000; ++rows) {
                    for (int field = 0; field < rs->Fields().Count(); ++field) {
                        RawValue raw;
                        rs->ReadRaw(field, raw);
                        (void)rs->Fields().Item(field).Value();
                    }
                    rs->MoveNext();
                }
                if (rs->RecordCount() > 0) rs->MoveLast();
            } catch (const EngineError&) {
            }
        }
    } catch (const EngineError&) {
    }
}

struct Mutation {
    bool memo;  // the memo file, else the table file
    int offset;
    unsigned char byte;
};

struct Recipe {
    const char* name;
    const char* type;
    std::vector<Mutation> bytes;
    int truncateTo = -1;  // the table file cut to this size, -1: not cut
};

// Findings of the random rounds, reduced to the bytes that matter, and cases written by hand
// where a length or a number in the file drives a read.
const std::vector<Recipe> kRegressions = {
    // (by hand) A FoxPro 3.0 header whose _NullFlags field is one byte wide for eleven nullable
    // fields: bits past the field must not be read.
    {"null-flags-field-too-short", "FoxPro 3.0", {{false, 32 + 32 * 11 + 16, 1}}},
    // (by hand) A memo block number that overflows block * block size.
    {"memo-block-number-overflow", "FoxPro 2.0", {}},
};

class XbaseMutationTest : public ::testing::Test {
  protected:
    // Writes the seed table of `type` into `folder`; answers the table and memo bytes.
    static std::pair<QByteArray, QByteArray> Seed(const QString& folder, const QString& type) {
        QDir().mkpath(folder);
        auto db = OpenFolder(folder, type);
        CreateTable(*db, "People", PeopleColumns(), PeopleRows());
        db->Close();
        const bool fox = type.startsWith("FoxPro");
        return {ReadBytes(QDir(folder).filePath("People.dbf")),
                ReadBytes(QDir(folder).filePath(fox ? "People.fpt" : "People.dbt"))};
    }

    // Writes the mutated files, reads them, checks they were not changed.
    void Try(const QString& type, const QByteArray& dbf, const QByteArray& memo) {
        const QString folder = dir_.filePath("m");
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        const QString dbfPath = QDir(folder).filePath("People.dbf");
        const QString memoPath =
            QDir(folder).filePath(type.startsWith("FoxPro") ? "People.fpt" : "People.dbt");
        WriteBytes(dbfPath, dbf);
        WriteBytes(memoPath, memo);
        ReadEverything(folder);
        ASSERT_EQ(ReadBytes(dbfPath), dbf) << "reading changed the table";
        ASSERT_EQ(ReadBytes(memoPath), memo) << "reading changed the memo file";
    }

    QTemporaryDir dir_;
};

TEST_F(XbaseMutationTest, RegressionsReadWithoutFault) {
    for (const Recipe& recipe : kRegressions) {
        SCOPED_TRACE(recipe.name);
        auto [dbf, memo] = Seed(dir_.filePath(recipe.name), recipe.type);
        for (const Mutation& m : recipe.bytes) {
            QByteArray& target = m.memo ? memo : dbf;
            if (m.offset < target.size()) target[m.offset] = static_cast<char>(m.byte);
        }
        if (QByteArray(recipe.name) == "memo-block-number-overflow") {
            // The first record's Notes pointer (after flag, Id 11, Name 30) set to 4294967295.
            const int header =
                static_cast<unsigned char>(dbf[8]) | (static_cast<unsigned char>(dbf[9]) << 8);
            dbf.replace(header + 1 + 11 + 30, 10, "4294967295");
        }
        if (recipe.truncateTo >= 0) dbf.truncate(recipe.truncateTo);
        Try(recipe.type, dbf, memo);
    }
}

TEST_F(XbaseMutationTest, RandomMutationsNeverFault) {
    const int rounds = qEnvironmentVariableIsSet("MORVANE_XBASE_MUTATION_ROUNDS")
                           ? qEnvironmentVariableIntValue("MORVANE_XBASE_MUTATION_ROUNDS")
                           : 200;
    const bool verbose = qEnvironmentVariableIntValue("MORVANE_XBASE_MUTATION_VERBOSE") != 0;
    for (const QString& type :
         {QStringLiteral("dBASE III"), QStringLiteral("dBASE IV"), QStringLiteral("dBASE 5.0"),
          QStringLiteral("FoxPro 2.6"), QStringLiteral("FoxPro 3.0")}) {
        SCOPED_TRACE(type.toStdString());
        const auto [dbf, memo] = Seed(dir_.filePath("seed " + type), type);
        QRandomGenerator random(
            0x5EED0000u + static_cast<quint32>(qHash(type)) +
            static_cast<quint32>(qEnvironmentVariableIntValue("MORVANE_XBASE_MUTATION_SEED")));
        for (int round = 0; round < rounds; ++round) {
            QByteArray table = dbf;
            QByteArray memoBytes = memo;
            QString recipe;
            const int changes = 1 + random.bounded(6);
            for (int change = 0; change < changes; ++change) {
                // Mostly the header and field list, where lengths and offsets live.
                const bool inMemo = random.bounded(5) == 0;
                QByteArray& target = inMemo ? memoBytes : table;
                const int span = inMemo || random.bounded(3) == 0
                                     ? target.size()
                                     : qMin<int>(target.size(), 32 * 13 + 300);
                const int offset = random.bounded(span);
                const auto byte =
                    static_cast<unsigned char>(random.bounded(4) == 0   ? 0xFF
                                               : random.bounded(4) == 0 ? 0
                                                                        : random.bounded(256));
                target[offset] = static_cast<char>(byte);
                recipe += QStringLiteral("{%1, %2, 0x%3}, ")
                              .arg(inMemo ? "true" : "false")
                              .arg(offset)
                              .arg(byte, 2, 16, QLatin1Char('0'));
            }
            if (random.bounded(8) == 0) {
                const int size = random.bounded(table.size());
                table.truncate(size);
                recipe += QStringLiteral("cut to %1").arg(size);
            }
            if (verbose)
                std::fprintf(stderr, "%s round %d: %s\n", qPrintable(type), round,
                             qPrintable(recipe));
            Try(type, table, memoBytes);
            if (HasFatalFailure()) return;
        }
    }
}

}  // namespace
}  // namespace morvane::test
