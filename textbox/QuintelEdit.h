// QuintelEdit: the inner edit box of the validating text box, a single-line QLineEdit named
// "txtBox". It keeps the properties that the control leaves to its inner box in the native
// value form (alignment, appearance, border style, 32-bit 0x00BBGGRR colours) and rejects values
// outside their range: a rejecting setter answers false and changes nothing.
//
// Appearance and border style combine as follows: border style 0 draws no frame; border style 1
// with appearance 1 (3D) draws the platform's sunken frame; with appearance 0 (flat) a one-pixel
// line in the window-text colour.
#pragma once

#include <QColor>
#include <QLineEdit>

namespace morvane {

class QuintelEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit QuintelEdit(QWidget* parent = nullptr);

    int AlignmentCode() const;  //!< 0 left, 1 right, 2 centre
    bool SetAlignmentCode(int code);

    int Appearance() const { return m_appearance; }  //!< 0 flat, 1 3D
    bool SetAppearance(int appearance);

    int BorderStyle() const { return m_borderStyle; }  //!< 0 none, 1 fixed single
    bool SetBorderStyle(int borderStyle);

    qint32 ForeColor() const;  //!< text colour as 0x00BBGGRR
    bool SetForeColor(qint32 color);

    qint32 BackColor() const;  //!< background colour as 0x00BBGGRR
    bool SetBackColor(qint32 color);

    //! The colour of a 0x00BBGGRR value; invalid for values outside 0 to 0xFFFFFF.
    static QColor ColorOf(qint32 color);
    //! The 0x00BBGGRR value of a colour (alpha is dropped).
    static qint32 ColorCode(const QColor& color);

  signals:
    //! The box received the focus; the arguments describe the caret before it arrived.
    void FocusEntered(int cursorBefore, bool hadSelection);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    bool SetPaletteColor(QPalette::ColorRole role, qint32 color);
    void ApplyBorder();

    int m_appearance = 1;
    int m_borderStyle = 1;
};

}  // namespace morvane
