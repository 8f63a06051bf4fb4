// The demo window offscreen with the real control from its plugin: the file list per entry,
// the properties an export sets (read back from the control), the caption, and the kinds
// the wizard it opens leaves out.
#include "demo/ControlPlugin.h"
#include "demo/frmTest.h"
#include "tests/wizard/ui/WizardDriver.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
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
