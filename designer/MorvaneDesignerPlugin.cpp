#include "designer/MorvaneDesignerPlugin.h"

#include "export/control/ControlProperties.h"
#include "export/control/ui/Morvane.h"

#include <QIcon>
#include <QPixmap>

namespace morvane {

MorvaneDesignerPlugin::MorvaneDesignerPlugin(QObject* parent) : QObject(parent) {}

QString MorvaneDesignerPlugin::name() const {
    return QStringLiteral("morvane::Morvane");
}

QString MorvaneDesignerPlugin::group() const {
    return QStringLiteral("Database Export");
}

QString MorvaneDesignerPlugin::toolTip() const {
    return QStringLiteral("Export control: runs the export wizard or a batch export");
}

QString MorvaneDesignerPlugin::whatsThis() const {
    // One line per property that carries help text: "Name: description".
    QStringList lines{toolTip() + QLatin1Char('.')};
    for (const PropertyDefinition& definition : PropertyDefinitions())
        if (!definition.description.isEmpty())
            lines << definition.key + QStringLiteral(": ") + definition.description;
    return lines.join(QLatin1Char('\n'));
}

QString MorvaneDesignerPlugin::includeFile() const {
    return QStringLiteral("export/control/ui/Morvane.h");
}

QIcon MorvaneDesignerPlugin::icon() const {
    Morvane sample;
    return QIcon(sample.grab());
}

QWidget* MorvaneDesignerPlugin::createWidget(QWidget* parent) {
    auto* control = new Morvane(parent);
    control->setToolTip(toolTip());
    return control;
}

void MorvaneDesignerPlugin::initialize(QDesignerFormEditorInterface*) {
    initialized_ = true;
}

QString MorvaneDesignerPlugin::domXml() const {
    const QSize size = Morvane().TwipsSize();
    return QStringLiteral(
               "<ui language=\"c++\">\n"
               " <widget class=\"morvane::Morvane\" name=\"Morvane1\">\n"
               "  <property name=\"geometry\">\n"
               "   <rect><x>0</x><y>0</y><width>%1</width><height>%2</height></rect>\n"
               "  </property>\n"
               " </widget>\n"
               "</ui>\n")
        .arg(size.width())
        .arg(size.height());
}

}  // namespace morvane
