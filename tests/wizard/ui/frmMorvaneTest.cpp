// The export wizard as a user drives it: the control's Execute opens the real form
// offscreen, and the tests click its widgets, found by objectName.
#include "export/control/ui/Morvane.h"
#include "export/settings/ui/frmSettings.h"
#include "tests/wizard/SessionTestSupport.h"
#include "tests/wizard/ui/WizardDriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTest>

namespace morvane::test {
namespace {

class frmMorvaneTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        CreateSource({{"Id", dbLong}, {"Name", dbText, 20}, {"City", dbText, 20}},
                     {{1, "Ann", "Bern"}, {2, "Bob", "Genf"}});
        CreateTable(SourcePath(), QStringLiteral("Orders"), {{"No", dbLong}}, {{7}});
        control_.SetPrompter(&prompter_);
        control_.SetDataBaseName(SourcePath());
        control_.SetIniFile(PathOf(QStringLiteral("settings.ini")));
        control_.SetExportFile(OutPath());
        control_.SetExportCaption(QStringLiteral("Export"));
        control_.SetShowProgress(false);
        control_.SetShowSummary(false);
        control_.SetMultiTable(true);
    }

    bool Run(const std::function<void(QDialog*)>& script) {
        return RunWizard([this] { control_.Execute(); }, script);
    }

    static int Step(QDialog* wizard) {
        return Child<QStackedWidget>(wizard, "FrameSteps")->currentIndex();
    }
    static void Click(QDialog* wizard, const char* button) {
        QTest::mouseClick(Child<QPushButton>(wizard, button), Qt::LeftButton);
    }
    static bool Enabled(QDialog* wizard, const char* name) {
        return Child<QWidget>(wizard, name)->isEnabled();
    }
    static void ChooseKind(QDialog* wizard, int kind) {
        auto* kinds = Child<QComboBox>(wizard, "CBoxTypeFormat");
        kinds->setCurrentIndex(kinds->findData(kind));
    }
    static QStringList Items(QDialog* wizard, const char* list) {
        QStringList names;
        auto* widget = Child<QListWidget>(wizard, list);
        for (int row = 0; row < widget->count(); ++row) names << widget->item(row)->text();
        return names;
    }

    Morvane control_;
};

TEST_F(frmMorvaneTest, NextAndBackWalkEachKindsPath) {
    struct Case {
        int kind;
        QVector<int> path;
    };
    const Case cases[] = {{0, {0, 1, 2, 5}}, {1, {0, 1, 3, 5}}, {3, {0, 1, 4, 5}},
                          {2, {0, 1, 5}},    {4, {0, 1, 5}},    {19, {0, 1, 5}}};
    for (const Case& c : cases) {
        const bool shown = Run([&](QDialog* wizard) {
            EXPECT_EQ(wizard->windowTitle(), "Export");
            EXPECT_FALSE(Enabled(wizard, "BtnPrev"));
            EXPECT_FALSE(Child<QPushButton>(wizard, "BtnSettings2")->isVisibleTo(wizard));
            for (int at = 1; at < c.path.size(); ++at) {
                if (c.path[at - 1] == 1) ChooseKind(wizard, c.kind);
                Click(wizard, "BtnNext");
                EXPECT_EQ(Step(wizard), c.path[at]) << "kind " << c.kind;
            }
            EXPECT_FALSE(Enabled(wizard, "BtnNext"));
            for (int at = c.path.size() - 2; at >= 0; --at) {
                Click(wizard, "BtnPrev");
                EXPECT_EQ(Step(wizard), c.path[at]) << "kind " << c.kind;
            }
        });
        EXPECT_TRUE(shown);
    }
}

