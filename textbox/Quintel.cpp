#include "textbox/Quintel.h"

#include <QFocusEvent>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <cmath>

#include "textbox/QuintelEdit.h"
#include "textbox/QuintelEventBridge.h"
#include "textbox/QuintelStore.h"
#include "textbox/QuintelValidator.h"

namespace morvane {

namespace {

struct PublishedMember {
    const char* enumName;
    int value;
    const char* name;
};

constexpr PublishedMember kPublishedMembers[] = {
    {"enKeyCheck", 0, "No KeyCheck"},
    {"enKeyCheck", 1, "Alfa KeyCheck"},
    {"enKeyCheck", 2, "AlfaNumerical KeyCheck"},
    {"enKeyCheck", 3, "DateNumerical KeyCheck"},
    {"enKeyCheck", 4, "Numerical KeyCheck"},
    {"enCaseCheck", 0, "No CaseCheck"},
    {"enCaseCheck", 1, "UpperCase"},
    {"enCaseCheck", 2, "LowerCase"},
    {"enValidation", 0, "No Validation"},
    {"enValidation", 1, "Date Validation"},
    {"enValidation", 2, "Number Validation"},
    {"enAlignment", 0, "Left Align"},
    {"enAlignment", 1, "Right Align"},
    {"enAlignment", 2, "Center Align"},
    {"enAppearance", 0, "Flat"},
    {"enAppearance", 1, "3D"},
    {"enBorderStyle", 0, "None"},
    {"enBorderStyle", 1, "Fixed Single"},
    {"enDateSeparator", 0, "Mixed"},
    {"enDateSeparator", 47, "Slash"},
    {"enDateSeparator", 45, "Hyphen"},
};

}  // namespace

Quintel::Quintel(QWidget* parent) : QWidget(parent), txtBox(new QuintelEdit(this)) {
    // The control never takes the focus by tabbing or clicking: its inner box does. Focus given
    // to the control directly is passed on in focusInEvent.
    setFocusPolicy(Qt::NoFocus);
    setMinimumHeight(MinimumHeightPixels());
    txtBox->setGeometry(rect());
    connect(txtBox, &QLineEdit::textChanged, this, &Quintel::Change);
    new QuintelEventBridge(this, txtBox);
}

void Quintel::MarkChanged(const char* name) {
    if (!m_loading) emit PropertyChanged(QString::fromLatin1(name));
}

bool Quintel::Accept(bool stored, const char* name) {
    if (stored) {
        m_lastErrorNumber = 0;
        m_lastError.clear();
        MarkChanged(name);
        return true;
    }
    m_lastErrorNumber = kInvalidPropertyValue;
    m_lastError = QStringLiteral("Invalid property value");
    emit RuntimeErrorRaised(m_lastErrorNumber, m_lastError);
    return false;
}

void Quintel::SetCheckKey(enKeyCheck value) {
    m_checkKey = value;
    MarkChanged("CheckKey");
}

void Quintel::SetCheckCase(enCaseCheck value) {
    m_checkCase = value;
    MarkChanged("CheckCase");
}

void Quintel::SetCheckValidation(enValidation value) {
    m_checkValidation = value;
    MarkChanged("CheckValidation");
}

QString Quintel::Text() const {
    return txtBox->text();
}

void Quintel::SetText(const QString& value) {
    txtBox->setText(value);
    MarkChanged("Text");
}

void Quintel::SetFriendlyName(const QString& value) {
    m_friendlyName = value;
    MarkChanged("FriendlyName");
}

Quintel::enAlignment Quintel::Alignment() const {
    return static_cast<enAlignment>(txtBox->AlignmentCode());
}

bool Quintel::SetAlignment(enAlignment value) {
    return Accept(txtBox->SetAlignmentCode(value), "Alignment");
}

Quintel::enAppearance Quintel::Appearance() const {
    return static_cast<enAppearance>(txtBox->Appearance());
}

bool Quintel::SetAppearance(enAppearance value) {
    return Accept(txtBox->SetAppearance(value), "Appearance");
}

QFont Quintel::Fontname() const {
    return txtBox->font();
}

void Quintel::SetFontname(const QFont& value) {
    txtBox->setFont(value);
    MarkChanged("Fontname");
}

void Quintel::ApplyFontFace(const QString& family) {
    QFont font = txtBox->font();
    font.setFamily(family);
    txtBox->setFont(font);
    MarkChanged("Fontname");
}

Quintel::enBorderStyle Quintel::Borderstyle() const {
    return static_cast<enBorderStyle>(txtBox->BorderStyle());
}

bool Quintel::SetBorderstyle(enBorderStyle value) {
    return Accept(txtBox->SetBorderStyle(value), "Borderstyle");
}

qint32 Quintel::ForeColor() const {
    return txtBox->ForeColor();
}

bool Quintel::SetForeColor(qint32 value) {
    return Accept(txtBox->SetForeColor(value), "ForeColor");
}

qint32 Quintel::BackColor() const {
    return txtBox->BackColor();
}

bool Quintel::SetBackColor(qint32 value) {
    return Accept(txtBox->SetBackColor(value), "BackColor");
}

void Quintel::SetDiameterKey(short value) {
    m_diameterKey = value;
    MarkChanged("DiameterKey");
}

void Quintel::SetDateSeparator(enDateSeparator value) {
    m_dateSeparator = value;
    MarkChanged("DateSeparator");
}

// The inner box's own flag, whatever the state of the control around it.
bool Quintel::Enabled() const {
    return txtBox->isEnabledTo(this);
}

void Quintel::SetEnabled(bool value) {
    txtBox->setEnabled(value);
    MarkChanged("Enabled");
}

bool Quintel::Locked() const {
    return txtBox->isReadOnly();
}

void Quintel::SetLocked(bool value) {
    txtBox->setReadOnly(value);
    MarkChanged("Locked");
}

void Quintel::SetRequired(bool value) {
    m_required = value;
    MarkChanged("Required");
}

void Quintel::SetSelectionFocus(bool value) {
    m_selectionFocus = value;
    MarkChanged("SelectionFocus");
}

bool Quintel::ValidationOK() const {
    const QuintelValidator validator(locale());
    return validator.Check(txtBox->text(), m_checkValidation, m_required);
}

void Quintel::WriteProperties(PropertyBag& bag) const {
    QuintelStore::Write(*this, bag);
}

bool Quintel::ReadProperties(const PropertyBag& bag, QString* error) {
    const QScopedValueRollback<bool> loading(m_loading, true);
    return QuintelStore::Read(*this, bag, error);
}

void Quintel::WriteProperties(PropertyBag* bag) const {
    if (bag) WriteProperties(*bag);
}

bool Quintel::ReadProperties(PropertyBag* bag) {
    return bag && ReadProperties(*bag);
}

QString Quintel::PublishedName(const QString& enumName, int value) {
    for (const PublishedMember& member : kPublishedMembers) {
        if (member.value == value && enumName == QLatin1String(member.enumName)) {
            return QString::fromLatin1(member.name);
        }
    }
    return QString();
}

QuintelKeyRules::Settings Quintel::KeyRules() const {
    return {m_checkKey, m_checkCase, m_diameterKey, m_dateSeparator};
}

int Quintel::MinimumHeightPixels() const {
    // Rounded up, so that the height in pixels converted back to twips is never below the
    // minimum.
    return static_cast<int>(std::ceil(kMinimumHeightTwips * logicalDpiY() / 1440.0));
}

QSize Quintel::sizeHint() const {
    const QSize hint = txtBox->sizeHint();
    return {hint.width(), std::max(hint.height(), MinimumHeightPixels())};
}

void Quintel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int minimum = MinimumHeightPixels();
    if (minimumHeight() != minimum) setMinimumHeight(minimum);
    if (height() < minimum) {
        resize(width(), minimum);
        return;
    }
    txtBox->setGeometry(0, 0, width(), height());
}

void Quintel::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (txtBox->isEnabled() && isEnabled()) txtBox->setFocus(event->reason());
}

}  // namespace morvane
