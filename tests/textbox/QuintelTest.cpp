// The control object: properties and where they live, change notification, rejected values,
// sizing, focus passing, select on focus, mouse events and ValidationOK under two locales.
#include <gtest/gtest.h>

#include <QMetaEnum>
#include <QSignalSpy>
#include <functional>

#include "tests/textbox/QuintelTestSupport.h"

namespace morvane {
namespace {

using quinteltest::HostWindow;

TEST(QuintelTest, NewInstanceStartsEmpty) {
    Quintel control;
    EXPECT_EQ(control.CheckKey(), Quintel::NoKeyCheck);
    EXPECT_EQ(control.CheckCase(), Quintel::NoCaseCheck);
    EXPECT_EQ(control.CheckValidation(), Quintel::NoValidation);
    EXPECT_EQ(control.DiameterKey(), 0);
    EXPECT_EQ(control.DateSeparator(), Quintel::Mixed);
    EXPECT_FALSE(control.SelectionFocus());
    EXPECT_FALSE(control.Required());
    EXPECT_TRUE(control.FriendlyName().isEmpty());
    EXPECT_TRUE(control.Text().isEmpty());
    // The inner box keeps its own initial settings.
    EXPECT_TRUE(control.Enabled());
    EXPECT_FALSE(control.Locked());
    EXPECT_EQ(control.Alignment(), Quintel::LeftAlign);
    EXPECT_EQ(control.Appearance(), Quintel::ThreeD);
    EXPECT_EQ(control.Borderstyle(), Quintel::FixedSingle);
}

TEST(QuintelTest, EverySetterMarksTheSavedStateChanged) {
    Quintel control;
    QSignalSpy changed(&control, &Quintel::PropertyChanged);
    const std::pair<const char*, std::function<void()>> setters[] = {
        {"CheckKey", [&] { control.SetCheckKey(Quintel::AlfaKeyCheck); }},
        {"CheckCase", [&] { control.SetCheckCase(Quintel::UpperCase); }},
        {"CheckValidation", [&] { control.SetCheckValidation(Quintel::DateValidation); }},
        {"Text", [&] { control.SetText(QStringLiteral("x")); }},
        {"FriendlyName", [&] { control.SetFriendlyName(QStringLiteral("Amount")); }},
        {"Alignment", [&] { control.SetAlignment(Quintel::RightAlign); }},
        {"Appearance", [&] { control.SetAppearance(Quintel::Flat); }},
        {"Fontname", [&] { control.SetFontname(QFont(QStringLiteral("Serif"))); }},
        {"Borderstyle", [&] { control.SetBorderstyle(Quintel::NoBorder); }},
        {"ForeColor", [&] { control.SetForeColor(0x0000FF); }},
        {"BackColor", [&] { control.SetBackColor(0xFF0000); }},
        {"DiameterKey", [&] { control.SetDiameterKey(181); }},
        {"DateSeparator", [&] { control.SetDateSeparator(Quintel::Hyphen); }},
        {"Enabled", [&] { control.SetEnabled(false); }},
        {"Locked", [&] { control.SetLocked(true); }},
        {"Required", [&] { control.SetRequired(true); }},
        {"SelectionFocus", [&] { control.SetSelectionFocus(true); }},
        {"Text", [&] { control.SetText(QStringLiteral("x")); }},  // the same value again
    };
    for (const auto& [name, set] : setters) {
        changed.clear();
        set();
        ASSERT_EQ(changed.count(), 1) << name;
        EXPECT_EQ(changed.at(0).at(0).toString(), QLatin1String(name));
    }
}

TEST(QuintelTest, InnerBoxPropertiesLiveInTheInnerBox) {
    Quintel control;
    auto* box = control.findChild<QLineEdit*>(QStringLiteral("txtBox"));
    ASSERT_NE(box, nullptr);
    control.SetText(QStringLiteral("abc"));
    EXPECT_EQ(box->text(), "abc");
    box->setText(QStringLiteral("def"));
    EXPECT_EQ(control.Text(), "def");
    const QString longText(40000, QLatin1Char('x'));  // beyond QLineEdit's default limit
    control.SetText(longText);
    EXPECT_EQ(control.Text(), longText);
    control.SetAlignment(Quintel::CenterAlign);
    EXPECT_TRUE(box->alignment() & Qt::AlignHCenter);
    control.SetForeColor(0x0000FF);  // 0x00BBGGRR: red
    EXPECT_EQ(box->palette().color(QPalette::Text), QColor(255, 0, 0));
    control.SetBackColor(0x102030);
    EXPECT_EQ(box->palette().color(QPalette::Base), QColor(0x30, 0x20, 0x10));
    EXPECT_EQ(control.BackColor(), 0x102030);
    control.SetLocked(true);
    EXPECT_TRUE(box->isReadOnly());
    control.SetEnabled(false);
    EXPECT_FALSE(box->isEnabled());
    EXPECT_TRUE(control.isEnabled()) << "Enabled acts on the inner box only";
    EXPECT_FALSE(control.Enabled());
    control.SetBorderstyle(Quintel::NoBorder);
    EXPECT_FALSE(box->hasFrame());
}

TEST(QuintelTest, RejectedValuesChangeNothing) {
    Quintel control;
    QSignalSpy changed(&control, &Quintel::PropertyChanged);
    QSignalSpy errors(&control, &Quintel::RuntimeErrorRaised);
    struct Case {
        const char* what;
        std::function<bool()> set;
        std::function<int()> get;
    };
    const Case cases[] = {
        {"Alignment 3", [&] { return control.SetAlignment(Quintel::enAlignment(3)); },
         [&] { return int(control.Alignment()); }},
        {"Alignment -1", [&] { return control.SetAlignment(Quintel::enAlignment(-1)); },
         [&] { return int(control.Alignment()); }},
        {"Appearance 2", [&] { return control.SetAppearance(Quintel::enAppearance(2)); },
         [&] { return int(control.Appearance()); }},
        {"Borderstyle 5", [&] { return control.SetBorderstyle(Quintel::enBorderStyle(5)); },
         [&] { return int(control.Borderstyle()); }},
        {"ForeColor -1", [&] { return control.SetForeColor(-1); },
         [&] { return control.ForeColor(); }},
        {"BackColor 0x1000000", [&] { return control.SetBackColor(0x1000000); },
         [&] { return control.BackColor(); }},
    };
    for (const Case& c : cases) {
        const int before = c.get();
        errors.clear();
        EXPECT_FALSE(c.set()) << c.what;
        EXPECT_EQ(c.get(), before) << c.what;
        ASSERT_EQ(errors.count(), 1) << c.what;
        EXPECT_EQ(errors.at(0).at(0).toInt(), 380);
        EXPECT_EQ(errors.at(0).at(1).toString(), "Invalid property value");
    }
    EXPECT_EQ(changed.count(), 0);
    // Through the meta-object system the value is refused the same way, and the error stays
    // readable until a value is accepted.
    control.setProperty("Alignment", 7);
    EXPECT_EQ(control.Alignment(), Quintel::LeftAlign);
    EXPECT_EQ(control.property("LastErrorNumber").toInt(), 380);
    EXPECT_EQ(control.property("LastError").toString(), "Invalid property value");
    EXPECT_TRUE(control.SetAlignment(Quintel::RightAlign));
    EXPECT_EQ(control.LastErrorNumber(), 0);
    EXPECT_TRUE(control.LastError().isEmpty());
}

TEST(QuintelTest, ChangeFollowsTextChanges) {
    Quintel control;
    QSignalSpy change(&control, &Quintel::Change);
    control.SetText(QStringLiteral("one"));
    EXPECT_EQ(change.count(), 1);
    control.SetText(QStringLiteral("two"));
    EXPECT_EQ(change.count(), 2);
    control.setProperty("Text", QStringLiteral("three"));
    EXPECT_EQ(change.count(), 3);
}

TEST(QuintelTest, PublishesEnumerationMemberNames) {
    struct Case {
        const char* enumName;
        int value;
        const char* name;
    };
    const Case cases[] = {
        {"enKeyCheck", 0, "No KeyCheck"},
        {"enKeyCheck", 2, "AlfaNumerical KeyCheck"},
        {"enKeyCheck", 4, "Numerical KeyCheck"},
        {"enCaseCheck", 1, "UpperCase"},
        {"enValidation", 2, "Number Validation"},
        {"enAlignment", 2, "Center Align"},
        {"enAppearance", 1, "3D"},
        {"enBorderStyle", 0, "None"},
        {"enBorderStyle", 1, "Fixed Single"},
        {"enDateSeparator", 47, "Slash"},
        {"enDateSeparator", 45, "Hyphen"},
        {"enKeyCheck", 5, ""},
        {"enDateSeparator", 1, ""},
        {"enUnknown", 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Quintel::PublishedName(QLatin1String(c.enumName), c.value), QLatin1String(c.name))
            << c.enumName << " " << c.value;
    }
    EXPECT_EQ(QMetaEnum::fromType<Quintel::enKeyCheck>().keyCount(), 5);
    EXPECT_EQ(QMetaEnum::fromType<Quintel::enDateSeparator>().keyToValue("Hyphen"), 45);
}

TEST(QuintelTest, NeverShorterThanTheMinimumHeight) {
    Quintel control;
    control.show();
    const double twipsPerPixel = 1440.0 / control.logicalDpiY();
    const int hundredTwips = qRound(100 / twipsPerPixel);
    control.resize(200, hundredTwips);
    EXPECT_GE(control.height() * twipsPerPixel, Quintel::kMinimumHeightTwips);
    EXPECT_LT((control.height() - 1) * twipsPerPixel, Quintel::kMinimumHeightTwips);
    const auto* box = control.findChild<QLineEdit*>(QStringLiteral("txtBox"));
    for (const QSize size : {QSize(200, hundredTwips), QSize(310, 60), QSize(90, 25)}) {
        control.resize(size);
        EXPECT_EQ(box->geometry(), QRect(QPoint(0, 0), control.size())) << size.width();
    }
}

TEST(QuintelTest, FocusPassesToTheInnerBoxOnlyWhenEnabled) {
    HostWindow host;
    host.control->setFocus();
    EXPECT_TRUE(host.box->hasFocus());
    host.other->setFocus();
    host.control->SetEnabled(false);
    host.control->setFocus();
    EXPECT_FALSE(host.box->hasFocus());
}

TEST(QuintelTest, SelectsTheWholeTextOnFocusWhenAsked) {
    for (const bool selectionFocus : {true, false}) {
        HostWindow host;
        host.control->SetSelectionFocus(selectionFocus);
        host.control->SetText(QStringLiteral("hello"));
        host.box->setCursorPosition(2);
        host.other->setFocus();
        QTest::keyClick(host.other, Qt::Key_Tab);
        ASSERT_TRUE(host.box->hasFocus());
        QCoreApplication::processEvents();
        EXPECT_EQ(host.box->selectedText(), selectionFocus ? "hello" : "") << selectionFocus;
        if (!selectionFocus) {
            EXPECT_EQ(host.box->cursorPosition(), 2);
        }

        // A mouse click gives the focus and places the caret; the selection still covers all.
        host.other->setFocus();
        QTest::mouseClick(host.box, Qt::LeftButton, {}, QPoint(3, host.box->height() / 2));
        QCoreApplication::processEvents();
        EXPECT_EQ(host.box->selectedText(), selectionFocus ? "hello" : "") << selectionFocus;
    }
}

TEST(QuintelTest, RaisesMouseEventsInTwips) {
    HostWindow host;
    QStringList log;
    auto record = [&](const char* name) {
        return [&log, name](short& button, short& shift, float& x, float& y) {
            log << QStringLiteral("%1 %2 %3 %4 %5")
                       .arg(QLatin1String(name))
                       .arg(button)
                       .arg(shift)
                       .arg(qRound(x))
                       .arg(qRound(y));
        };
    };
    QObject::connect(host.control, &Quintel::MouseDown, record("MouseDown"));
    QObject::connect(host.control, &Quintel::MouseUp, record("MouseUp"));
    QObject::connect(host.control, &Quintel::Click, [&] { log << QStringLiteral("Click"); });
    QObject::connect(host.control, &Quintel::DblClick, [&] { log << QStringLiteral("DblClick"); });
    const QPoint at(10, 6);
    const int x = qRound(10 * 1440.0 / host.box->logicalDpiX());
    const int y = qRound(6 * 1440.0 / host.box->logicalDpiY());
    QTest::mouseClick(host.box, Qt::RightButton, Qt::ShiftModifier, at);
    QTest::mouseClick(host.box, Qt::LeftButton, {}, at);
    const QStringList expected{QStringLiteral("MouseDown 2 1 %1 %2").arg(x).arg(y),
                               QStringLiteral("MouseUp 2 1 %1 %2").arg(x).arg(y),
                               QStringLiteral("MouseDown 1 0 %1 %2").arg(x).arg(y),
                               QStringLiteral("MouseUp 1 0 %1 %2").arg(x).arg(y), "Click"};
    EXPECT_EQ(log, expected);
    log.clear();
    QTest::mouseDClick(host.box, Qt::LeftButton, {}, at);
    EXPECT_TRUE(log.contains("DblClick")) << log.join(", ").toStdString();
}

TEST(QuintelTest, ValidationFollowsTheLocale) {
    struct Case {
        QLocale::Language language;
        QLocale::Territory territory;
        int validation;
        bool required;
        const char* text;
        bool expected;
    };
    const auto en = QLocale::English;
    const auto us = QLocale::UnitedStates;
    const auto de = QLocale::German;
    const auto ger = QLocale::Germany;
    const Case cases[] = {
        // Empty text: only Required decides, whatever the validation.
        {en, us, 0, false, "", true},
        {en, us, 1, false, "", true},
        {en, us, 2, false, "", true},
        {de, ger, 0, true, "", false},
        {de, ger, 1, true, "", false},
        {de, ger, 2, true, "", false},
        // No validation accepts any text.
        {en, us, 0, true, "abc", true},
        {en, us, 5, false, "abc", true},
        // Numbers.
        {en, us, 2, false, "12.5", true},
        {en, us, 2, false, "-1,234.5", true},
        {en, us, 2, false, " 42 ", true},
        {en, us, 2, false, "abc", false},
        {en, us, 2, false, "  ", false},
        {en, us, 2, false, "12,5", false},
        {de, ger, 2, false, "12,5", true},
        {de, ger, 2, false, "1.234,5", true},
        {de, ger, 2, false, "abc", false},
        {de, ger, 2, false, "12.5", false},
        // Dates.
        {en, us, 1, false, "12/31/1999", true},
        {en, us, 1, false, "12-31-99", true},
        {en, us, 1, false, "31/12/1999", false},
        {en, us, 1, false, "1999-12-31", true},
        {en, us, 1, false, "hello", false},
        {de, ger, 1, false, "31.12.1999", true},
        {de, ger, 1, false, "31-12-1999", true},
        {de, ger, 1, false, "1.2.99", true},
        {de, ger, 1, false, "12/31/1999", false},
        {de, ger, 1, false, "31.02.1999", false},
        {de, ger, 1, false, "1999-12-31", true},
        // A locale whose short format names the month also reads the numeric form.
        {QLocale::C, QLocale::AnyTerritory, 1, false, "31/12/1999", true},
        {QLocale::C, QLocale::AnyTerritory, 1, false, "31 Dec 1999", true},
        {QLocale::C, QLocale::AnyTerritory, 1, false, "12/31/1999", false},
    };
    Quintel control;
    for (const Case& c : cases) {
        control.setLocale(QLocale(c.language, c.territory));
        control.SetCheckValidation(Quintel::enValidation(c.validation));
        control.SetRequired(c.required);
        control.SetText(QLatin1String(c.text));
        EXPECT_EQ(control.ValidationOK(), c.expected)
            << QLocale(c.language, c.territory).name().toStdString() << " " << c.validation << " '"
            << c.text << "'";
    }
}

}  // namespace
}  // namespace morvane
