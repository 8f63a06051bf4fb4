// Drives the modal export wizard from inside its own event loop: Run calls Execute and,
// once the wizard is up, runs the script against it (widgets found by objectName), then
// closes it if the script left it open.
#pragma once

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <functional>

namespace morvane::test {

//! Runs `script` on the next modal dialog to open, as soon as it is shown. The answered
//! timer stops itself once the script ran; a caller whose dialog may never open deletes it.
inline QPointer<QTimer> WhenModalOpens(std::function<void(QDialog*)> script) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, script] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        script(dialog);
    });
    timer->start();
    return timer;
}

//! Calls start (which shows the wizard modally) with `script` run on the wizard; answers
//! whether the wizard was shown at all.
inline bool RunWizard(const std::function<void()>& start,
                      const std::function<void(QDialog*)>& script) {
    bool shown = false;
    QPointer<QTimer> timer = WhenModalOpens([&](QDialog* wizard) {
        shown = true;
        EXPECT_EQ(wizard->objectName(), "frmMorvane");
        QPointer<QDialog> guard(wizard);
        script(wizard);
        if (guard && guard->isVisible()) guard->reject();
    });
    start();
    delete timer.data();  // the wizard never opened
    return shown;
}

template <typename T>
T* Child(QWidget* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

}  // namespace morvane::test
