#include "export/control/plugin/MorvaneFactory.h"

#include "export/control/ui/Morvane.h"

namespace morvane {

MorvaneFactory::MorvaneFactory(QObject* parent) : QObject(parent) {}

QWidget* MorvaneFactory::create(const QString& className, QWidget* parent) {
    if (className.compare(QLatin1String(Morvane::kClassName), Qt::CaseInsensitive) != 0)
        return nullptr;
    return new Morvane(parent);
}

QStringList MorvaneFactory::classNames() const {
    return {QString::fromLatin1(Morvane::kClassName)};
}

}  // namespace morvane
