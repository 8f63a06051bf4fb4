// QuintelKeyboard: translation between Qt key events and the key values of the text box's
// events: virtual key codes (KeyCode, "A" = 65, Enter = 13, Delete = 46, F1 = 112, ...), the
// shift mask (1 Shift, 2 Ctrl, 4 Alt), the mouse button mask (1 left, 2 right, 4 middle), and
// the characters a key event types.
//
// A key event types characters when it carries text, except navigation and editing keys that
// the key rules treat as typing nothing (Tab, Delete, Insert, arrows, Home, End, page keys,
// function keys). Ctrl with a letter types the control character of that letter
// (Ctrl+C types 3, Ctrl+V 22) whatever text the windowing system attached.
#pragma once

#include <QKeyEvent>
#include <QString>
#include <memory>

namespace morvane {

class QuintelKeyboard {
  public:
    static short KeyCodeOf(const QKeyEvent& event);
    static short ShiftOf(Qt::KeyboardModifiers modifiers);
    static short ButtonsOf(Qt::MouseButtons buttons);

    //! The characters the event types, empty when it types none.
    static QString TypedText(const QKeyEvent& event);

    //! A press event for a key code and shift mask chosen by the host, with the text that key
    //! types (letters, digits, space, Backspace, Tab, Enter, Escape).
    static std::unique_ptr<QKeyEvent> PressFor(short keyCode, short shift, bool autoRepeat);

    //! A press event that types text: a control character becomes its key (8 Backspace,
    //! 13 Enter, 27 Escape, 1 to 26 Ctrl with a letter); printable text is inserted as is.
    static std::unique_ptr<QKeyEvent> PressTyping(const QString& text, bool autoRepeat);

  private:
    static int QtKeyOf(short keyCode);
};

}  // namespace morvane
