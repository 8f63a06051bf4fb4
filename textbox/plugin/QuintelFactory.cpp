#include "textbox/plugin/QuintelFactory.h"

#include "textbox/Quintel.h"

namespace morvane {

QWidget* QuintelFactory::create(const QString& className, QWidget* parent) {
    if (className.compare(QLatin1String(kClassName), Qt::CaseInsensitive) != 0) return nullptr;
    return new Quintel(parent);
}

QStringList QuintelFactory::classNames() const {
    return {QLatin1String(kClassName)};
}

}  // namespace morvane
