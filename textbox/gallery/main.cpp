// quintel-gallery: shows a few configured validating text boxes side by side.
// Options: --screenshot FILE  save a PNG of the window and quit (for documentation).
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include "textbox/gallery/GalleryWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Validating text box gallery"));
    parser.addHelpOption();
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a PNG of the window to <file> and quit."), QStringLiteral("file"));
    parser.addOption(screenshot);
    parser.process(app);

    morvane::GalleryWindow window;
    window.show();
    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        QTimer::singleShot(300, &window, [&window, file] {
            const bool saved = window.grab().save(file, "PNG");
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
