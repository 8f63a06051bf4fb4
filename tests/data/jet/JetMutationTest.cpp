// Seeded random mutations of the Jet fixtures, opened and read in full: every table's
// rows, every query's definition. A damaged file may fail with an engine error; it must
// never crash, hang or be written. Under AddressSanitizer:
//
//   cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug
//         -DCMAKE_CXX_FLAGS="-fsanitize=address -fno-omit-frame-pointer"
//         -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address        (one command)
//   cmake --build build-asan --target jet_mutation_tests
//   MORVANE_JET_MUTATION_ROUNDS=1500 build-asan/bin/jet_mutation_tests
//
// MORVANE_JET_MUTATION_ROUNDS sets the rounds per fixture (default 25, for the suite);
// MORVANE_JET_MUTATION_VERBOSE=1 prints each round's recipe. Findings are kept as recipes
// (offset and byte lists applied to a fixture at run time, since the fixtures may not be
// copied) in kRegressions, named after what they found.
#include "export/data/QueryDef.h"
#include "tests/data/jet/JetTestSupport.h"

#include <QRandomGenerator>

namespace morvane::test {
namespace {

// Reads everything the engine offers; engine errors are the expected outcome of damage.
void ReadEverything(const QString& path) {
    try {
        auto db = OpenJet(path);
        for (int index = 0; index < db->TableDefs().Count(); ++index) {
            const QString name = db->TableDefs().Item(index).Name();
            try {
                auto rs = db->OpenRecordset(name, dbOpenTable);
                for (int rows = 0; !rs->Eof() && rows < 100000; ++rows) rs->MoveNext();
            } catch (const EngineError&) {
            }
        }
        for (int index = 0; index < db->QueryDefs().Count(); ++index)
            (void)db->QueryDefs().Item(index).SQL();
    } catch (const EngineError&) {
    }
}

struct Recipe {
    const char* Name;
    const char* Fixture;
    std::vector<std::pair<int, unsigned char>> Bytes;
};

// Each finding with the fixture bytes that caused it (MORVANE_JET_MUTATION_VERBOSE=1 prints
// every round's recipe), reduced to the bytes that matter.
const std::vector<Recipe> kRegressions = {
    // The usage-map pointer of MSysACEs (Jet 3, definition page 3, offset 35) names another
    // row, whose bytes libmdb took for a page map: it read past the map (crash in
    // mdb_map_find_next). Round 445 of testV1997.mdb.
    {"usage-map-row-of-msysaces", "testV1997.mdb", {{6179, 0x9c}}},
};

class JetMutationTest : public ::testing::Test {
  protected:
    void SetUp() override { SKIP_WITHOUT_JET_FIXTURES(); }
    QTemporaryDir dir_;
};

TEST_F(JetMutationTest, MutatedFixturesNeverCrash) {
    const int rounds = qEnvironmentVariableIsSet("MORVANE_JET_MUTATION_ROUNDS")
                           ? qEnvironmentVariableIntValue("MORVANE_JET_MUTATION_ROUNDS")
                           : 25;
    for (const char* fixture :
         {"testV1997.mdb", "queryTestV1997.mdb", "queryTestV2000.mdb", "test2V2000.mdb"}) {
        const QByteArray original = ReadBytes(JetFixture(fixture));
        for (int round = 0; round < rounds; ++round) {
            QRandomGenerator random(static_cast<quint32>(round * 7919 + original.size()));
            QByteArray bytes = original;
            const int changes = 1 + random.bounded(16);
            // Most damage lands on the first pages, where the catalogue and definitions are.
            for (int change = 0; change < changes; ++change) {
                const int limit = random.bounded(2) ? 16384 : bytes.size();
                bytes[random.bounded(std::min(limit, static_cast<int>(bytes.size())))] =
                    static_cast<char>(random.bounded(256));
            }
            const QString path = WriteFile(dir_, QStringLiteral("mutated.mdb"), bytes);
            if (qEnvironmentVariableIsSet("MORVANE_JET_MUTATION_VERBOSE")) {
                // The recipe of this round: offsets and bytes that differ from the fixture.
                QString recipe;
                for (int offset = 0; offset < bytes.size(); ++offset)
                    if (bytes[offset] != original[offset])
                        recipe +=
                            QString("{%1, 0x%2}, ")
                                .arg(offset)
                                .arg(static_cast<unsigned char>(bytes[offset]), 2, 16, QChar('0'));
                fprintf(stderr, "mutation %s round %d: %s\n", fixture, round, qPrintable(recipe));
            }
            SCOPED_TRACE(QString("%1 round %2").arg(fixture).arg(round).toStdString());
            ReadEverything(path);
            EXPECT_EQ(ReadBytes(path), bytes);
        }
    }
}

TEST_F(JetMutationTest, RegressionRecipes) {
    for (const Recipe& recipe : kRegressions) {
        QByteArray bytes = ReadBytes(JetFixture(recipe.Fixture));
        for (const auto& change : recipe.Bytes)
            bytes[change.first] = static_cast<char>(change.second);
        ReadEverything(WriteFile(dir_, QString(recipe.Name) + ".mdb", bytes));
    }
}

}  // namespace
}  // namespace morvane::test
