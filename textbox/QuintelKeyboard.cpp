#include "textbox/QuintelKeyboard.h"

namespace morvane {

namespace {

struct KeyPair {
    int qtKey;
    short keyCode;
};

// Keys whose code is not their character code. Letters, digits and F-keys are computed.
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, 8},    {Qt::Key_Tab, 9},
    {Qt::Key_Backtab, 9},      {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13},      {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},       {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},         {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},       {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},        {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},          {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},        {Qt::Key_Print, 44},
    {Qt::Key_Insert, 45},      {Qt::Key_Delete, 46},
    {Qt::Key_Meta, 91},        {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, 144},    {Qt::Key_ScrollLock, 145},
    {Qt::Key_Semicolon, 186},  {Qt::Key_Equal, 187},
    {Qt::Key_Comma, 188},      {Qt::Key_Minus, 189},
    {Qt::Key_Period, 190},     {Qt::Key_Slash, 191},
    {Qt::Key_QuoteLeft, 192},  {Qt::Key_BracketLeft, 219},
    {Qt::Key_Backslash, 220},  {Qt::Key_BracketRight, 221},
    {Qt::Key_Apostrophe, 222},
};

bool TypesNothing(int key) {
    switch (key) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Delete:
        case Qt::Key_Insert:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            return true;
        default:
            return key >= Qt::Key_F1 && key <= Qt::Key_F35;
    }
}

}  // namespace

short QuintelKeyboard::KeyCodeOf(const QKeyEvent& event) {
    const int key = event.key();
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9) return short(96 + key - Qt::Key_0);
    if (keypad) {
        switch (key) {
            case Qt::Key_Asterisk:
                return 106;
            case Qt::Key_Plus:
                return 107;
            case Qt::Key_Minus:
                return 109;
            case Qt::Key_Period:
                return 110;
            case Qt::Key_Slash:
                return 111;
            default:
                break;
        }
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return short(key);
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return short(112 + key - Qt::Key_F1);
    for (const KeyPair& pair : kKeys) {
        if (pair.qtKey == key) return pair.keyCode;
    }
    return 0;
}

short QuintelKeyboard::ShiftOf(Qt::KeyboardModifiers modifiers) {
    short shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= 1;
    if (modifiers & Qt::ControlModifier) shift |= 2;
    if (modifiers & Qt::AltModifier) shift |= 4;
    return shift;
}

short QuintelKeyboard::ButtonsOf(Qt::MouseButtons buttons) {
    short mask = 0;
    if (buttons & Qt::LeftButton) mask |= 1;
    if (buttons & Qt::RightButton) mask |= 2;
    if (buttons & Qt::MiddleButton) mask |= 4;
    return mask;
}

QString QuintelKeyboard::TypedText(const QKeyEvent& event) {
    const int key = event.key();
    if (TypesNothing(key)) return QString();
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if ((modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier) && key >= Qt::Key_A &&
        key <= Qt::Key_Z) {
        return QString(QChar(char16_t(key - Qt::Key_A + 1)));
    }
    return event.text();
}

int QuintelKeyboard::QtKeyOf(short keyCode) {
    if ((keyCode >= 'A' && keyCode <= 'Z') || (keyCode >= '0' && keyCode <= '9')) return keyCode;
    if (keyCode >= 112 && keyCode <= 135) return Qt::Key_F1 + keyCode - 112;
    for (const KeyPair& pair : kKeys) {
        if (pair.keyCode == keyCode) return pair.qtKey;
    }
    return Qt::Key_unknown;
}

std::unique_ptr<QKeyEvent> QuintelKeyboard::PressFor(short keyCode, short shift, bool autoRepeat) {
    Qt::KeyboardModifiers modifiers;
    if (shift & 1) modifiers |= Qt::ShiftModifier;
    if (shift & 2) modifiers |= Qt::ControlModifier;
    if (shift & 4) modifiers |= Qt::AltModifier;
    QString text;
    if (keyCode >= 'A' && keyCode <= 'Z') {
        text = QChar(char16_t((shift & 1) ? keyCode : keyCode + 32));
    } else if ((keyCode >= '0' && keyCode <= '9') || keyCode == 32 || keyCode == 8 ||
               keyCode == 9 || keyCode == 13 || keyCode == 27) {
        text = QChar(char16_t(keyCode));
    }
    return std::make_unique<QKeyEvent>(QEvent::KeyPress, QtKeyOf(keyCode), modifiers, text,
                                       autoRepeat);
}

std::unique_ptr<QKeyEvent> QuintelKeyboard::PressTyping(const QString& text, bool autoRepeat) {
    if (text.size() == 1 && text.at(0).unicode() < 32) {
        const int code = text.at(0).unicode();
        if (code == 8 || code == 13 || code == 27) return PressFor(short(code), 0, autoRepeat);
        if (code >= 1 && code <= 26) {
            return std::make_unique<QKeyEvent>(QEvent::KeyPress, Qt::Key_A + code - 1,
                                               Qt::ControlModifier, text, autoRepeat);
        }
    }
    // Key_unknown with no modifier: the line edit inserts the text and reads no shortcut in it.
    return std::make_unique<QKeyEvent>(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text,
                                       autoRepeat);
}

}  // namespace morvane
