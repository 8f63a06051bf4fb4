#include "export/wizard/ui/DigitKeyFilter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace morvane {

void DigitKeyFilter::Install(QLineEdit* edit) {
    edit->installEventFilter(new DigitKeyFilter(edit));
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

bool DigitKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        // A key without printable text (control keys, navigation) passes.
        if (!text.isEmpty() && text.at(0).unicode() >= 32 &&
            !(text.at(0) >= u'0' && text.at(0) <= u'9'))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace morvane
