// frmAdvanced: the "Advanced parameters" dialog of the wizard's output step: record
// separator, upper case and OEM conversion, and the record range. It shows and edits an
// AdvancedOptions; the wizard writes them into its setting only after OK.
//
// Usage:
//   frmAdvanced dialog(AdvancedOptions::FromSetting(setting), wizard);
//   if (dialog.exec() == QDialog::Accepted) dialog.Options().WriteTo(setting);
#pragma once

#include "export/wizard/AdvancedOptions.h"

#include <QDialog>
#include <memory>

namespace Ui {
class frmAdvanced;
}

namespace morvane {

class frmAdvanced : public QDialog {
    Q_OBJECT

  public:
    explicit frmAdvanced(const AdvancedOptions& options, QWidget* parent = nullptr);
    ~frmAdvanced() override;

    //! The options as the boxes hold them (after OK, with OK's rules applied).
    AdvancedOptions Options() const;

  public slots:
    void bntOK_Click();
    void bntCancel_Click();

  private:
    void ShowOptions(const AdvancedOptions& options);
    void CBoxAllExport_Click();

    std::unique_ptr<Ui::frmAdvanced> ui_;
};

}  // namespace morvane
