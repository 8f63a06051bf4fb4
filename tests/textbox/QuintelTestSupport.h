// Shared helpers of the text box widget tests: a shown host window holding one control, and
// real keystrokes typed into its inner box with QTest.
#pragma once

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

#include "textbox/Quintel.h"

namespace morvane::quinteltest {

//! Types text into box one key event per character, the way a keyboard would: ASCII through
//! QTest's key table, other characters with their Latin-1 key (or none) and their text.
inline void TypeKeys(QWidget* box, const QString& text) {
    for (const QChar ch : text) {
        if (ch.unicode() >= 32 && ch.unicode() < 127) {
            QTest::keyClick(box, ch.toLatin1());
            continue;
        }
        const char16_t upper = ch.toUpper().unicode();
        const Qt::Key key = upper < 256 ? Qt::Key(upper) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, box, key, QString(ch), Qt::NoModifier);
    }
}

//! A host window with a plain line edit first and a control second, shown and active.
class HostWindow {
  public:
    HostWindow() : window(std::make_unique<QWidget>()) {
        auto* layout = new QVBoxLayout(window.get());
        other = new QLineEdit(window.get());
        control = new Quintel(window.get());
        control->setObjectName(QStringLiteral("Quintel1"));
        layout->addWidget(other);
        layout->addWidget(control);
        box = control->findChild<QLineEdit*>(QStringLiteral("txtBox"));
        window->show();
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window.get());
    }

    std::unique_ptr<QWidget> window;
    QLineEdit* other = nullptr;
    Quintel* control = nullptr;
    QLineEdit* box = nullptr;
};

}  // namespace morvane::quinteltest
