// MorvaneDemo: shows how a host uses the export control. It does not link the control
// library: the control comes from its plugin, created by class name.
//
//   MorvaneDemo [FOLDER]     starts the folder list at FOLDER (default: the sample data)
//   MorvaneDemo --check      creates the window and the control, says what it found, and
//                            exits (0 when the control was created): for installations
#include "demo/ControlPlugin.h"
#include "demo/DemoChoices.h"
#include "demo/frmTest.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

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

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("MorvaneDemo"));
    QApplication::setOrganizationName(QStringLiteral("Morvane"));
    const QString programFolder = QApplication::applicationDirPath();

    QStringList arguments = QApplication::arguments().mid(1);
    const bool check = arguments.removeAll(QStringLiteral("--check")) > 0;
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
    return QApplication::exec();
}
