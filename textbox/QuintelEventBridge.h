// QuintelEventBridge: watches the inner box of a Quintel and turns what happens there into the
// control's behaviour and events. It raises KeyDown, KeyPress, KeyUp, the mouse events, Click and
// DblClick on the control; runs every typed character through QuintelKeyRules (key events and
// committed input-method text alike); and selects the whole text when the box receives the
// focus and SelectionFocus is set.
//
// Created by the control, owned by it; nothing else uses it.
#pragma once

#include <QObject>

class QKeyEvent;
class QInputMethodEvent;
class QMouseEvent;

namespace morvane {

class Quintel;
class QuintelEdit;

class QuintelEventBridge : public QObject {
    Q_OBJECT
  public:
    //! Watches box on behalf of control. REQUIRES: box is a child of control.
    QuintelEventBridge(Quintel* control, QuintelEdit* box);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool OnKeyPress(QKeyEvent* event);
    bool OnKeyRelease(QKeyEvent* event);
    bool OnInputMethod(QInputMethodEvent* event);
    void OnMouse(QMouseEvent* event);
    void OnFocusEntered(int cursorBefore, bool hadSelection);

    //! Runs each typed character through the key rules and the host's KeyPress; answers the
    //! characters to insert (discarded keys leave nothing).
    QString TypeCharacters(const QString& typed);
    //! Sends a replacement event to the inner box, past this filter. Answers true.
    bool Deliver(QEvent& event);

    Quintel* m_control;
    QuintelEdit* m_box;
    bool m_forwarding = false;
};

}  // namespace morvane
