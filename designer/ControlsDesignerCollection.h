// ControlsDesignerCollection: the Qt Designer plugin of this project. It offers both
// controls, the export control Morvane and the text box Quintel, in Designer's (and Qt
// Creator's) widget box. `cmake --install` puts it into Qt's designer plugin folder.
#pragma once

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

namespace morvane {

class ControlsDesignerCollection : public QObject, public QDesignerCustomWidgetCollectionInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

  public:
    explicit ControlsDesignerCollection(QObject* parent = nullptr);

    QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return widgets_; }

  private:
    QList<QDesignerCustomWidgetInterface*> widgets_;
};

}  // namespace morvane
