#include "tools/morvane-batch/ConsoleProgress.h"

#include <QString>

namespace morvane {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) {
    g_interrupted = 1;
}

constexpr qint64 kRedrawMilliseconds = 250;

QString Duration(qint64 seconds) {
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

ConsoleProgress::ConsoleProgress(std::FILE* out) : out_(out) {
    g_interrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // SA_RESTART: a write interrupted by Ctrl-C resumes instead of failing the run with
    // EINTR. SA_RESETHAND: a second Ctrl-C ends the process as usual, for a run that does
    // not reach its next record.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, &previous_);
}

ConsoleProgress::~ConsoleProgress() {
    sigaction(SIGINT, &previous_, nullptr);
}

void ConsoleProgress::RunWithProgress(const std::function<void(ExportProgress&)>& run) {
    clock_.start();
    run(*this);
    Draw(true);
}

void ConsoleProgress::SetMaximum(int maximum) {
    maximum_ = maximum;
}

void ConsoleProgress::SetValue(int value, const QString&) {
    value_ = value;
    if (lastDraw_ < 0 || clock_.elapsed() - lastDraw_ >= kRedrawMilliseconds) Draw(false);
}

bool ConsoleProgress::CancelRequested() const {
    return g_interrupted != 0;
}

void ConsoleProgress::ProcessEvents() {}

void ConsoleProgress::Draw(bool final) {
    if (final && !drawn_ && value_ == 0) return;
    lastDraw_ = clock_.elapsed();
    const double seconds = qMax<qint64>(lastDraw_, 1) / 1000.0;
    const double rate = value_ / seconds;
    const int percent = maximum_ > 0 ? static_cast<int>(100.0 * value_ / maximum_) : 100;
    const qint64 left = rate > 0 ? static_cast<qint64>((maximum_ - value_) / rate) : 0;
    const QString line = QStringLiteral("\r%1 out of %2 records (%3%), %4 records/s, %5 left")
                             .arg(value_)
                             .arg(maximum_)
                             .arg(percent)
                             .arg(static_cast<qint64>(rate))
                             .arg(Duration(left));
    std::fputs(line.toLocal8Bit().constData(), out_);
    if (final) std::fputs(g_interrupted ? " (stopped)\n" : "\n", out_);
    std::fflush(out_);
    drawn_ = true;
    lineOpen_ = !final;
}

void ConsoleProgress::BreakLine() {
    if (!lineOpen_) return;
    std::fputs("\n", out_);
    std::fflush(out_);
    lineOpen_ = false;
}

}  // namespace morvane
