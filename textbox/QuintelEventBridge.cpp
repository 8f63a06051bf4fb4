#include "textbox/QuintelEventBridge.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QMouseEvent>

#include "textbox/Cp1252.h"
#include "textbox/Quintel.h"
#include "textbox/QuintelEdit.h"
#include "textbox/QuintelKeyRules.h"
#include "textbox/QuintelKeyboard.h"

namespace morvane {

QuintelEventBridge::QuintelEventBridge(Quintel* control, QuintelEdit* box)
    : QObject(control), m_control(control), m_box(box) {
    box->installEventFilter(this);
    connect(box, &QuintelEdit::FocusEntered, this, &QuintelEventBridge::OnFocusEntered);
}

bool QuintelEventBridge::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_box || m_forwarding) return false;
    switch (event->type()) {
        case QEvent::KeyPress:
            return OnKeyPress(static_cast<QKeyEvent*>(event));
        case QEvent::KeyRelease:
            return OnKeyRelease(static_cast<QKeyEvent*>(event));
        case QEvent::InputMethod:
            return OnInputMethod(static_cast<QInputMethodEvent*>(event));
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            OnMouse(static_cast<QMouseEvent*>(event));
            return false;
        default:
            return false;
    }
}

bool QuintelEventBridge::OnKeyPress(QKeyEvent* event) {
    short keyCode = QuintelKeyboard::KeyCodeOf(*event);
    short shift = QuintelKeyboard::ShiftOf(event->modifiers());
    const short originalCode = keyCode;
    const short originalShift = shift;
    emit m_control->KeyDown(keyCode, shift);
    if (keyCode == 0 && originalCode != 0) return true;  // the host cancelled the key

    // A host that changed the key or the shift state gets the box to act on its key instead.
    std::unique_ptr<QKeyEvent> replaced;
    if (keyCode != originalCode || shift != originalShift) {
        replaced = QuintelKeyboard::PressFor(keyCode, shift, event->isAutoRepeat());
    }
    const QKeyEvent& current = replaced ? *replaced : *event;
    const QString typed = QuintelKeyboard::TypedText(current);
    if (typed.isEmpty()) return replaced ? Deliver(*replaced) : false;

    const QString result = TypeCharacters(typed);
    if (result.isEmpty()) return true;
    if (result == typed) return replaced ? Deliver(*replaced) : false;
    return Deliver(*QuintelKeyboard::PressTyping(result, event->isAutoRepeat()));
}

bool QuintelEventBridge::OnKeyRelease(QKeyEvent* event) {
    short keyCode = QuintelKeyboard::KeyCodeOf(*event);
    short shift = QuintelKeyboard::ShiftOf(event->modifiers());
    const short originalCode = keyCode;
    emit m_control->KeyUp(keyCode, shift);
    return keyCode == 0 && originalCode != 0;
}

bool QuintelEventBridge::OnInputMethod(QInputMethodEvent* event) {
    const QString committed = event->commitString();
    if (committed.isEmpty()) return false;
    const QString result = TypeCharacters(committed);
    if (result == committed) return false;
    QInputMethodEvent replacement(event->preeditString(), event->attributes());
    replacement.setCommitString(result, event->replacementStart(), event->replacementLength());
    return Deliver(replacement);
}

QString QuintelEventBridge::TypeCharacters(const QString& typed) {
    const QuintelKeyRules::Settings rules = m_control->KeyRules();
    QString result;
    for (const QChar ch : typed) {
        const int code = Cp1252::CodeOf(ch);
        const int converted = code == 0 ? 0 : QuintelKeyRules::Apply(code, rules);
        if (converted == 0) continue;
        // The host sees the 16-bit code about to be inserted and may change or discard it.
        short keyAscii = static_cast<short>(converted);
        emit m_control->KeyPress(keyAscii);
        const int inserted = static_cast<unsigned short>(keyAscii);
        if (inserted != 0) result += Cp1252::CharOf(inserted);
    }
    return result;
}

bool QuintelEventBridge::Deliver(QEvent& event) {
    m_forwarding = true;
    QCoreApplication::sendEvent(m_box, &event);
    m_forwarding = false;
    return true;
}

void QuintelEventBridge::OnMouse(QMouseEvent* event) {
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if (event->type() == QEvent::MouseButtonDblClick) {
        emit m_control->DblClick();
        return;
    }
    // Press and release name the button that changed; a move names the buttons held.
    short button = QuintelKeyboard::ButtonsOf(
        event->type() == QEvent::MouseMove ? event->buttons() : Qt::MouseButtons(event->button()));
    short shift = QuintelKeyboard::ShiftOf(event->modifiers());
    float x = static_cast<float>(event->position().x() * 1440.0 / m_box->logicalDpiX());
    float y = static_cast<float>(event->position().y() * 1440.0 / m_box->logicalDpiY());
    if (event->type() == QEvent::MouseButtonPress) emit m_control->MouseDown(button, shift, x, y);
    if (event->type() == QEvent::MouseMove) emit m_control->MouseMove(button, shift, x, y);
    if (release) {
        emit m_control->MouseUp(button, shift, x, y);
        if (event->button() == Qt::LeftButton &&
            m_box->rect().contains(event->position().toPoint())) {
            emit m_control->Click();
        }
    }
}

void QuintelEventBridge::OnFocusEntered(int cursorBefore, bool hadSelection) {
    if (!m_control->SelectionFocus()) {
        // The line edit selects everything when tabbed into; without SelectionFocus the caret
        // stays where it was instead.
        if (!hadSelection && m_box->hasSelectedText()) m_box->setCursorPosition(cursorBefore);
        return;
    }
    m_box->selectAll();
    // Selected again once the event that brought the focus is done: a mouse click places the
    // caret after the focus arrives.
    QMetaObject::invokeMethod(
        m_box,
        [box = m_box] {
            if (box->hasFocus()) box->selectAll();
        },
        Qt::QueuedConnection);
}

}  // namespace morvane
