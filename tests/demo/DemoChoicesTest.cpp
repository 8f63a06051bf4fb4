// The demo's choices without a window: patterns, source types, the properties of an export
// and where the settings file goes.
#include "demo/DemoChoices.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace morvane::demo {
namespace {

TEST(DemoChoicesTest, ThreeEntriesWithTheirPatternsAndSourceTypes) {
    const auto& choices = DemoChoices();
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_EQ(choices[0].Text, "Access (*.mdb)");
    EXPECT_EQ(choices[0].Patterns, QStringList({"*.MDB", "*.SQLITE", "*.SQLITE3", "*.DB3"}));
    EXPECT_EQ(choices[0].SourceType, 4);
    EXPECT_EQ(choices[1].Text, "Paradox (*.db)");
    EXPECT_EQ(choices[1].Patterns, QStringList({"*.DB"}));
    EXPECT_EQ(choices[1].SourceType, 7);
    EXPECT_EQ(choices[2].Text, "DBase (*.Dbf)");
    EXPECT_EQ(choices[2].Patterns, QStringList({"*.DBF"}));
    EXPECT_EQ(choices[2].SourceType, 10);
}

TEST(DemoChoicesTest, FileDatabaseAndFolderDatabaseExports) {
    const DemoExport access = ExportFor(DemoChoices()[0], "/data", "shop.mdb", "/p/E.ini");
    EXPECT_EQ(access.DataBaseName, "/data/shop.mdb");
    EXPECT_TRUE(access.MultiTable);
    EXPECT_FALSE(access.SetTableName);
    EXPECT_EQ(access.ConnectString, 4);
    EXPECT_EQ(access.IniFile, "/p/E.ini");
    // Nothing selected: the name ends with the separator, and the wizard reports it.
    EXPECT_EQ(ExportFor(DemoChoices()[0], "/data", "", "").DataBaseName, "/data/");
    EXPECT_EQ(ExportFor(DemoChoices()[0], "/", "a.mdb", "").DataBaseName, "/a.mdb");

    const DemoExport paradox = ExportFor(DemoChoices()[1], "/data", "CUSTOMER.DB", "");
    EXPECT_EQ(paradox.DataBaseName, "/data");
    EXPECT_TRUE(paradox.SetTableName);
    EXPECT_EQ(paradox.TableName, "CUSTOMER.DB");
    EXPECT_FALSE(paradox.MultiTable);
    EXPECT_EQ(paradox.ConnectString, 7);
    EXPECT_EQ(ExportFor(DemoChoices()[2], "/data", "", "").TableName, "");
}

TEST(DemoChoicesTest, HiddenOutputKinds) {
    QList<int> hidden;
    for (int kind = 0; kind <= 22; ++kind)
        if (HidesOutputKind(kind)) hidden << kind;
    EXPECT_EQ(hidden, QList<int>({5, 6, 7, 16, 17, 18, 19, 22}));
}

TEST(DemoChoicesTest, SettingsFileBesideAWritableProgramElseInTheConfigFolder) {
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString program = scratch.filePath("bin");
    const QString config = scratch.filePath("config/MorvaneDemo");
    ASSERT_TRUE(QDir().mkpath(program));
    EXPECT_EQ(SettingsFileFor(program, config), program + "/ExportSettings.ini");
    EXPECT_FALSE(QDir(config).exists());

    // A program folder that cannot be written (here: one that is a file's child, which
    // even the super-user cannot create files in) sends the file to the config folder,
    // which is made.
    QFile blocker(scratch.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(SettingsFileFor(scratch.filePath("file/bin"), config),
              config + "/ExportSettings.ini");
    EXPECT_TRUE(QDir(config).exists());
}

}  // namespace
}  // namespace morvane::demo
