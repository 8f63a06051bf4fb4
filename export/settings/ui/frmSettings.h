// frmSettings: the "Export Settings" dialog. It lists the settings stored in the settings
// file and opens one into the window that showed it (which then shows the setting) or
// deletes one after confirmation. One dialog exists per process, made on first use
// (Instance) and given the calling window each time through SetCaller.
//
// Usage:
//   frmSettings& dialog = frmSettings::Instance();
//   dialog.SetCaller(&wizard);      // the SettingsHost the dialog acts on
//   dialog.exec();
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmSettings;
}

namespace morvane {

class SettingsHost;

class frmSettings : public QDialog {
    Q_OBJECT

  public:
    explicit frmSettings(QWidget* parent = nullptr);
    ~frmSettings() override;

    //! The dialog of this process, created on first use.
    static frmSettings& Instance();

    //! The window the dialog acts on. REQUIRES: before the dialog is shown.
    void SetCaller(SettingsHost* myCaller) { caller_ = myCaller; }

  public slots:
    void BtnOpen_Click();
    void BtnDelete_Click();
    void BtnCancel_Click();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void FillList();
    void UpdateButtons();
    QString SelectedName() const;

    std::unique_ptr<Ui::frmSettings> ui_;
    SettingsHost* caller_ = nullptr;
};

}  // namespace morvane
