// The settings dialog and the save prompt, offscreen, over a widget-free window stand-in.
#include "export/settings/ui/frmSettings.h"
#include "export/wizard/SettingsHost.h"
#include "tests/settings/SettingsTestSupport.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace morvane::test {
namespace {

//! The wizard as the dialogs see it: a title, the session and a refresh counter.
class FakeWizard : public SettingsHost {
  public:
    explicit FakeWizard(ExportSession& session) : session_(session) {}
    ExportSession& Session() override { return session_; }
    QString Title() const override { return title; }
    void SetTitle(const QString& value) override { title = value; }
    void RefreshFromSetting() override { ++refreshes; }

    QString title = QStringLiteral("Export");
    int refreshes = 0;

  private:
    ExportSession& session_;
};

class frmSettingsTest : public SettingsTest {
  protected:
    void SetUp() override {
        SettingsTest::SetUp();
        CustomersSource();
        caller_.Properties.ExportCaption = "Export";
        WriteIni(
            "[settings]\nMonthly=\nOld=\nWeekly=\n\n[Monthly]\nTypeFormat=1\nNbFields=1\n"
            "Field0=City\nSize0=3\n\n[Old]\nNbFields=1\nField0=Phone\n\n[Weekly]\n"
            "Separator=3\n");
        wizard = std::make_unique<FakeWizard>(*session_);
        dialog_.SetCaller(wizard.get());
    }

    QListWidget* List() { return dialog_.findChild<QListWidget*>("LBoxSettings"); }
    QPushButton* Button(const char* name) { return dialog_.findChild<QPushButton*>(name); }
    QStringList Listed() {
        QStringList names;
        for (int row = 0; row < List()->count(); ++row) names << List()->item(row)->text();
        return names;
    }
    void Select(const QString& name) {
        List()->setCurrentItem(List()->findItems(name, Qt::MatchExactly).value(0));
    }

    std::unique_ptr<FakeWizard> wizard;
    frmSettings dialog_;
};

TEST_F(frmSettingsTest, ShowsTheStoredNamesWithTheFirstSelected) {
    dialog_.show();
    EXPECT_EQ(dialog_.windowTitle(), "Export Settings");
    EXPECT_EQ(Button("BtnOpen")->text(), "Open");
    EXPECT_EQ(Button("BtnDelete")->text(), "Delete");
    EXPECT_EQ(Button("BtnCancel")->text(), "Close");
    EXPECT_TRUE(dialog_.findChild<QWidget*>("Label1")->property("text").toString() ==
                "Available settings");
    EXPECT_EQ(Listed(), QStringList({"Monthly", "Old", "Weekly"}));
    EXPECT_EQ(List()->currentRow(), 0);
    EXPECT_TRUE(Button("BtnOpen")->isEnabled());
    EXPECT_TRUE(Button("BtnDelete")->isEnabled());

    dialog_.hide();
    WriteIni("[settings]\nDefaultOne=\n");  // the list is read afresh on every showing
    dialog_.show();
    EXPECT_TRUE(Listed().isEmpty());
    EXPECT_FALSE(Button("BtnOpen")->isEnabled());
    EXPECT_FALSE(Button("BtnDelete")->isEnabled());
}

TEST_F(frmSettingsTest, OpenLoadsTheSettingAndCloses) {
    dialog_.show();
    Select("Monthly");
    QTest::mouseClick(Button("BtnOpen"), Qt::LeftButton);
    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_EQ(session_->SettingName(), "Monthly");
    EXPECT_EQ(session_->Setting().TypeFormat, 1);
    EXPECT_EQ(session_->Lists().Selected().Names(), QStringList({"City"}));
    EXPECT_EQ(session_->Setting().Size[2], 3);
    EXPECT_EQ(wizard->title, "Export - Monthly");
    EXPECT_EQ(wizard->refreshes, 1);

    // An empty title stays empty; a double click opens too.
    wizard->title.clear();
    dialog_.show();
    Select("Weekly");
    emit List()->itemDoubleClicked(List()->currentItem());
    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_EQ(session_->Setting().SeparatorChar, QChar('\t'));
    EXPECT_TRUE(wizard->title.isEmpty());
    EXPECT_EQ(wizard->refreshes, 2);
}

TEST_F(frmSettingsTest, IncompatibleSettingKeepsTheDialogOpen) {
    dialog_.show();
    Select("Old");
    Button("BtnOpen")->click();
    EXPECT_TRUE(dialog_.isVisible());
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "This setting is incompatible with current table : Customers");
    EXPECT_EQ(wizard->title, "Export");
    EXPECT_EQ(wizard->refreshes, 0);
    EXPECT_EQ(session_->Lists().Selected().Names(), QStringList({"CustomerID", "Name", "City"}));
}

