// Quintel: a validating single-line text box for host forms. It wraps one QLineEdit named
// "txtBox" that always fills the control, filters and converts typed characters by key class,
// forces upper or lower case, substitutes a diameter sign and a date separator, and answers
// ValidationOK (the text reads as a date or a number under the control's locale, and a required
// text is not empty).
//
// Usage:
//   auto* box = new Quintel(form);
//   box->SetCheckKey(Quintel::NumericalKeyCheck);
//   box->SetCheckValidation(Quintel::NumberValidation);
//   box->SetRequired(true);
//   ...
//   if (!box->ValidationOK()) ...
//
// Properties kept by the control (CheckKey, CheckCase, CheckValidation, FriendlyName,
// DiameterKey, DateSeparator, Required, SelectionFocus) accept any value. Properties kept by the
// inner box (Text, Alignment, Appearance, Fontname, Borderstyle, ForeColor, BackColor, Enabled,
// Locked) are read from and written to it; a setter the inner box rejects stores nothing, answers
// false, emits RuntimeErrorRaised(380, "Invalid property value") and leaves that error in
// LastErrorNumber / LastError until the next accepted value (no exception ever crosses a
// meta-call). Every successful setter emits PropertyChanged(name), also for an unchanged value,
// so that the host knows the saved state changed; ReadProperties emits none. Colours are 32-bit
// 0x00BBGGRR values.
//
// Events are signals with non-const reference arguments, valid for direct connections: a host
// that changes KeyCode in KeyDown (0 cancels the key) or KeyAscii in KeyPress changes what the
// inner box does with the key. KeyPress is raised for every typed character that survives the
// key rules, after filtering and case forcing, with the code that is about to be inserted; the
// host may replace it or discard it (0), and its value is inserted as given. Mouse coordinates
// are in twips relative to the inner box. Change follows every change of the text.
//
// Persistence goes through a PropertyBag (WriteProperties / ReadProperties, see QuintelStore).
// A new control that was never loaded starts with all control-kept values at zero, empty or
// false; the inner box keeps its own initial settings with an empty text.
#pragma once

#include "textbox/QuintelExport.h"

#include <QFont>
#include <QString>
#include <QWidget>

#include "propertybag/PropertyBag.h"
#include "textbox/QuintelKeyRules.h"

