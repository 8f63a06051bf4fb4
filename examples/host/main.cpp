// A host window with both controls: a Quintel text box for the table name and the Morvane
// export control, which exports that table without user interface (BatchExport) into a
// delimited text file. Messages the control would show go to the console through the
// host's own Prompter.
//
//   morvane-host DATABASE TABLE OUTPUT    exports TABLE of DATABASE to OUTPUT and exits
//                                         with 0 when the export completed
#include <export/common/Prompter.h>
#include <export/control/ui/Morvane.h>
#include <export/control/ui/MorvaneVersion.h>
#include <textbox/Quintel.h>

#include <QApplication>
#include <QTextStream>
#include <QVBoxLayout>
#include <QWidget>

namespace {

// Answers every message box with its default button and writes it to stderr, so that a
// batch run never waits for a user.
class ConsolePrompter : public morvane::Prompter {
  public:
    morvane::MsgResult MsgBox(const QString& text, morvane::MsgButtons, morvane::MsgIcon,
                              const QString& title, int) override {
        QTextStream(stderr) << title << ": " << text << '\n';
        return morvane::MsgResult::OK;
    }
    std::optional<QString> InputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    void Beep() override {}
    int MousePointer() const override { return pointer_; }
    void SetMousePointer(int code) override { pointer_ = code; }

  private:
    int pointer_ = 0;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 4) {
        QTextStream(stderr) << "usage: morvane-host DATABASE TABLE OUTPUT\n";
        return 2;
    }
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* tableBox = new morvane::Quintel(&window);
    tableBox->SetText(QString::fromLocal8Bit(argv[2]));
    auto* exporter = new morvane::Morvane(&window);
    layout->addWidget(tableBox);
    layout->addWidget(exporter);
    window.show();

    ConsolePrompter prompter;
    exporter->SetPrompter(&prompter);
    exporter->SetDataBaseName(QString::fromLocal8Bit(argv[1]));
    exporter->SetTableName(tableBox->Text());
    exporter->SetExportFile(QString::fromLocal8Bit(argv[3]));
    exporter->SetShowProgress(false);
    exporter->SetShowSummary(false);
    exporter->SetOverWrite(true);
    exporter->BatchExport(QString());

    const morvane::SessionOutcome outcome = exporter->LastOutcome();
    QTextStream(stdout) << "Morvane " << morvane::MorvaneVersion() << ": export "
                        << (outcome.Completed ? "completed" : "failed") << '\n';
    return outcome.Completed && outcome.ErrorReports == 0 ? 0 : 1;
}
