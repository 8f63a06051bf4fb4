#include "export/wizard/ui/frmAdvanced.h"

#include "ui_frmAdvanced.h"

#include "export/common/ui/CenterForm.h"
#include "export/wizard/ui/DigitKeyFilter.h"

namespace morvane {

frmAdvanced::frmAdvanced(const AdvancedOptions& options, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::frmAdvanced>()) {
    ui_->setupUi(this);
    setModal(true);
    DigitKeyFilter::Install(ui_->EdtStartLine);
    connect(ui_->bntOK, &QPushButton::clicked, this, &frmAdvanced::bntOK_Click);
    connect(ui_->bntCancel, &QPushButton::clicked, this, &frmAdvanced::bntCancel_Click);
    connect(ui_->CBoxAllExport, &QCheckBox::toggled, this, &frmAdvanced::CBoxAllExport_Click);
    connect(ui_->RBtnOther, &QRadioButton::toggled, this, [this](bool on) {
        if (on && isVisible()) ui_->EdtOtherChar->setFocus();
    });
    ShowOptions(options);
    CenterForm(this);
}

frmAdvanced::~frmAdvanced() = default;

void frmAdvanced::ShowOptions(const AdvancedOptions& options) {
    QRadioButton* const separators[] = {ui_->RBtnCRLF, ui_->RBtnCR, ui_->RBtnLF, ui_->RBtnOther,
                                        ui_->RBtnNoSeparator};
    if (options.RecordSeparator >= 0 && options.RecordSeparator < 5)
        separators[options.RecordSeparator]->setChecked(true);
    ui_->EdtOtherChar->setText(options.OtherChar);
    ui_->FrameRecSep->setEnabled(options.SeparatorEnabled);
    ui_->CBoxUpper->setChecked(options.Upper);
    ui_->CBoxAnsi2Oem->setChecked(options.Ansi2Oem);
    ui_->CBoxAllExport->setChecked(options.ExportAll);
    ui_->EdtNbLineMax->setText(options.NbLineMax);
    ui_->EdtStartLine->setText(options.StartLine);
    CBoxAllExport_Click();
}

void frmAdvanced::CBoxAllExport_Click() {
    const bool count = !ui_->CBoxAllExport->isChecked();
    ui_->EdtNbLineMax->setEnabled(count);
    ui_->LblNbLinesToExport->setEnabled(count);
    if (count && isVisible()) ui_->EdtNbLineMax->setFocus();
}

AdvancedOptions frmAdvanced::Options() const {
    AdvancedOptions options;
    // Read in the order CRLF, LF, CR, no separator; anything else is "Other:".
    if (ui_->RBtnCRLF->isChecked())
        options.RecordSeparator = 0;
    else if (ui_->RBtnLF->isChecked())
        options.RecordSeparator = 2;
    else if (ui_->RBtnCR->isChecked())
        options.RecordSeparator = 1;
    else if (ui_->RBtnNoSeparator->isChecked())
        options.RecordSeparator = 4;
    else
        options.RecordSeparator = 3;
    options.OtherChar = ui_->EdtOtherChar->text();
    options.Upper = ui_->CBoxUpper->isChecked();
    options.Ansi2Oem = ui_->CBoxAnsi2Oem->isChecked();
    options.ExportAll = ui_->CBoxAllExport->isChecked();
    options.StartLine = ui_->EdtStartLine->text();
    options.NbLineMax = ui_->EdtNbLineMax->text();
    options.SeparatorEnabled = ui_->FrameRecSep->isEnabled();
    return options;
}

void frmAdvanced::bntOK_Click() {
    AdvancedOptions options = Options();
    options.ApplyOkRules();
    ui_->EdtStartLine->setText(options.StartLine);
    ui_->CBoxAllExport->setChecked(options.ExportAll);
    accept();
}

void frmAdvanced::bntCancel_Click() {
    reject();
}

}  // namespace morvane
