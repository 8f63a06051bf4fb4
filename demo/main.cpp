// MorvaneDemo: shows how a host uses the export control. It does not link the control
// library: the control comes from its plugin, created by class name.
//
//   MorvaneDemo [FOLDER]     starts the folder list at FOLDER (default: the sample data)
//   MorvaneDemo --check      creates the window and the control, says what it found, and
//                            exits (0 when the control was created): for installations
//   MorvaneDemo --screenshot FILE [--wizard-screenshot FILE2]
//                            saves a picture of the window (and of the wizard Export opens
//                            on the first file) and exits: for the documentation
#include "demo/ControlPlugin.h"
#include "demo/DemoChoices.h"
#include "demo/frmTest.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

namespace {

// Folders relative to the program: where the build tree and an installation keep the
// plugins and the sample data.
QStringList Existing(const QString& base, const QStringList& relative) {
    QStringList found;
    for (const QString& path : relative) {
        const QString folder = QDir::cleanPath(base + u'/' + path);
        if (QFileInfo(folder).isDir()) found << folder;
    }
    return found;
}

//! Removes "NAME VALUE" from `arguments` and answers VALUE (empty when absent).
QString TakeOption(QStringList& arguments, const QString& name) {
    const int at = arguments.indexOf(name);
    if (at < 0 || at + 1 >= arguments.size()) return QString();
    const QString value = arguments.at(at + 1);
    arguments.remove(at, 2);
    return value;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("MorvaneDemo"));
    QApplication::setOrganizationName(QStringLiteral("Morvane"));
    const QString programFolder = QApplication::applicationDirPath();

    QStringList arguments = QApplication::arguments().mid(1);
    const bool check = arguments.removeAll(QStringLiteral("--check")) > 0;
    const QString shot = TakeOption(arguments, QStringLiteral("--screenshot"));
    const QString wizardShot = TakeOption(arguments, QStringLiteral("--wizard-screenshot"));
    QString startFolder = arguments.isEmpty() ? QString() : arguments.first();
    if (startFolder.isEmpty()) {
        const QStringList samples =
            Existing(programFolder, {QStringLiteral(MORVANE_DEMO_BUILD_SAMPLES),
                                     QStringLiteral(MORVANE_DEMO_INSTALLED_SAMPLES)});
        startFolder = samples.isEmpty() ? QDir::homePath() : samples.first();
    }

    const QString settingsFile = morvane::demo::SettingsFileFor(
        programFolder, QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));

    morvane::demo::frmTest form(settingsFile, startFolder);
    morvane::demo::ControlPlugin plugin(
        QStringLiteral("morvane/MorvanePlugin"),
        Existing(programFolder, {QStringLiteral(MORVANE_DEMO_BUILD_PLUGINS),
                                 QStringLiteral(MORVANE_DEMO_INSTALLED_PLUGINS)}));
    QWidget* control = plugin.Create(QStringLiteral("MorvaneActiveX.Morvane"), &form);
    form.AttachControl(control, plugin.ErrorString());
    if (check) {
        QTextStream out(stdout);
        out << "control: " << (control ? plugin.FileName() : plugin.ErrorString()) << '\n'
            << "folder: " << form.DirPath() << " (" << form.FileNames().join(u' ') << ")\n"
            << "settings: " << settingsFile << '\n';
        return control ? 0 : 1;
    }
    form.show();
    if (!shot.isEmpty()) {
        // The folder list loads and sorts its folders in the background: let it finish.
        QEventLoop settle;
        QTimer::singleShot(500, &settle, &QEventLoop::quit);
        settle.exec();
        if (!form.grab().save(shot)) return 1;
        if (wizardShot.isEmpty()) return 0;
        // The wizard is modal: a timer takes its picture once it is visible and closes it.
        QTimer poll;
        bool saved = false;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* wizard = qobject_cast<QDialog*>(top);
                if (!wizard || !wizard->isVisible() || top->objectName() != "frmMorvane") continue;
                poll.stop();
                saved = wizard->grab().save(wizardShot);
                wizard->reject();
            }
        });
        poll.start(100);
        QMetaObject::invokeMethod(form.findChild<QPushButton*>(QStringLiteral("cmdExport")),
                                  "click");
        return saved ? 0 : 1;
    }
    return QApplication::exec();
}
