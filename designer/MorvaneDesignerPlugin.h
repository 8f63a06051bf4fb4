// MorvaneDesignerPlugin: offers the Morvane control in Qt Designer's widget box (group
// "Database Export"), with the control's help text as tooltip and "What's this", and a
// widget Designer's property editor edits through the control's Qt properties.
//
// One of the two widgets of the Designer plugin (see ControlsDesignerCollection.h). Forms
// then hold a "morvane::Morvane" and include "export/control/ui/Morvane.h".
#pragma once

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

namespace morvane {

class MorvaneDesignerPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

  public:
    explicit MorvaneDesignerPlugin(QObject* parent = nullptr);

    //! The fully qualified class name, so that code generated from forms compiles.
    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override { return false; }
    QWidget* createWidget(QWidget* parent) override;
    bool isInitialized() const override { return initialized_; }
    void initialize(QDesignerFormEditorInterface* core) override;
    QString domXml() const override;

  private:
    bool initialized_ = false;
};

}  // namespace morvane