TEST_F(frmMorvaneTest, SingleTableModeStartsOnTheOutputStep) {
    control_.SetMultiTable(false);
    control_.SetTableName(QStringLiteral("Orders"));
    EXPECT_TRUE(Run([&](QDialog* wizard) {
        EXPECT_EQ(Step(wizard), 1);
        EXPECT_FALSE(Enabled(wizard, "BtnPrev"));
        EXPECT_TRUE(Child<QPushButton>(wizard, "BtnSettings2")->isVisibleTo(wizard));
        EXPECT_EQ(Items(wizard, "LBoxSelFields"), QStringList({"No"}));
        // An empty file name holds Next back; Finish stays available.
        Child<QLineEdit>(wizard, "EdtFileName")->clear();
        EXPECT_FALSE(Enabled(wizard, "BtnNext"));
        EXPECT_TRUE(Enabled(wizard, "BtnFinish"));
    }));
}

TEST_F(frmMorvaneTest, OutputKindFitsTheFileNameAndBrowseCaption) {
    EXPECT_TRUE(Run([&](QDialog* wizard) {
        auto* name = Child<QLineEdit>(wizard, "EdtFileName");
        auto* browse = Child<QPushButton>(wizard, "BtnBrowseFiles");
        EXPECT_EQ(name->text(), OutPath());
        ChooseKind(wizard, 3);
        EXPECT_EQ(name->text(), PathOf("out.html"));
        ChooseKind(wizard, 15);
        EXPECT_EQ(name->text(), PathOf("out."));
        EXPECT_EQ(browse->text(), "Datasource...");
        ChooseKind(wizard, 0);
        EXPECT_EQ(name->text(), OutPath());
        EXPECT_EQ(browse->text(), "Browse...");
    }));
}

TEST_F(frmMorvaneTest, HiddenKindsAreNotOffered) {
    QObject::connect(&control_, &Morvane::FilterType,
                     [](short kind, bool& hide) { hide = kind == 3 || kind == 4; });
    EXPECT_TRUE(Run([&](QDialog* wizard) {
        auto* kinds = Child<QComboBox>(wizard, "CBoxTypeFormat");
        EXPECT_EQ(kinds->count(), 21);
        EXPECT_EQ(kinds->itemText(3), "Paradox 3.x");
        EXPECT_EQ(kinds->itemData(3).toInt(), 5);
        EXPECT_EQ(kinds->itemText(0), "Variable length records (delimited fields)");
    }));
}

TEST_F(frmMorvaneTest, FieldButtonsMoveAndOrderTheLists) {
    EXPECT_TRUE(Run([&](QDialog* wizard) {
        auto* selected = Child<QListWidget>(wizard, "LBoxSelFields");
        EXPECT_EQ(Items(wizard, "LBoxSelFields"), QStringList({"Id", "Name", "City"}));
        selected->item(0)->setSelected(true);
        selected->item(2)->setSelected(true);
        Click(wizard, "ExcludeBtn");
        EXPECT_EQ(Items(wizard, "LBoxAvailFields"), QStringList({"City", "Id"}));
        EXPECT_EQ(Items(wizard, "LBoxSelFields"), QStringList({"Name"}));
        EXPECT_TRUE(selected->item(0)->isSelected());
        EXPECT_FALSE(Enabled(wizard, "BtnUp"));
        EXPECT_FALSE(Enabled(wizard, "BtnDown"));

        Click(wizard, "IncAllBtn");
        EXPECT_EQ(Items(wizard, "LBoxSelFields"), QStringList({"Name", "City", "Id"}));
        EXPECT_FALSE(Enabled(wizard, "IncludeBtn"));
        selected->clearSelection();
        selected->item(2)->setSelected(true);
        EXPECT_TRUE(Enabled(wizard, "BtnTop"));
        Click(wizard, "BtnTop");
        EXPECT_EQ(Items(wizard, "LBoxSelFields"), QStringList({"Id", "Name", "City"}));

        Click(wizard, "ExAllBtn");
        EXPECT_TRUE(Items(wizard, "LBoxSelFields").isEmpty());
        EXPECT_FALSE(Enabled(wizard, "BtnFinish"));
        EXPECT_FALSE(Enabled(wizard, "BtnSaveSetting"));
    }));
}

