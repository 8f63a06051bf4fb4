#include "demo/ControlPlugin.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QMetaObject>
#include <QWidget>

namespace morvane::demo {

ControlPlugin::ControlPlugin(QString plugin, QStringList folders)
    : plugin_(std::move(plugin)), folders_(std::move(folders)) {}

bool ControlPlugin::Load() {
    if (loader_.isLoaded()) return true;
    const QFileInfo name(plugin_);
    const QString fileName = QStringLiteral("lib%1.so").arg(name.fileName());
    QStringList searched;
    for (const QString& folder : folders_ + QCoreApplication::libraryPaths()) {
        const QString path = QDir(folder).filePath(name.path() + u'/' + fileName);
        searched << path;
        if (!QFileInfo::exists(path)) continue;
        loader_.setFileName(path);
        if (loader_.load()) return true;
        error_ = loader_.errorString();
        return false;
    }
    error_ = QStringLiteral("The control plugin %1 was not found in: %2")
                 .arg(fileName, searched.join(QStringLiteral(", ")));
    return false;
}

QWidget* ControlPlugin::Create(const QString& className, QWidget* parent) {
    if (!Load()) return nullptr;
    QObject* factory = loader_.instance();
    QWidget* control = nullptr;
    if (!factory ||
        !QMetaObject::invokeMethod(factory, "create", Q_RETURN_ARG(QWidget*, control),
                                   Q_ARG(QString, className), Q_ARG(QWidget*, parent)) ||
        !control) {
        error_ = QStringLiteral("The plugin %1 does not create \"%2\".")
                     .arg(loader_.fileName(), className);
        return nullptr;
    }
    return control;
}

}  // namespace morvane::demo
