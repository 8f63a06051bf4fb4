// wizard-shots: opens the export wizard on a database and saves a picture of every step
// for each kind's path, for the documentation. It drives the real window the way a user
// would (choosing a kind, pressing Next) and grabs the window after each step.
//
// Usage: wizard-shots DATABASE OUTPUT_FOLDER [PREFIX]
//   QT_SCALE_FACTOR=2 wizard-shots ... docs/images wizard-2x-
#include "export/control/ui/Morvane.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

struct Path {
    const char* name;  //!< the picture names' middle part
    int kind;          //!< the output kind chosen on step 1
};

//! Saves a picture of the wizard's window.
void Shoot(QWidget* wizard, const QString& file) {
    QApplication::processEvents();
    if (!wizard->grab().save(file))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    else
        std::printf("%s\n", qPrintable(file));
}

//! Walks one kind's path: step 0, step 1 with the kind chosen, its options step, step 5.
void Walk(QWidget* wizard, const Path& path, const QString& folder, const QString& prefix) {
    auto* steps = wizard->findChild<QStackedWidget*>(QStringLiteral("FrameSteps"));
    auto* next = wizard->findChild<QPushButton*>(QStringLiteral("BtnNext"));
    auto* kinds = wizard->findChild<QComboBox*>(QStringLiteral("CBoxTypeFormat"));
    const QString base = folder + QLatin1Char('/') + prefix + QLatin1String(path.name);
    if (steps->currentIndex() == 0) {
        Shoot(wizard, base + QStringLiteral("-step0.png"));
        next->click();
    }
    kinds->setCurrentIndex(kinds->findData(path.kind));
    Shoot(wizard, base + QStringLiteral("-step1.png"));
    if (path.kind == 0) {
        // The advanced dialog of the output step, grabbed while it is open.
        QTimer::singleShot(0, [&] {
            QWidget* advanced = QApplication::activeModalWidget();
            if (!advanced || advanced == wizard) return;
            Shoot(advanced, folder + QLatin1Char('/') + prefix + QStringLiteral("advanced.png"));
            advanced->close();
        });
        wizard->findChild<QPushButton*>(QStringLiteral("BtnAdvanced"))->click();
    }
    while (next->isEnabled()) {
        next->click();
        if (steps->currentIndex() == 5) {
            // Show a field moved back to the available list, as a user would.
            auto* selected = wizard->findChild<QListWidget*>(QStringLiteral("LBoxSelFields"));
            if (selected->count() > 1) {
                selected->item(1)->setSelected(true);
                wizard->findChild<QPushButton*>(QStringLiteral("ExcludeBtn"))->click();
            }
        }
        Shoot(wizard, base + QStringLiteral("-step%1.png").arg(steps->currentIndex()));
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: wizard-shots DATABASE OUTPUT_FOLDER [PREFIX]\n");
        return 2;
    }
    const QString database = QString::fromLocal8Bit(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    const QString prefix = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("wizard-");
    QDir().mkpath(folder);
    QTemporaryDir scratch;

    const Path paths[] = {
        {"delimited", 0}, {"fixed", 1}, {"html-page", 3}, {"html-tags", 2}, {"database", 4}};
    for (const Path& path : paths) {
        morvane::Morvane control;
        control.SetDataBaseName(database);
        control.SetMultiTable(true);
        control.SetIniFile(scratch.filePath(QStringLiteral("settings.ini")));
        control.SetExportFile(QStringLiteral("/home/user/exports/customers.txt"));
        control.SetExportCaption(QStringLiteral("Export Data"));
        QTimer::singleShot(0, [&] {
            QWidget* wizard = QApplication::activeModalWidget();
            if (!wizard) return;
            Walk(wizard, path, folder, prefix);
            wizard->close();
        });
        control.Execute();
    }
    return 0;
}
