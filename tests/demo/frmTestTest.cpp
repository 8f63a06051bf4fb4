// The demo window offscreen with the real control from its plugin: the file list per entry,
// the properties an export sets (read back from the control), the caption, and the kinds
// the wizard it opens leaves out.
#include "demo/ControlPlugin.h"
#include "demo/frmTest.h"
#include "tests/wizard/ui/WizardDriver.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

namespace morvane::demo {
namespace {

using test::Child;

class frmTestTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        for (const char* name : {"a.mdb", "B.MDB", "d.db3", "e.DB", "f.dbf", "G.DBF", "h.Sqlite3",
                                 "notes.txt", "x.dbt"})
            Touch(name);
        ASSERT_TRUE(QFile::copy(MORVANE_SAMPLE_DB, folder_.filePath("c.sqlite")));
        settings_ = folder_.filePath("ExportSettings.ini");
        form_ = std::make_unique<frmTest>(settings_, folder_.path());
        QWidget* control = plugin_.Create("MorvaneActiveX.Morvane", form_.get());
        ASSERT_NE(control, nullptr) << plugin_.ErrorString().toStdString();
        form_->AttachControl(control);
        form_->show();
    }

    void Touch(const char* name) {
        QFile file(folder_.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    void Choose(int entry) { Child<QComboBox>(form_.get(), "Combo1")->setCurrentIndex(entry); }
    void Select(const QString& name) {
        auto* files = Child<QListWidget>(form_.get(), "File1");
        const auto found = files->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        files->setCurrentItem(found.first());
    }
    QVariant Property(const char* name) const { return form_->Control()->property(name); }

    QTemporaryDir folder_;
    QString settings_;
    ControlPlugin plugin_{"morvane/MorvanePlugin", {MORVANE_PLUGIN_DIR}};
    std::unique_ptr<frmTest> form_;
};

TEST_F(frmTestTest, WindowControlsAndTheControlFromThePlugin) {
    EXPECT_EQ(form_->windowTitle(), "Test Morvane");
    EXPECT_EQ(Child<QPushButton>(form_.get(), "cmdExport")->text(), "Export");
    EXPECT_EQ(Child<QPushButton>(form_.get(), "Command2")->text(), "Close");
    auto* combo = Child<QComboBox>(form_.get(), "Combo1");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(form_->Control()->objectName(), "Morvane1");
    EXPECT_STREQ(form_->Control()->metaObject()->className(), "morvane::Morvane");
    EXPECT_EQ(Property("ExportCaption").toString(), "Export Data !");
    EXPECT_NE(Child<QComboBox>(form_.get(), "Drive1")->count(), 0);
}

TEST_F(frmTestTest, FileListFollowsTheEntryWithoutRegardToCase) {
    EXPECT_EQ(form_->FileNames(),
              QStringList({"a.mdb", "B.MDB", "c.sqlite", "d.db3", "h.Sqlite3"}));
    Choose(1);
    EXPECT_EQ(form_->FileNames(), QStringList({"e.DB"}));
    Choose(2);
    EXPECT_EQ(form_->FileNames(), QStringList({"f.dbf", "G.DBF"}));
}

TEST_F(frmTestTest, ExportOfAOneTableSourceSetsTheFolderAndTheTable) {
    Choose(2);
    Select("G.DBF");
    // Whatever the control shows (the wizard, or the engine's report when the folder
    // cannot be opened as a dBASE database) is closed; the properties stay set.
    QPointer<QTimer> closer = test::WhenModalOpens([](QDialog* dialog) { dialog->reject(); });
    QTest::mouseClick(Child<QPushButton>(form_.get(), "cmdExport"), Qt::LeftButton);
    delete closer.data();
    EXPECT_EQ(Property("DataBaseName").toString(), folder_.path());
    EXPECT_EQ(Property("TableName").toString(), "G.DBF");
    EXPECT_FALSE(Property("MultiTable").toBool());
    EXPECT_EQ(Property("ConnectString").toInt(), 10);
    EXPECT_EQ(Property("IniFile").toString(), settings_);
}

TEST_F(frmTestTest, DoubleClickOpensTheWizardWithoutTheHiddenKinds) {
    Select("c.sqlite");
    auto* files = Child<QListWidget>(form_.get(), "File1");
    QList<int> kinds;
    const bool shown = test::RunWizard(
        [&] {
            const QRect cell = files->visualItemRect(files->currentItem());
            // A double click is a click followed by the double-click event.
            QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, cell.center());
        },
        [&](QDialog* wizard) {
            auto* box = Child<QComboBox>(wizard, "CBoxTypeFormat");
            for (int i = 0; i < box->count(); ++i) kinds << box->itemData(i).toInt();
        });
    ASSERT_TRUE(shown);
    EXPECT_EQ(Property("DataBaseName").toString(), folder_.filePath("c.sqlite"));
    EXPECT_TRUE(Property("MultiTable").toBool());
    EXPECT_EQ(Property("ConnectString").toInt(), 4);
    // Every kind but the Paradox (5-7), Excel (16-19) and Lotus WK3 (22) ones.
    EXPECT_EQ(kinds, QList<int>({0, 1, 2, 3, 4, 8, 9, 10, 11, 12, 13, 14, 15, 20, 21}));
}

}  // namespace
}  // namespace morvane::demo

