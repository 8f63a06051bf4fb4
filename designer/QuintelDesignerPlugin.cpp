#include "designer/QuintelDesignerPlugin.h"

#include "textbox/Quintel.h"

#include <QIcon>

namespace morvane {

QuintelDesignerPlugin::QuintelDesignerPlugin(QObject* parent) : QObject(parent) {}

QString QuintelDesignerPlugin::name() const {
    return QStringLiteral("morvane::Quintel");
}

QString QuintelDesignerPlugin::group() const {
    return QStringLiteral("Database Export");
}

QString QuintelDesignerPlugin::toolTip() const {
    return QStringLiteral(
        "Validating text box: key filtering, case forcing, date and number "
        "validation");
}

QString QuintelDesignerPlugin::whatsThis() const {
    return toolTip() + QStringLiteral(
                           ".\nCheckKey, CheckCase and CheckValidation choose what is typed and "
                           "checked; ValidationOK answers whether the text passes.");
}

QString QuintelDesignerPlugin::includeFile() const {
    return QStringLiteral("textbox/Quintel.h");
}

QIcon QuintelDesignerPlugin::icon() const {
    Quintel sample;
    sample.resize(96, 24);
    return QIcon(sample.grab());
}

QWidget* QuintelDesignerPlugin::createWidget(QWidget* parent) {
    auto* box = new Quintel(parent);
    box->setToolTip(toolTip());
    return box;
}

void QuintelDesignerPlugin::initialize(QDesignerFormEditorInterface*) {
    initialized_ = true;
}

QString QuintelDesignerPlugin::domXml() const {
    return QStringLiteral(
        "<ui language=\"c++\">\n"
        " <widget class=\"morvane::Quintel\" name=\"Quintel1\">\n"
        "  <property name=\"geometry\">\n"
        "   <rect><x>0</x><y>0</y><width>120</width><height>24</height></rect>\n"
        "  </property>\n"
        " </widget>\n"
        "</ui>\n");
}

}  // namespace morvane
