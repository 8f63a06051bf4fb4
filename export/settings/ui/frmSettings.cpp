#include "export/settings/ui/frmSettings.h"

#include "ui_frmSettings.h"

#include "export/common/ErrorReport.h"
#include "export/common/Prompter.h"
#include "export/common/ui/CenterForm.h"
#include "export/engine/ExportCaller.h"
#include "export/wizard/ExportSession.h"
#include "export/wizard/SettingsHost.h"

#include <QPointer>

namespace morvane {

frmSettings::frmSettings(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::frmSettings>()) {
    ui_->setupUi(this);
    setModal(true);
    connect(ui_->BtnOpen, &QPushButton::clicked, this, &frmSettings::BtnOpen_Click);
    connect(ui_->BtnDelete, &QPushButton::clicked, this, &frmSettings::BtnDelete_Click);
    connect(ui_->BtnCancel, &QPushButton::clicked, this, &frmSettings::BtnCancel_Click);
    connect(ui_->LBoxSettings, &QListWidget::itemDoubleClicked, this, &frmSettings::BtnOpen_Click);
}

frmSettings::~frmSettings() = default;

frmSettings& frmSettings::Instance() {
    // Lives as long as the library, never destroyed by a static destructor (after the
    // application object). The guarded pointer brings it back should a host delete it, as
    // a host that deletes every top-level widget does.
    static QPointer<frmSettings> dialog;
    if (dialog.isNull()) dialog = new frmSettings();
    return *dialog;
}

void frmSettings::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterForm(this);
    // The list is read afresh every time the dialog is shown, so settings saved since its
    // last showing are listed.
    FillList();
}

void frmSettings::FillList() {
    ui_->LBoxSettings->clear();
    QStringList names;
    if (caller_) caller_->Session().ListSettings(names);
    ui_->LBoxSettings->addItems(names);
    if (ui_->LBoxSettings->count() > 0) ui_->LBoxSettings->setCurrentRow(0);
    UpdateButtons();
}

void frmSettings::UpdateButtons() {
    const bool any = ui_->LBoxSettings->count() > 0;
    ui_->BtnOpen->setEnabled(any);
    ui_->BtnDelete->setEnabled(any);
}

QString frmSettings::SelectedName() const {
    const QListWidgetItem* item = ui_->LBoxSettings->currentItem();
    return item ? item->text() : QString();
}

void frmSettings::BtnOpen_Click() {
    if (!caller_ || !ui_->LBoxSettings->currentItem()) return;
    ExportSession& session = caller_->Session();
    session.SetSettingName(SelectedName());
    if (!session.ReadSetting()) return;  // already reported; the wizard holds the defaults
    if (!caller_->Title().isEmpty())
        caller_->SetTitle(session.Caller()->ExportCaption() + QStringLiteral(" - ") +
                          session.SettingName());
    caller_->RefreshFromSetting();
    accept();
}

void frmSettings::BtnDelete_Click() {
    if (!caller_ || !ui_->LBoxSettings->currentItem()) return;
    ExportSession& session = caller_->Session();
    const QString name = SelectedName();
    const MsgResult answer = session.GetPrompter().MsgBox(
        QStringLiteral("Are you sure that you want to delete the setting '") + name +
            QStringLiteral("' ?"),
        MsgButtons::OKCancel, MsgIcon::None, QStringLiteral("Confirmation"));
    if (answer != MsgResult::OK) return;
    try {
        session.DeleteSetting(name);
    } catch (const std::exception& error) {
        // The file could not be rewritten: the setting is still stored, so it stays listed.
        ShowError(session.GetPrompter(), error);
        return;
    }
    delete ui_->LBoxSettings->takeItem(ui_->LBoxSettings->currentRow());
    if (ui_->LBoxSettings->count() > 0) ui_->LBoxSettings->setCurrentRow(0);
    UpdateButtons();
    if (name == session.SettingName() && !caller_->Title().isEmpty())
        caller_->SetTitle(session.Caller()->ExportCaption());
}

void frmSettings::BtnCancel_Click() {
    reject();
}

}  // namespace morvane
