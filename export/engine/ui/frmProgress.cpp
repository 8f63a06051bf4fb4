#include "export/engine/ui/frmProgress.h"

#include "ui_frmProgress.h"

#include "export/common/Prompter.h"
#include "export/common/ui/CenterForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

namespace morvane {
namespace {

constexpr int kPictureSize = 64;
constexpr int kTickMilliseconds = 175;

//! Picture 0 is the still scene (a table on the left, a file on the right); pictures 1 to
//! 13 each hold one sheet on its way from the table to the file.
QPixmap DrawPicture(int index) {
    QPixmap pixmap(kPictureSize, kPictureSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (index == 0) {
        painter.setPen(QPen(Qt::darkGray, 1));
        painter.setBrush(QColor(0x5b, 0x8d, 0xd6));
        painter.drawRect(2, 30, 18, 26);  // source table
        painter.setPen(QPen(Qt::white, 1));
        for (int row = 36; row < 56; row += 6) painter.drawLine(3, row, 19, row);
        painter.setPen(QPen(Qt::darkGray, 1));
        painter.setBrush(QColor(0xf2, 0xd0, 0x6b));
        painter.drawRect(44, 30, 18, 26);  // destination file
        return pixmap;
    }
    // The sheet rises from the table, arcs over and drops into the file.
    const double step = (index - 1) / 12.0;
    const int x = 6 + static_cast<int>(step * 40);
    const int y = 24 - static_cast<int>(20 * (1.0 - (2 * step - 1) * (2 * step - 1)));
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(x, y, 12, 14);
    painter.drawLine(x + 2, y + 4, x + 10, y + 4);
    painter.drawLine(x + 2, y + 8, x + 10, y + 8);
    return pixmap;
}

}  // namespace

frmProgress::frmProgress(Prompter& prompter, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::frmProgress>()), prompter_(prompter) {
    ui_->setupUi(this);
    setModal(true);
    for (int index = 0; index < ProgressAnimation::PictureCount; ++index) {
        auto* picture = new QLabel(ui_->Animation);
        picture->setObjectName(QStringLiteral("Image1_%1").arg(index));
        picture->setGeometry(0, 0, kPictureSize, kPictureSize);
        picture->setPixmap(DrawPicture(index));
        pictures_.at(static_cast<size_t>(index)) = picture;
    }
    ShowPictures();
    connect(ui_->Command1, &QPushButton::clicked, this, &frmProgress::Command1_Click);
    Timer1.setParent(this);
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(kTickMilliseconds);
    connect(&Timer1, &QTimer::timeout, this, &frmProgress::Timer1_Timer);
    adjustSize();
    CenterForm(this);
}

frmProgress::~frmProgress() = default;

void frmProgress::RunWithProgress(const std::function<void(ExportProgress&)>& run) {
    // Every run starts as in a newly loaded window. Without this a second run through the
    // same window would never start (the run starts only when the window is first shown)
    // and the modal window would wait forever, or start already cancelled.
    Reset();
    run_ = run;
    exec();
    run_ = nullptr;
}

void frmProgress::Reset() {
    started_ = false;
    CancelRequested_ = false;
    animation_ = ProgressAnimation();
    ShowPictures();
    ui_->ProgressBar->reset();
    ui_->LblRecords->clear();
}

void frmProgress::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_) return;
    started_ = true;
    // The run starts from the window's own event loop once the window is up, so the
    // window is painted and live before the first record.
    QTimer::singleShot(0, this, [this] {
        running_ = true;
        Timer1.start();
        if (run_) run_(*this);
        Timer1.stop();
        running_ = false;
        accept();
    });
}

void frmProgress::SetMaximum(int maximum) {
    ui_->ProgressBar->setMaximum(maximum);
}

void frmProgress::SetValue(int value, const QString& label) {
    ui_->ProgressBar->setValue(qMin(value, ui_->ProgressBar->maximum()));
    ui_->LblRecords->setText(label);
}

void frmProgress::ProcessEvents() {
    QCoreApplication::processEvents();
}

void frmProgress::Command1_Click() {
    const MsgResult answer =
        prompter_.MsgBox(QStringLiteral("Are you sure that you want to stop the export process?"),
                         MsgButtons::OKCancel, MsgIcon::Question, QStringLiteral("Confirmation"));
    if (answer == MsgResult::OK) CancelRequested_ = true;
}

void frmProgress::closeEvent(QCloseEvent* event) {
    // While a run is pending or alive the close box asks like the stop button (closing
    // before the run started would silently drop the export); the window closes itself
    // when the run returns.
    if (run_) {
        event->ignore();
        Command1_Click();
        return;
    }
    QDialog::closeEvent(event);
}

void frmProgress::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && run_) {
        Command1_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmProgress::Timer1_Timer() {
    animation_.Tick();
    ShowPictures();
}

void frmProgress::ShowPictures() {
    for (int index = 0; index < ProgressAnimation::PictureCount; ++index)
        pictures_.at(static_cast<size_t>(index))->setVisible(animation_.Visible(index));
}

}  // namespace morvane
