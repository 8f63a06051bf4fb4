// QuintelFactory: the plugin face of the QuintelControl library. A host that does not link the
// library loads it with QPluginLoader and creates the control by its class name:
//
//   QPluginLoader loader("morvane/QuintelPlugin");   // found below Qt's plugin folders
//   QObject* factory = loader.instance();
//   QWidget* box = nullptr;
//   QMetaObject::invokeMethod(factory, "create", Q_RETURN_ARG(QWidget*, box),
//                             Q_ARG(QString, "QuintelCtl.Quintel"), Q_ARG(QWidget*, parent));
//
// The class name is matched without regard to case; any other name answers nullptr. The plugin
// metadata lists the class names under "classNames". Properties, ValidationOK and the events
// are then reached through the meta-object system (setProperty, invokeMethod, connecting
// signals by signature).
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

namespace morvane {

class QuintelFactory : public QObject {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.morvane.ControlFactory/1.0" FILE "QuintelControl.json")
  public:
    static constexpr const char* kClassName = "QuintelCtl.Quintel";

    explicit QuintelFactory(QObject* parent = nullptr) : QObject(parent) {}

    //! A new control for className, a child of parent; nullptr for an unknown name.
    Q_INVOKABLE QWidget* create(const QString& className, QWidget* parent = nullptr);
    //! The class names create knows.
    Q_INVOKABLE QStringList classNames() const;
};

}  // namespace morvane
