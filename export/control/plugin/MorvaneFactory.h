// MorvaneFactory: the plugin entry point of the control library. A host that does not link
// the library loads it with QPluginLoader and creates the control by its class name, then
// reaches properties, methods and events through Qt's meta-object system.
//
// Usage (host side, nothing of this library linked):
//   QPluginLoader loader("morvane/MorvanePlugin");   // found below Qt's plugin folders
//   QWidget* control = nullptr;
//   QMetaObject::invokeMethod(loader.instance(), "create", Q_RETURN_ARG(QWidget*, control),
//                             Q_ARG(QString, "MorvaneActiveX.Morvane"), Q_ARG(QWidget*, form));
//   control->setProperty("DataBaseName", "/data/sales.db");
//   QMetaObject::invokeMethod(control, "Execute");
//
// The class names the factory knows are also in the plugin's metadata ("classNames").
#pragma once

#include <QObject>
#include <QStringList>

class QWidget;

namespace morvane {

class MorvaneFactory : public QObject {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.morvane.ControlFactory/1.0" FILE "MorvaneFactory.json")

  public:
    explicit MorvaneFactory(QObject* parent = nullptr);

    //! A new control for a known class name (compared without regard to case); nullptr for
    //! any other name.
    Q_INVOKABLE QWidget* create(const QString& className, QWidget* parent = nullptr);
    Q_INVOKABLE QStringList classNames() const;
};

}  // namespace morvane
