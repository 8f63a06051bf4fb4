#include "export/common/ui/CenterForm.h"

#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace morvane {
namespace {

TEST(CenterFormTest, CentresNormalWindowsOnly) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    struct Case {
        QSize size;
        Qt::WindowState state;
        bool moves;
    };
    const Case cases[] = {
        {{301, 201}, Qt::WindowNoState, true},
        {{screen.width() + 50, screen.height() + 7}, Qt::WindowNoState, true},  // top-left 0
        {{300, 200}, Qt::WindowMinimized, false},
        {{300, 200}, Qt::WindowMaximized, false},
    };
    for (const auto& c : cases) {
        QWidget form;
        form.resize(c.size);
        form.move(3, 4);
        form.setWindowState(c.state);
        const QSize sizeBefore = form.size();
        CenterForm(&form);
        EXPECT_EQ(form.size(), sizeBefore);
        if (!c.moves) {
            EXPECT_EQ(form.pos(), QPoint(3, 4));
            continue;
        }
        const QRect frame = form.frameGeometry();
        const int left = std::max(0, (screen.width() - frame.width()) / 2);
        const int top = std::max(0, (screen.height() - frame.height()) / 2);
        EXPECT_EQ(frame.topLeft(), screen.topLeft() + QPoint(left, top)) << c.size.width();
    }
    CenterForm(nullptr);
}

}  // namespace
}  // namespace morvane