namespace morvane {

class QuintelEdit;

class QUINTEL_EXPORT Quintel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(enKeyCheck CheckKey READ CheckKey WRITE SetCheckKey)
    Q_PROPERTY(enCaseCheck CheckCase READ CheckCase WRITE SetCheckCase)
    Q_PROPERTY(enValidation CheckValidation READ CheckValidation WRITE SetCheckValidation)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(QString FriendlyName READ FriendlyName WRITE SetFriendlyName)
    Q_PROPERTY(enAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(enAppearance Appearance READ Appearance WRITE SetAppearance)
    Q_PROPERTY(QFont Fontname READ Fontname WRITE SetFontname)
    Q_PROPERTY(enBorderStyle Borderstyle READ Borderstyle WRITE SetBorderstyle)
    Q_PROPERTY(qint32 ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(qint32 BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(short DiameterKey READ DiameterKey WRITE SetDiameterKey)
    Q_PROPERTY(enDateSeparator DateSeparator READ DateSeparator WRITE SetDateSeparator)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool Locked READ Locked WRITE SetLocked)
    Q_PROPERTY(bool Required READ Required WRITE SetRequired)
    Q_PROPERTY(bool SelectionFocus READ SelectionFocus WRITE SetSelectionFocus)
    Q_PROPERTY(int LastErrorNumber READ LastErrorNumber)
    Q_PROPERTY(QString LastError READ LastError)

  public:
    // The enumerations with their stored values. PublishedName gives the member names the
    // control shows its hosts ("Alfa KeyCheck", "3D", ...).
    enum enKeyCheck {
        NoKeyCheck = 0,
        AlfaKeyCheck = 1,
        AlfaNumericalKeyCheck = 2,
        DateNumericalKeyCheck = 3,
        NumericalKeyCheck = 4
    };
    enum enCaseCheck { NoCaseCheck = 0, UpperCase = 1, LowerCase = 2 };
    enum enValidation { NoValidation = 0, DateValidation = 1, NumberValidation = 2 };
    enum enAlignment { LeftAlign = 0, RightAlign = 1, CenterAlign = 2 };
    enum enAppearance { Flat = 0, ThreeD = 1 };
    enum enBorderStyle { NoBorder = 0, FixedSingle = 1 };
    enum enDateSeparator { Mixed = 0, Slash = 47, Hyphen = 45 };
    Q_ENUM(enKeyCheck)
    Q_ENUM(enCaseCheck)
    Q_ENUM(enValidation)
    Q_ENUM(enAlignment)
    Q_ENUM(enAppearance)
    Q_ENUM(enBorderStyle)
    Q_ENUM(enDateSeparator)

    static constexpr int kMinimumHeightTwips = 278;

    explicit Quintel(QWidget* parent = nullptr);

    enKeyCheck CheckKey() const { return m_checkKey; }
    void SetCheckKey(enKeyCheck value);
    enCaseCheck CheckCase() const { return m_checkCase; }
    void SetCheckCase(enCaseCheck value);
    enValidation CheckValidation() const { return m_checkValidation; }
    void SetCheckValidation(enValidation value);
    QString Text() const;
    void SetText(const QString& value);
    QString FriendlyName() const { return m_friendlyName; }
    void SetFriendlyName(const QString& value);
    enAlignment Alignment() const;
    bool SetAlignment(enAlignment value);
    enAppearance Appearance() const;
    bool SetAppearance(enAppearance value);
    QFont Fontname() const;
    void SetFontname(const QFont& value);
    enBorderStyle Borderstyle() const;
    bool SetBorderstyle(enBorderStyle value);
    qint32 ForeColor() const;
    bool SetForeColor(qint32 value);
    qint32 BackColor() const;
    bool SetBackColor(qint32 value);
    short DiameterKey() const { return m_diameterKey; }
    void SetDiameterKey(short value);
    enDateSeparator DateSeparator() const { return m_dateSeparator; }
    void SetDateSeparator(enDateSeparator value);
    bool Enabled() const;
    void SetEnabled(bool value);
    bool Locked() const;
    void SetLocked(bool value);
    bool Required() const { return m_required; }
    void SetRequired(bool value);
    bool SelectionFocus() const { return m_selectionFocus; }
    void SetSelectionFocus(bool value);

    static constexpr int kInvalidPropertyValue = 380;

    //! The error of the last value the inner box rejected; 0 and empty after an accepted one.
    int LastErrorNumber() const { return m_lastErrorNumber; }
    QString LastError() const { return m_lastError; }

    //! True when the text passes the check chosen by CheckValidation and the Required rule.
    //! Never fails: a check that cannot be made answers false.
    Q_INVOKABLE bool ValidationOK() const;

    //! Writes the seventeen properties to bag, in interface order, every one of them.
    void WriteProperties(PropertyBag& bag) const;
    //! Loads the properties from bag (defaults for missing keys). Stops at the first value that
    //! cannot be applied, answering false with a description in *error; values applied before
    //! it keep their new values.
    bool ReadProperties(const PropertyBag& bag, QString* error = nullptr);
    // The same for hosts that reach the control through the meta-object system only.
    Q_INVOKABLE void WriteProperties(morvane::PropertyBag* bag) const;
    Q_INVOKABLE bool ReadProperties(morvane::PropertyBag* bag);

    //! The published member name of value in the enumeration enumName ("enKeyCheck", ...),
    //! empty when there is none.
    Q_INVOKABLE static QString PublishedName(const QString& enumName, int value);

    //! The key rules' view of the current properties.
    QuintelKeyRules::Settings KeyRules() const;
    //! The smallest height in pixels that is not below the minimum height in twips.
    int MinimumHeightPixels() const;

    QSize sizeHint() const override;

  signals:
    //! The saved state changed: the named property was set.
    void PropertyChanged(const QString& name);
    //! A property value was refused (number 380, "Invalid property value").
    void RuntimeErrorRaised(int number, const QString& description);

    void Change();
    void Click();
    void DblClick();
    void KeyDown(short& KeyCode, short& Shift);
    void KeyPress(short& KeyAscii);
    void KeyUp(short& KeyCode, short& Shift);
    void MouseDown(short& Button, short& Shift, float& X, float& Y);
    void MouseMove(short& Button, short& Shift, float& X, float& Y);
    void MouseUp(short& Button, short& Shift, float& X, float& Y);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    friend class QuintelStore;
    //! Tells the host the saved state changed, except while loading.
    void MarkChanged(const char* name);
    //! Completes a write to the inner box: marks the change, or reports the rejection.
    bool Accept(bool stored, const char* name);
    //! Assigns the face name of font to the inner box's current font (size and style stay).
    void ApplyFontFace(const QString& family);

    QuintelEdit* txtBox = nullptr;
    enKeyCheck m_checkKey = NoKeyCheck;
    enCaseCheck m_checkCase = NoCaseCheck;
    enValidation m_checkValidation = NoValidation;
    QString m_friendlyName;
    short m_diameterKey = 0;
    enDateSeparator m_dateSeparator = Mixed;
    bool m_required = false;
    bool m_selectionFocus = false;
    bool m_loading = false;
    int m_lastErrorNumber = 0;
    QString m_lastError;
};

}  // namespace morvane
