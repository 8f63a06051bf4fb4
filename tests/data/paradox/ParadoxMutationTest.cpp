// Seeded random mutations of Paradox tables written at each level (with memo files), opened
// and read in full: every value, memos included, forwards, backwards and by count. A damaged
// file may fail with an engine error; it must never crash, hang or be written. Under
// AddressSanitizer:
//
//   cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug
//         -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer"
//         -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"     (one command)
//   cmake --build build-asan --target paradox_mutation_tests
//   MORVANE_PARADOX_MUTATION_ROUNDS=5000 build-asan/bin/paradox_mutation_tests
//
// MORVANE_PARADOX_MUTATION_ROUNDS sets the rounds per base table (default 150, for the
// suite); MORVANE_PARADOX_MUTATION_SEED the first seed; MORVANE_PARADOX_MUTATION_VERBOSE=1
// prints each round's recipe. Findings are kept as recipe files in regressions/, named
// after what they found: lines "db|mb OFFSET BYTE" or "db|mb truncate SIZE", applied to the
// base table of the level given by the file's first line ("level N").
#include "tests/data/paradox/ParadoxTestSupport.h"

#include <QRandomGenerator>
#include <QTextStream>

namespace morvane::test {
namespace {

struct Files {
    QByteArray db;
    QByteArray mb;
};

// The base table of a level: a few blocks of records with text, numbers, dates, Nulls and,
// from level 4, memos in the leader, in shared blocks and in blocks of their own.
Files BaseTable(const QString& folder, int level) {
    QDir().mkpath(folder);
    auto db = OpenParadox(folder, level);
    std::vector<ColumnDef> columns = {{"Name", dbText, 24},     {"Qty", dbInteger, 0},
                                      {"Price", dbCurrency, 0}, {"Day", dbDate, 0},
                                      {"Notes", dbMemo, 0},     {"Flag", dbBoolean, 0}};
    std::vector<std::vector<QVariant>> rows;
    for (int i = 0; i < 300; ++i) {
        const QString memo =
            i % 3 == 0   ? QString()
            : i % 3 == 1 ? QStringLiteral("memo %1").arg(i)
                         : QString(level == 3 ? 40 + i / 2 : 40 + i * 11, QChar(u'a' + i % 26));
        rows.push_back({QStringLiteral("row %1 é").arg(i), i % 7 ? QVariant(i) : QVariant(),
                        i * 1.25, QDate(2000, 1, 1).addDays(i),
                        memo.isEmpty() ? QVariant() : QVariant(memo), i % 2 == 0});
    }
    MakeTable(*db, QStringLiteral("Base"), columns, rows);
    db->Close();
    Files files;
    QFile f(folder + QStringLiteral("/Base.db"));
    if (f.open(QIODevice::ReadOnly)) files.db = f.readAll();
    QFile m(folder + QStringLiteral("/Base.mb"));
    if (m.open(QIODevice::ReadOnly)) files.mb = m.readAll();
    return files;
}

void WriteFiles(const QString& folder, const Files& files) {
    QDir().mkpath(folder);
    QFile f(folder + QStringLiteral("/Base.db"));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(files.db);
    if (!files.mb.isNull()) {
        QFile m(folder + QStringLiteral("/Base.mb"));
        m.open(QIODevice::WriteOnly | QIODevice::Truncate);
        m.write(files.mb);
    }
}

// Reads everything the engine offers; engine errors are the expected outcome of damage.
void ReadEverything(const QString& folder) {
    try {
        auto db = OpenParadox(folder, 5, true);
        for (int index = 0; index < db->TableDefs().Count(); ++index)
            (void)db->TableDefs().Item(index).Fields().Count();
        auto rs = db->OpenRecordset(QStringLiteral("Base"));
        for (int rows = 0; !rs->Eof() && rows < 100000; ++rows) {
            for (int i = 0; i < rs->Fields().Count(); ++i) {
                try {
                    (void)rs->Fields().Item(i).Value();
                    RawValue raw;
                    rs->ReadRaw(i, raw);
                } catch (const EngineError&) {
                }
            }
            rs->MoveNext();
        }
        (void)rs->RecordCount();
        rs->MoveLast();
        rs->Move(-5);
    } catch (const EngineError&) {
    }
}

// One round's changes, kept so that a finding can be written down as a recipe.
struct Change {
    bool memo;
    bool truncate;
    int offset;
    unsigned char byte;
};

QString RecipeText(const std::vector<Change>& changes) {
    QString text;
    for (const Change& c : changes)
        text +=
            c.truncate
                ? QStringLiteral("%1 truncate %2\n").arg(c.memo ? "mb" : "db").arg(c.offset)
                : QStringLiteral("%1 %2 %3\n").arg(c.memo ? "mb" : "db").arg(c.offset).arg(c.byte);
    return text;
}

void Apply(Files& files, const std::vector<Change>& changes) {
    for (const Change& c : changes) {
        QByteArray& bytes = c.memo ? files.mb : files.db;
        if (c.truncate)
            bytes.truncate(c.offset);
        else if (c.offset < bytes.size())
            bytes[c.offset] = static_cast<char>(c.byte);
    }
}

// Picks an offset where damage matters most: the header's fixed part and field list, the
// block headers, the memo pointers of records, the memo file's block headers and slots.
int PickOffset(QRandomGenerator& random, const QByteArray& bytes, bool memo) {
    const int size = static_cast<int>(bytes.size());
    if (size == 0) return 0;
    switch (random.bounded(4)) {
        case 0:
            return random.bounded(std::min(size, memo ? 64 : 0x100));
        case 1: {
            const int unit = memo ? 4096 : 2048;
            const int block = random.bounded(std::max(1, size / unit));
            return std::min(size - 1, block * unit + random.bounded(memo ? 12 + 5 * 64 : 8));
        }
        default:
            return random.bounded(size);
    }
}

int Rounds() {
    const int rounds = qEnvironmentVariableIntValue("MORVANE_PARADOX_MUTATION_ROUNDS");
    return rounds > 0 ? rounds : 150;
}

class ParadoxMutationTest : public ::testing::Test {
  protected:
    QTemporaryDir dir_;
};

TEST_F(ParadoxMutationTest, MutatedTablesNeverCrashOrChange) {
    const bool verbose = qEnvironmentVariableIntValue("MORVANE_PARADOX_MUTATION_VERBOSE") != 0;
    const quint32 firstSeed =
        static_cast<quint32>(qEnvironmentVariableIntValue("MORVANE_PARADOX_MUTATION_SEED"));
    for (int level : {3, 4, 5}) {
        const Files base = BaseTable(dir_.filePath(QStringLiteral("base%1").arg(level)), level);
        ASSERT_FALSE(base.db.isEmpty());
        for (int round = 0; round < Rounds(); ++round) {
            QRandomGenerator random(firstSeed + static_cast<quint32>(round * 7 + level));
            std::vector<Change> changes;
            const int count = 1 + random.bounded(6);
            for (int i = 0; i < count; ++i) {
                const bool memo = !base.mb.isEmpty() && random.bounded(3) == 0;
                const QByteArray& bytes = memo ? base.mb : base.db;
                if (random.bounded(20) == 0)
                    changes.push_back(
                        {memo, true, random.bounded(std::max<int>(1, bytes.size())), 0});
                else
                    changes.push_back({memo, false, PickOffset(random, bytes, memo),
                                       static_cast<unsigned char>(random.bounded(256))});
            }
            if (verbose)
                std::printf("level %d round %d\n%s", level, round, qPrintable(RecipeText(changes)));
            Files files = base;
            Apply(files, changes);
            const QString folder = dir_.filePath(QStringLiteral("round"));
            QDir(folder).removeRecursively();
            WriteFiles(folder, files);
            const QByteArray before = FileDigest(folder + QStringLiteral("/Base.db"));
            const QByteArray beforeMb = FileDigest(folder + QStringLiteral("/Base.mb"));
            ReadEverything(folder);
            ASSERT_EQ(FileDigest(folder + QStringLiteral("/Base.db")), before)
                << "level " << level << " round " << round;
            ASSERT_EQ(FileDigest(folder + QStringLiteral("/Base.mb")), beforeMb);
        }
    }
}

// The findings of earlier runs, replayed (regressions/*.recipe).
TEST_F(ParadoxMutationTest, Regressions) {
    const QDir recipes(QStringLiteral(MORVANE_TEST_DATA "/paradox/regressions"));
    const QStringList names =
        recipes.entryList({QStringLiteral("*.recipe")}, QDir::Files, QDir::Name);
    ASSERT_FALSE(names.isEmpty()) << "no recipes in " << recipes.path().toStdString();
    std::map<int, Files> bases;
    for (const QString& name : names) {
        QFile file(recipes.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << name.toStdString();
        QTextStream in(&file);
        int level = 5;
        std::vector<Change> changes;
        while (!in.atEnd()) {
            const QStringList words = in.readLine().split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (words.isEmpty() || words[0].startsWith(QLatin1Char('#'))) continue;
            if (words[0] == QLatin1String("level")) {
                level = words.value(1).toInt();
                continue;
            }
            ASSERT_EQ(words.size(), 3) << name.toStdString();
            const bool memo = words[0] == QLatin1String("mb");
            if (words[1] == QLatin1String("truncate"))
                changes.push_back({memo, true, words[2].toInt(), 0});
            else
                changes.push_back(
                    {memo, false, words[1].toInt(), static_cast<unsigned char>(words[2].toInt())});
        }
        if (!bases.count(level))
            bases[level] = BaseTable(dir_.filePath(QStringLiteral("base%1").arg(level)), level);
        Files files = bases[level];
        Apply(files, changes);
        const QString folder = dir_.filePath(QStringLiteral("regression"));
        QDir(folder).removeRecursively();
        WriteFiles(folder, files);
        const QByteArray before = FileDigest(folder + QStringLiteral("/Base.db"));
        ReadEverything(folder);
        EXPECT_EQ(FileDigest(folder + QStringLiteral("/Base.db")), before) << name.toStdString();
    }
}

}  // namespace
}  // namespace morvane::test
