// frmProgress: the modal progress window of an export. Shown by the session when the
// control's ShowProgress is True, it runs the export once it is up, shows the record
// counter ("N out of M") and the bar, animates its pictures every 175 ms while the run
// hands it the event loop, and offers "Cancel", which after confirmation sets the cancel
// flag the run reads between records. It closes itself when the run returns.
//
// Usage (the session does this through ProgressDisplay):
//   frmProgress window(prompter);
//   window.RunWithProgress([&](ExportProgress& progress) { session.DoExport(&progress); });
#pragma once

#include "export/engine/ExportProgress.h"
#include "export/engine/ProgressAnimation.h"

#include <QDialog>
#include <QTimer>
#include <array>
#include <memory>

class QLabel;

namespace Ui {
class frmProgress;
}

namespace morvane {

class Prompter;

class frmProgress : public QDialog, public ExportProgress, public ProgressDisplay {
    Q_OBJECT

  public:
    explicit frmProgress(Prompter& prompter, QWidget* parent = nullptr);
    ~frmProgress() override;

    // ProgressDisplay: shows the window modally and runs the export once it is up.
    void RunWithProgress(const std::function<void(ExportProgress&)>& run) override;

    // ExportProgress, written by the run.
    void SetMaximum(int maximum) override;
    void SetValue(int value, const QString& label) override;
    bool CancelRequested() const override { return CancelRequested_; }
    void ProcessEvents() override;

    //! The animation frame performed at the next tick (1 to 12).
    int AnimationFrame() const { return animation_.Frame(); }
    //! Picture i of the animation (0 to 13).
    QLabel* Image1(int index) const { return pictures_.at(static_cast<size_t>(index)); }

  public slots:
    //! The stop button: asks for confirmation; OK sets the cancel flag.
    void Command1_Click();
    //! One tick of the animation timer: steps the pictures by the animation table.
    void Timer1_Timer();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    //! Back to the state of a newly loaded window: frame 1, not cancelled, no count.
    void Reset();
    void ShowPictures();

    std::unique_ptr<Ui::frmProgress> ui_;
    Prompter& prompter_;
    QTimer Timer1;
    ProgressAnimation animation_;
    std::array<QLabel*, ProgressAnimation::PictureCount> pictures_{};
    std::function<void(ExportProgress&)> run_;
    bool started_ = false;
    bool running_ = false;
    bool CancelRequested_ = false;
};

}  // namespace morvane
