// frmMorvane: the export wizard window, a view over an ExportSession. The session runs the
// opening sequence and calls PrepareView and ShowModal; every handler here edits the
// session's setting and field lists through the session and then calls the refresh
// routines (UpdateStepButtons, UpdateFieldsListsButtons, UpdateControls, UpdatePreview).
// Widgets carry the objectNames hosts and tests find them by (BtnNext, LBoxSelFields,
// FrameSteps_0 .. FrameSteps_5, CommonDialog1, ...).
//
// Usage (what the control's Execute does):
//   frmMorvane wizard(session, hostWindow);
//   session.SetView(&wizard);
//   session.ShowWizard();
#pragma once

#include "export/wizard/FieldWidths.h"
#include "export/wizard/WizardView.h"

#include <QDialog>
#include <memory>

class QFileDialog;
class QListWidget;

namespace Ui {
class frmMorvane;
}

namespace morvane {

class FieldList;

class frmMorvane : public QDialog, public WizardView {
    Q_OBJECT

  public:
    frmMorvane(ExportSession& session, QWidget* parent = nullptr);
    ~frmMorvane() override;

    // SettingsHost
    ExportSession& Session() override { return session_; }
    QString Title() const override;
    void SetTitle(const QString& title) override;
    void RefreshFromSetting() override;

    // WizardView
    void PrepareView() override;
    void ShowModal(const QString& caption) override;

    //! The one file dialog of both browse buttons.
    QFileDialog* CommonDialog1() const { return commonDialog_; }

    // Refresh routines.
    void UpdateControls();
    void UpdateStepButtons();
    void UpdateFieldsListsButtons();
    //! Shows the preview of the current kind: text, or the grid of values.
    void UpdatePreview();
    //! Counts the source and gives the grid a row per record to preview.
    void AdjustPreviewGrid();

  public slots:
    void BtnNext_Click();
    void BtnPrev_Click();
    void BtnFinish_Click();
    void BtnCancel_Click();
    void BtnSaveSetting_Click();
    void BtnSettings_Click();
    void BtnBrowseFiles_Click();
    void Command3_Click();
    void CBoxTables_Click();
    void CBoxTypeFormat_Click();
    void EdtFileName_Change();
    void CBoxFieldNames_Click();
    void CBoxHtmlFieldNames_Click();
    void CBoxHtmlTableName_Click();
    void IncludeBtn_Click();
    void ExcludeBtn_Click();
    void IncAllBtn_Click();
    void ExAllBtn_Click();
    void BtnTop_Click();
    void BtnUp_Click();
    void BtnDown_Click();
    void BtnBottom_Click();
    void LBoxSelFields_Click();
    void LBoxFixedFields_Click();
    void MEdtSize_Change();
    void EdtSizeScroll_Change();
    void BtnDefaultField_Click();
    void BtnDefaultAll_Click();
    void BtnAdvanced_Click();

  private:
    void WireHandlers();
    FieldWidths Widths();
    QString SelectedFixedField() const;
    //! The handler wrapped so that any exception it lets out (from the engine or from a
    //! host's event handler) is reported instead of unwinding through the event loop.
    template <typename Handler>
    auto Guarded(Handler handler);
    void ShowStep();
    //! The width list of the fixed-width step, rebuilt from the selected fields.
    void RefreshWidthList();
    //! Copies the list widgets' selection and focus into the session's lists.
    void ReadListSelection();
    //! Shows the session's lists (entries, selection, focus) in the list widgets.
    void ShowLists();
    void ShowList(QListWidget* widget, const FieldList& list);
    //! The enabled states of the eight list buttons.
    void ShowListButtons();
    //! Runs one list operation of the field-choice step and refreshes what it changes.
    template <typename Operation>
    void RunListOperation(Operation operation);
    //! Runs a file dialog; answers the chosen file and sets *filterEntry (1-based) to the
    //! filter left selected. Empty when cancelled.
    QString RunFileDialog(bool save, const QStringList& filters, int preselected,
                          const QString& initial, int* filterEntry);

    std::unique_ptr<Ui::frmMorvane> ui_;
    ExportSession& session_;
    QFileDialog* commonDialog_ = nullptr;
    //! True while the form mirrors state into widgets, so their change signals do not
    //! write the same state back.
    bool mirroring_ = false;
};

}  // namespace morvane
