// ControlPlugin: creates a control by its class name from the control plugins, the way a
// host that does not link a control library does. The plugin "morvane/MorvanePlugin" is
// looked for in the folders given first, then below Qt's plugin folders
// (QCoreApplication::libraryPaths, which QT_PLUGIN_PATH extends).
//
// Usage:
//   ControlPlugin plugin(QStringLiteral("morvane/MorvanePlugin"), {programDir + "/../plugins"});
//   QWidget* control = plugin.Create(QStringLiteral("MorvaneActiveX.Morvane"), form);
//   if (!control) show(plugin.ErrorString());
#pragma once

#include <QPluginLoader>
#include <QString>
#include <QStringList>

class QWidget;

namespace morvane::demo {

class ControlPlugin {
  public:
    //! `plugin` is the plugin's path below a plugin folder, without prefix and suffix
    //! ("morvane/MorvanePlugin"); `folders` are searched before Qt's plugin folders.
    ControlPlugin(QString plugin, QStringList folders);

    //! A new control of `className` on `parent` (nullptr when the plugin cannot be loaded
    //! or does not know the class; ErrorString then says why).
    QWidget* Create(const QString& className, QWidget* parent);
    QString ErrorString() const { return error_; }
    //! The file the plugin was loaded from (empty before a successful Create).
    QString FileName() const { return loader_.fileName(); }

  private:
    bool Load();

    QString plugin_;
    QStringList folders_;
    QPluginLoader loader_;
    QString error_;
};

}  // namespace morvane::demo
