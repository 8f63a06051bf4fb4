#include "export/common/ui/CenterForm.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace morvane {

namespace {

int CentredOffset(int screenExtent, int formExtent) {
    return std::max(0, (screenExtent - formExtent) / 2);
}

}  // namespace

void CenterForm(QWidget* form) {
    if (!form || form->windowState() != Qt::WindowNoState) return;
    const QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QRect frame = form->frameGeometry();
    form->move(area.left() + CentredOffset(area.width(), frame.width()),
               area.top() + CentredOffset(area.height(), frame.height()));
}

}  // namespace morvane