TEST_F(frmSettingsTest, DeleteAsksAndUpdatesListButtonsAndTitle) {
    session_->SetSettingName("Old");
    wizard->title = "Export - Old";
    dialog_.show();
    Select("Old");
    prompter_.QueueMsgBoxAnswer(MsgResult::Cancel);
    Button("BtnDelete")->click();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Are you sure that you want to delete the setting 'Old' ?");
    EXPECT_EQ(Boxes()[0].title, "Confirmation");
    EXPECT_EQ(Boxes()[0].buttons, MsgButtons::OKCancel);
    EXPECT_EQ(Listed(), QStringList({"Monthly", "Old", "Weekly"}));
    EXPECT_TRUE(IniText().contains("[Old]"));

    prompter_.QueueMsgBoxAnswer(MsgResult::OK);
    Button("BtnDelete")->click();
    EXPECT_EQ(Listed(), QStringList({"Monthly", "Weekly"}));
    EXPECT_EQ(List()->currentRow(), 0);
    EXPECT_FALSE(IniText().contains("Old"));
    EXPECT_EQ(wizard->title, "Export");
    EXPECT_EQ(session_->SettingName(), "Old");  // a later save stores under it again

    for (int left = 1; left >= 0; --left) {
        prompter_.QueueMsgBoxAnswer(MsgResult::OK);
        Button("BtnDelete")->click();
        EXPECT_EQ(List()->count(), left);
        EXPECT_EQ(Button("BtnOpen")->isEnabled(), left > 0);
        EXPECT_EQ(Button("BtnDelete")->isEnabled(), left > 0);
    }
    EXPECT_EQ(IniText(), "[settings]\r\n\r\n");
    EXPECT_EQ(wizard->title, "Export");  // the others were not the open setting
    EXPECT_TRUE(dialog_.isVisible());
}

TEST_F(frmSettingsTest, CloseAndEscapeClose) {
    dialog_.show();
    Button("BtnCancel")->click();
    EXPECT_FALSE(dialog_.isVisible());
    dialog_.show();
    QTest::keyClick(List(), Qt::Key_Escape);
    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_EQ(session_->SettingName(), "");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(frmSettingsTest, SavePrompt) {
    struct Case {
        std::optional<QString> answer;
        bool saved;
        const char* refusal;  // "" when no refusal is shown
    };
    const Case cases[] = {
        {std::nullopt, false, ""},
        {QString(), false, ""},
        {QString("general"), false, "The setting name \"general\" cannot be used"},
        {QString("a=b"), false, "The setting name \"a=b\" cannot be used"},
        {QString("Monthly"), true, ""},
        {QString("New one"), true, ""}};
    session_->SetSettingName("Monthly");
    for (const Case& c : cases) {
        prompter_.ClearRecords();
        const QString before = session_->SettingName();
        const QString titleBefore = wizard->title;
        prompter_.QueueInputAnswer(c.answer);
        EXPECT_EQ(PromptSaveSetting(*wizard), c.saved);
        const auto inputs = prompter_.RecordsOf(ScriptedPrompter::Kind::InputBox);
        ASSERT_EQ(inputs.size(), 1u);
        EXPECT_EQ(inputs[0].text, "Type in the name of the setting:");
        EXPECT_EQ(inputs[0].title, "Save Setting");
        EXPECT_EQ(inputs[0].defaultText, before);
        EXPECT_EQ(Boxes().size(), *c.refusal ? 1u : 0u);
        if (*c.refusal) {
            EXPECT_TRUE(Boxes()[0].text.startsWith(QLatin1String(c.refusal)));
        }
        if (!c.saved) {
            EXPECT_EQ(session_->SettingName(), before);
            EXPECT_EQ(wizard->title, titleBefore);
            continue;
        }
        EXPECT_EQ(session_->SettingName(), *c.answer);
        EXPECT_EQ(wizard->title, "Export - " + *c.answer);
        // Saved without asking, replacing the stored one: the defaults' three fields.
        EXPECT_TRUE(IniText().contains("[" + *c.answer + "]\r\nTypeFormat=0\r\n"));
        EXPECT_TRUE(IniText().contains("Field2=City"));
    }
    EXPECT_FALSE(IniText().contains("[general]"));
    QStringList names;
    session_->ListSettings(names);
    EXPECT_EQ(names, QStringList({"Monthly", "Old", "Weekly", "New one"}));

    wizard->title.clear();  // an empty title stays empty
    prompter_.QueueInputAnswer(QString("Weekly"));
    EXPECT_TRUE(PromptSaveSetting(*wizard));
    EXPECT_TRUE(wizard->title.isEmpty());
}

}  // namespace
}  // namespace morvane::test
