#include "textbox/gallery/GalleryWindow.h"

#include <QDate>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QRegularExpression>

#include "textbox/Quintel.h"

namespace morvane {

GalleryWindow::GalleryWindow(QWidget* parent) : QWidget(parent), m_grid(new QGridLayout(this)) {
    setWindowTitle(tr("Validating text box gallery"));
    m_grid->setColumnStretch(1, 1);
    m_grid->setColumnMinimumWidth(1, 220);

    Quintel* digits = AddBox(0, tr("Amount"));
    digits->SetCheckKey(Quintel::NumericalKeyCheck);
    digits->SetCheckValidation(Quintel::NumberValidation);
    digits->SetRequired(true);
    digits->SetAlignment(Quintel::RightAlign);
    digits->SetText(QLocale().toString(1234.5, 'f', 2));

    Quintel* date = AddBox(1, tr("Date"));
    date->SetCheckKey(Quintel::DateNumericalKeyCheck);
    date->SetDateSeparator(Quintel::Hyphen);
    date->SetCheckValidation(Quintel::DateValidation);
    // A numeric date in the locale's order, written the way the box lets one type it.
    QString dateFormat = QLocale().dateFormat(QLocale::ShortFormat);
    dateFormat.replace(QRegularExpression(QStringLiteral("M+")), QStringLiteral("MM"))
        .replace(QRegularExpression(QStringLiteral("[^dMy]+")), QStringLiteral("-"));
    date->SetText(QDate(1999, 12, 31).toString(dateFormat));

    Quintel* name = AddBox(2, tr("Surname"));
    name->SetCheckKey(Quintel::AlfaKeyCheck);
    name->SetCheckCase(Quintel::UpperCase);
    name->SetText(QStringLiteral("MÜLLER-LÜDENSCHEIDT"));

    Quintel* code = AddBox(3, tr("Code"));
    code->SetCheckKey(Quintel::AlfaNumericalKeyCheck);
    code->SetCheckCase(Quintel::LowerCase);
    code->SetAlignment(Quintel::CenterAlign);
    code->SetText(QStringLiteral("ab12.c3"));

    Quintel* pipe = AddBox(4, tr("Pipe (type µ for Ø)"));
    pipe->SetDiameterKey(181);
    pipe->SetText(QStringLiteral("Ø 12 mm"));

    Quintel* locked = AddBox(5, tr("Locked, flat"));
    locked->SetAppearance(Quintel::Flat);
    locked->SetForeColor(0x000080);  // dark red (0x00BBGGRR)
    locked->SetBackColor(0xE0FFFF);  // light yellow
    locked->SetLocked(true);
    locked->SetRequired(true);
    locked->SetText(QString());
}

Quintel* GalleryWindow::AddBox(int row, const QString& caption) {
    auto* box = new Quintel(this);
    box->setObjectName(QStringLiteral("Quintel%1").arg(row + 1));
    box->SetSelectionFocus(true);
    auto* describe = new QLabel(this);
    auto* verdict = new QLabel(this);
    m_grid->addWidget(new QLabel(caption, this), row, 0);
    m_grid->addWidget(box, row, 1);
    m_grid->addWidget(describe, row, 2);
    m_grid->addWidget(verdict, row, 3);
    auto refresh = [box, describe, verdict] {
        describe->setText(Describe(*box));
        verdict->setText(box->ValidationOK() ? tr("valid") : tr("invalid"));
    };
    connect(box, &Quintel::Change, this, refresh);
    connect(box, &Quintel::PropertyChanged, this, refresh);
    refresh();
    return box;
}

QString GalleryWindow::Describe(const Quintel& box) {
    QStringList parts{
        Quintel::PublishedName(QStringLiteral("enKeyCheck"), box.CheckKey()),
        Quintel::PublishedName(QStringLiteral("enCaseCheck"), box.CheckCase()),
        Quintel::PublishedName(QStringLiteral("enValidation"), box.CheckValidation())};
    if (box.CheckKey() == Quintel::DateNumericalKeyCheck) {
        parts << Quintel::PublishedName(QStringLiteral("enDateSeparator"), box.DateSeparator());
    }
    if (box.Required()) parts << tr("Required");
    return parts.join(QStringLiteral(", "));
}

}  // namespace morvane