TEST_F(frmMorvaneTest, FinishWritesTheBatchBytesAndRemembersTheFile) {
    control_.SetQuitAfterExport(false);
    EXPECT_TRUE(Run([&](QDialog* wizard) {
        Click(wizard, "BtnNext");
        Click(wizard, "BtnNext");
        ASSERT_EQ(Step(wizard), 2);
        QTest::mouseClick(Child<QRadioButton>(wizard, "RBtnSemicolon"), Qt::LeftButton);
        Child<QCheckBox>(wizard, "CBoxFieldNames")->setChecked(true);
        prompter_.QueueInputAnswer(QString("Semi"));
        Click(wizard, "BtnSaveSetting");
        EXPECT_EQ(wizard->windowTitle(), "Export - Semi");
        Click(wizard, "BtnFinish");
        // Not closed: back on the first step with the setting kept.
        EXPECT_TRUE(wizard->isVisible());
        EXPECT_EQ(Step(wizard), 0);
        EXPECT_TRUE(Child<QRadioButton>(wizard, "RBtnSemicolon")->isChecked());
        QTest::keyClick(wizard, Qt::Key_Escape);
        EXPECT_FALSE(wizard->isVisible());
    }));
    EXPECT_EQ(ReadBytes(OutPath()),
              "\"Id\";\"Name\";\"City\"\r\n1;\"Ann\";\"Bern\"\r\n2;\"Bob\";\"Genf\"\r\n");
    EXPECT_TRUE(ReadBytes(PathOf("settings.ini")).contains("LastFile=" + OutPath().toUtf8()));

    // The saved setting replayed by the batch run writes the same bytes.
    const QString batchOut = PathOf("batch.txt");
    control_.SetExportFile(batchOut);
    control_.SetTableName(QStringLiteral("Customers"));
    control_.BatchExport(QStringLiteral("Semi"));
    EXPECT_EQ(ReadBytes(batchOut), ReadBytes(OutPath()));
}

TEST_F(frmMorvaneTest, FinishClosesWithQuitAfterExport) {
    control_.SetQuitAfterExport(true);
    control_.SetExportFile(QString());
    EXPECT_TRUE(Run([&](QDialog* wizard) {
        Child<QLineEdit>(wizard, "EdtFileName")->setText(OutPath());
        Click(wizard, "BtnFinish");
        EXPECT_FALSE(wizard->isVisible());
    }));
    EXPECT_EQ(ReadBytes(OutPath()), "1,\"Ann\",\"Bern\"\r\n2,\"Bob\",\"Genf\"\r\n");
    EXPECT_TRUE(control_.LastOutcome().Completed);
    // The next opening proposes the remembered file.
    EXPECT_TRUE(Run([&](QDialog* wizard) {
        EXPECT_EQ(Child<QLineEdit>(wizard, "EdtFileName")->text(), OutPath());
    }));
}

TEST_F(frmMorvaneTest, BrowseSetsTheFileAndTheFiltersKind) {
    QObject::connect(&control_, &Morvane::FilterType,
                     [](short kind, bool& hide) { hide = kind == 19 || kind == 18; });
    EXPECT_TRUE(Run([&](QDialog* wizard) {
        Click(wizard, "BtnNext");
        // Cancelling changes nothing.
        WhenModalOpens([](QDialog* dialog) {
            EXPECT_EQ(dialog->objectName(), "CommonDialog1");
            dialog->reject();
        });
        Click(wizard, "BtnBrowseFiles");
        EXPECT_EQ(Child<QLineEdit>(wizard, "EdtFileName")->text(), OutPath());

        const QString chosen = PathOf("sheet.txt");
        WhenModalOpens([&](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            ASSERT_NE(files, nullptr);
            EXPECT_EQ(files->selectedNameFilter(), "Text Files (*.txt;*.csv)");
            files->selectNameFilter("Excel (*.xls)");
            files->findChild<QLineEdit*>("fileNameEdit")->setText("sheet.txt");
            EXPECT_EQ(files->selectedFiles(), QStringList({chosen}));
            QMetaObject::invokeMethod(files, "accept");
        });
        Click(wizard, "BtnBrowseFiles");
        auto* kinds = Child<QComboBox>(wizard, "CBoxTypeFormat");
        EXPECT_EQ(kinds->currentData().toInt(), 17);  // Excel 4.0: 5.0 and 97 are hidden
        EXPECT_EQ(Child<QLineEdit>(wizard, "EdtFileName")->text(), PathOf("sheet.xls"));
    }));
}