namespace morvane::demo {
namespace {

// The sample folders the build made (tools/demo-data) and a Jet file from the shared
// fixtures: each of the three entries opens its source, so the wizard comes up on it.
class frmTestSourcesTest : public ::testing::Test {
  protected:
    //! Shows the window on `folder`, chooses `entry` and `file`, presses Export and answers
    //! the wizard's source tables, then the fields it offers (empty when none opened).
    QStringList WizardSources(const QString& folder, int entry, const QString& file) {
        frmTest form(QDir(settings_.path()).filePath("ExportSettings.ini"), folder);
        form.AttachControl(plugin_.Create("MorvaneActiveX.Morvane", &form));
        form.show();
        Child<QComboBox>(&form, "Combo1")->setCurrentIndex(entry);
        auto* files = Child<QListWidget>(&form, "File1");
        const auto found = files->findItems(file, Qt::MatchExactly);
        EXPECT_EQ(found.size(), 1) << file.toStdString();
        if (found.size() != 1) return {};
        files->setCurrentItem(found.first());
        QStringList sources;
        // The wizard is found among the top-level windows once it is visible.
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* wizard = qobject_cast<QDialog*>(top);
                if (!wizard || !wizard->isVisible() || top->objectName() != "frmMorvane") continue;
                poll.stop();
                sources << "opened on step " +
                               QString::number(
                                   Child<QStackedWidget>(wizard, "FrameSteps")->currentIndex());
                auto* tables = Child<QComboBox>(wizard, "CBoxTables");
                for (int i = 0; i < tables->count(); ++i) sources << "table " + tables->itemText(i);
                wizard->reject();
                return;
            }
        });
        poll.start();
        QTest::mouseClick(Child<QPushButton>(&form, "cmdExport"), Qt::LeftButton);
        poll.stop();
        if (sources.isEmpty())
            sources << "not opened: " + form.Control()->property("LastError").toString();
        return sources;
    }

    QTemporaryDir settings_;
    ControlPlugin plugin_{"morvane/MorvanePlugin", {MORVANE_PLUGIN_DIR}};
};

TEST_F(frmTestSourcesTest, DBaseAndParadoxFoldersOfTheSampleData) {
    const QString samples = QStringLiteral(MORVANE_DEMO_DATA);
    if (!QDir(samples + "/dbase").exists() || !QDir(samples + "/paradox").exists())
        GTEST_SKIP() << "no dBASE or Paradox sample folder in " << samples.toStdString();
    // One table each (the folder is the database): the wizard opens on the output step,
    // which it does only once the table opened (else the engine's report is shown).
    EXPECT_EQ(WizardSources(samples + "/dbase", 2, "Customers.dbf").value(0), "opened on step 1");
    EXPECT_EQ(WizardSources(samples + "/paradox", 1, "Orders.db").value(0), "opened on step 1");
}

TEST_F(frmTestSourcesTest, AccessEntryOpensAJetFile) {
    const QString fixtures =
        QDir::cleanPath(QStringLiteral(MORVANE_SOURCE_DIR "/../shared/fixtures/jet"));
    if (!QFile::exists(fixtures + "/testV1997.mdb"))
        GTEST_SKIP() << "Jet fixtures not found in " << fixtures.toStdString();
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(fixtures + "/testV1997.mdb", folder.filePath("testV1997.mdb")));
    const QStringList tables = WizardSources(folder.path(), 0, "testV1997.mdb").filter("table ");
    EXPECT_FALSE(tables.isEmpty());
    for (const QString& table : tables) EXPECT_FALSE(table.startsWith("table MSys"));
}

}  // namespace
}  // namespace morvane::demo
