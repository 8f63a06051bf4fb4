#include "tools/common/LocalTimeZone.h"

#include <QByteArray>
#include <QtGlobal>
#include <ctime>

namespace morvane {

bool PinLocalTimeZone() {
    if (qEnvironmentVariableIsSet("TZ")) return false;
    qputenv("TZ", QByteArray(":/etc/localtime"));
    tzset();
    return true;
}

}  // namespace morvane