TEST_F(frmMorvaneTest, ChoosingAnotherTableKeepsTheKind) {
    EXPECT_TRUE(Run([&](QDialog* wizard) {
        auto* tables = Child<QComboBox>(wizard, "CBoxTables");
        EXPECT_EQ(tables->count(), 2);
        EXPECT_EQ(tables->itemData(1).toInt(), 0);
        ChooseKind(wizard, 1);
        tables->setCurrentIndex(1);
        EXPECT_EQ(Items(wizard, "LBoxSelFields"), QStringList({"No"}));
        EXPECT_EQ(Child<QComboBox>(wizard, "CBoxTypeFormat")->currentData().toInt(), 1);
    }));
    EXPECT_EQ(control_.TableName(), "Customers");
}

TEST_F(frmMorvaneTest, SettingsDialogOpensASavedSetting) {
    WriteBytes(PathOf("settings.ini"),
               "[settings]\r\nCities=\r\n\r\n[Cities]\r\nTypeFormat=3\r\nNbFields=1\r\n"
               "Field0=City\r\nHtmlTitle=Town list\r\n");
    EXPECT_TRUE(Run([&](QDialog* wizard) {
        WhenModalOpens([](QDialog* settings) {
            EXPECT_EQ(settings->windowTitle(), "Export Settings");
            QTest::mouseClick(settings->findChild<QPushButton*>("BtnOpen"), Qt::LeftButton);
        });
        Click(wizard, "BtnSettings1");
        EXPECT_EQ(wizard->windowTitle(), "Export - Cities");
        EXPECT_EQ(Items(wizard, "LBoxSelFields"), QStringList({"City"}));
        EXPECT_EQ(Items(wizard, "LBoxAvailFields"), QStringList({"Id", "Name"}));
        EXPECT_EQ(Child<QComboBox>(wizard, "CBoxTypeFormat")->currentData().toInt(), 3);
        EXPECT_EQ(Child<QLineEdit>(wizard, "EdtHtmlPageTitle")->text(), "Town list");
        EXPECT_EQ(Child<QLineEdit>(wizard, "EdtFileName")->text(), PathOf("out.html"));
    }));
}

TEST_F(frmMorvaneTest, AHandlerThatThrowsIsReportedNotPropagated) {
    // While opening: reported, and the wizard does not open.
    auto opening = QObject::connect(&control_, &Morvane::FilterTable,
                                    [](const QString&, bool&) { throw std::runtime_error("x"); });
    EXPECT_FALSE(Run([](QDialog*) {}));
    ASSERT_FALSE(Boxes().empty());
    EXPECT_EQ(Boxes().back().title, "Error");
    QObject::disconnect(opening);

    // With the wizard open: a handler throwing something that is no std::exception while
    // the user browses is reported and the wizard stays usable.
    bool throwing = false;
    QObject::connect(&control_, &Morvane::FilterType, [&](short, bool&) {
        if (throwing) throw 42;
    });
    const size_t before = Boxes().size();
    EXPECT_TRUE(Run([&](QDialog* wizard) {
        Click(wizard, "BtnNext");
        throwing = true;
        WhenModalOpens([](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            files->selectNameFilter("Excel (*.xls)");
            files->findChild<QLineEdit*>("fileNameEdit")->setText("sheet.xls");
            QMetaObject::invokeMethod(files, "accept");
        });
        Click(wizard, "BtnBrowseFiles");
        EXPECT_EQ(Boxes().size(), before + 1);
        EXPECT_TRUE(wizard->isVisible());
        // The kind could not be settled with the host: it stays as it was.
        EXPECT_EQ(Child<QComboBox>(wizard, "CBoxTypeFormat")->currentData().toInt(), 0);
        throwing = false;
        Click(wizard, "BtnNext");
        EXPECT_EQ(Step(wizard), 2);
    }));
}

