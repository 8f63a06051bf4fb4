#include "textbox/QuintelEdit.h"

#include <QPainter>
#include <limits>

namespace morvane {

namespace {

constexpr Qt::Alignment kAlignments[3] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};

}  // namespace

QuintelEdit::QuintelEdit(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("txtBox"));
    // The inner box holds whatever text it is given; the default limit of QLineEdit would
    // silently cut a long stored text.
    setMaxLength(std::numeric_limits<int>::max());
    setMouseTracking(true);
    ApplyBorder();
}

int QuintelEdit::AlignmentCode() const {
    const Qt::Alignment horizontal = alignment() & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignRight) return 1;
    if (horizontal & Qt::AlignHCenter) return 2;
    return 0;
}

bool QuintelEdit::SetAlignmentCode(int code) {
    if (code < 0 || code > 2) return false;
    setAlignment(kAlignments[code] | Qt::AlignVCenter);
    return true;
}

bool QuintelEdit::SetAppearance(int appearance) {
    if (appearance != 0 && appearance != 1) return false;
    m_appearance = appearance;
    ApplyBorder();
    return true;
}

bool QuintelEdit::SetBorderStyle(int borderStyle) {
    if (borderStyle != 0 && borderStyle != 1) return false;
    m_borderStyle = borderStyle;
    ApplyBorder();
    return true;
}

qint32 QuintelEdit::ForeColor() const {
    return ColorCode(palette().color(QPalette::Text));
}

bool QuintelEdit::SetForeColor(qint32 color) {
    return SetPaletteColor(QPalette::Text, color);
}

qint32 QuintelEdit::BackColor() const {
    return ColorCode(palette().color(QPalette::Base));
}

bool QuintelEdit::SetBackColor(qint32 color) {
    return SetPaletteColor(QPalette::Base, color);
}

QColor QuintelEdit::ColorOf(qint32 color) {
    if (color < 0 || color > 0xFFFFFF) return QColor();
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

qint32 QuintelEdit::ColorCode(const QColor& color) {
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

bool QuintelEdit::SetPaletteColor(QPalette::ColorRole role, qint32 color) {
    const QColor value = ColorOf(color);
    if (!value.isValid()) return false;
    QPalette colors = palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        colors.setColor(group, role, value);
    }
    setPalette(colors);
    return true;
}

void QuintelEdit::ApplyBorder() {
    const bool flatLine = m_borderStyle == 1 && m_appearance == 0;
    setFrame(m_borderStyle == 1 && m_appearance == 1);
    setTextMargins(flatLine ? QMargins(1, 1, 1, 1) : QMargins());
    update();
}

void QuintelEdit::focusInEvent(QFocusEvent* event) {
    const int cursorBefore = cursorPosition();
    const bool hadSelection = hasSelectedText();
    QLineEdit::focusInEvent(event);
    emit FocusEntered(cursorBefore, hadSelection);
}

void QuintelEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (m_borderStyle != 1 || m_appearance != 0) return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace morvane