TEST_F(frmMorvaneTest, ASettingOfAHiddenKindLeavesTheKindListAlone) {
    QObject::connect(&control_, &Morvane::FilterType,
                     [](short kind, bool& hide) { hide = kind == 3; });
    WriteBytes(PathOf("settings.ini"),
               "[settings]\r\nPage=\r\n\r\n[Page]\r\nTypeFormat=3\r\nNbFields=1\r\n"
               "Field0=City\r\n");
    EXPECT_TRUE(Run([&](QDialog* wizard) {
        ChooseKind(wizard, 1);
        WhenModalOpens([](QDialog* settings) {
            QTest::mouseClick(settings->findChild<QPushButton*>("BtnOpen"), Qt::LeftButton);
        });
        Click(wizard, "BtnSettings1");
        EXPECT_EQ(Child<QComboBox>(wizard, "CBoxTypeFormat")->currentData().toInt(), 1);
        EXPECT_EQ(Items(wizard, "LBoxSelFields"), QStringList({"City"}));
    }));
}

TEST_F(frmMorvaneTest, OdbcLogonBuildsTheDestinationOnlyWhenConfirmed) {
    EXPECT_TRUE(Run([&](QDialog* wizard) {
        Click(wizard, "BtnNext");
        ChooseKind(wizard, 15);
        WhenModalOpens([](QDialog* logon) {
            EXPECT_EQ(logon->objectName(), "frmODBCLogon");
            logon->reject();
        });
        Click(wizard, "BtnBrowseFiles");
        EXPECT_TRUE(Child<QLineEdit>(wizard, "EdtFileName")->text().endsWith("out."));  // untouched

        WhenModalOpens([](QDialog* logon) {
            logon->findChild<QLineEdit*>("txtUID")->setText("bob");
            logon->findChild<QLineEdit*>("txtDatabase")->setText("inv");
            QTest::mouseClick(logon->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        });
        Click(wizard, "BtnBrowseFiles");
        const QString caption = Child<QPushButton>(wizard, "BtnBrowseFiles")->text();
        EXPECT_EQ(caption, "Datasource...");
        // What was built is what gets saved with the setting.
        prompter_.QueueInputAnswer(QString("Odbc"));
        Click(wizard, "BtnSaveSetting");
    }));
    const QByteArray ini = ReadBytes(PathOf("settings.ini"));
    EXPECT_TRUE(ini.contains("UID=bob\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("ODBCDB=inv\r\n")) << ini.toStdString();
}

TEST_F(frmMorvaneTest, SettingsDialogComesBackAfterAHostDeletedIt) {
    delete &frmSettings::Instance();  // a host deleting every top-level widget
    EXPECT_TRUE(Run([&](QDialog* wizard) {
        bool opened = false;
        WhenModalOpens([&](QDialog* settings) {
            opened = true;
            settings->reject();
        });
        Click(wizard, "BtnSettings1");
        EXPECT_TRUE(opened);
    }));
}

TEST_F(frmMorvaneTest, WidthBoxTypingSpinningAndDefaults) {
    EXPECT_TRUE(Run([&](QDialog* wizard) {
        Click(wizard, "BtnNext");
        ChooseKind(wizard, 1);
        Click(wizard, "BtnNext");
        ASSERT_EQ(Step(wizard), 3);
        auto* fields = Child<QListWidget>(wizard, "LBoxFixedFields");
        auto* size = Child<QLineEdit>(wizard, "MEdtSize");
        auto* spin = Child<QScrollBar>(wizard, "EdtSizeScroll");
        EXPECT_EQ(Items(wizard, "LBoxFixedFields"), QStringList({"Id", "Name", "City"}));
        EXPECT_EQ(fields->currentRow(), 0);
        fields->setCurrentRow(2);
        EXPECT_EQ(size->text(), "20");
        size->clear();
        QTest::keyClicks(size, "1-a.2");  // only the digits get through
        EXPECT_EQ(size->text(), "12");
        QTest::keyClick(size, Qt::Key_Backspace);
        QTest::keyClick(size, Qt::Key_Backspace);
        EXPECT_EQ(size->text(), "");
        fields->setCurrentRow(0);
        fields->setCurrentRow(2);
        EXPECT_EQ(size->text(), "1");  // the empty box stored nothing
        spin->setValue(-1);            // up arrow
        EXPECT_EQ(size->text(), "2");
        EXPECT_EQ(spin->value(), 0);
        spin->setValue(1);
        spin->setValue(1);
        spin->setValue(1);
        EXPECT_EQ(size->text(), "0");  // never below 0
        QTest::mouseClick(Child<QPushButton>(wizard, "BtnDefaultField"), Qt::LeftButton);
        EXPECT_EQ(size->text(), "20");
        // The preview pads to the widths.
        EXPECT_EQ(Child<QPlainTextEdit>(wizard, "PreviewText")->toPlainText().section('\n', 0, 0),
                  QString("1   Ann                 Bern                "));
        // With no field selected the width controls are disabled.
        Click(wizard, "BtnNext");
        Click(wizard, "ExAllBtn");
        Click(wizard, "BtnPrev");
        EXPECT_FALSE(size->isEnabled());
        EXPECT_FALSE(spin->isEnabled());
        EXPECT_FALSE(Enabled(wizard, "BtnDefaultAll"));
    }));
}

TEST_F(frmMorvaneTest, AdvancedDialogWritesOnlyAfterOk) {
    EXPECT_TRUE(Run([&](QDialog* wizard) {
        Click(wizard, "BtnNext");
        auto* preview = Child<QPlainTextEdit>(wizard, "PreviewText");
        EXPECT_EQ(preview->toPlainText(), "1,\"Ann\",\"Bern\"\n2,\"Bob\",\"Genf\"");
        WhenModalOpens([](QDialog* advanced) {
            EXPECT_EQ(advanced->windowTitle(), "Advanced parameters");
            advanced->findChild<QCheckBox*>("CBoxUpper")->setChecked(true);
            QTest::keyClick(advanced, Qt::Key_Escape);
        });
        Click(wizard, "BtnAdvanced");
        EXPECT_EQ(preview->toPlainText(), "1,\"Ann\",\"Bern\"\n2,\"Bob\",\"Genf\"");

        WhenModalOpens([](QDialog* advanced) {
            advanced->findChild<QCheckBox*>("CBoxUpper")->setChecked(true);
            auto* start = advanced->findChild<QLineEdit*>("EdtStartLine");
            start->clear();
            QTest::keyClicks(start, "x2");
            advanced->findChild<QCheckBox*>("CBoxAllExport")->setChecked(false);
            EXPECT_TRUE(advanced->findChild<QLineEdit*>("EdtNbLineMax")->isEnabled());
            QTest::mouseClick(advanced->findChild<QPushButton*>("bntOK"), Qt::LeftButton);
        });
        Click(wizard, "BtnAdvanced");
        EXPECT_EQ(preview->toPlainText(), "2,\"BOB\",\"GENF\"");
    }));
}

}  // namespace
}  // namespace morvane::test
