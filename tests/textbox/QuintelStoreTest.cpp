// Saving and loading a Quintel through a property bag: keys, order, types, the loading
// defaults, the font rule, and loads stopped by values that cannot be applied.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>

#include "propertybag/FilePropertyBag.h"
#include "propertybag/MemoryPropertyBag.h"
#include "textbox/Quintel.h"

namespace morvane {
namespace {

const QStringList kKeys{"CheckKey",          "CheckCase",           "CheckValidation",
                        "PropText",          "PropFriendlyName",    "PropAlignment",
                        "PropAppearance",    "PropFontname",        "PropBorderStyle",
                        "PropForeColor",     "PropBackColor",       "PropDiameterKey",
                        "PropDateSeparator", "SwitchEnabled",       "SwitchLocked",
                        "SwitchRequired",    "SwitchSelectionFocus"};

void ConfigureEverything(Quintel& control) {
    control.SetCheckKey(Quintel::DateNumericalKeyCheck);
    control.SetCheckCase(Quintel::LowerCase);
    control.SetCheckValidation(Quintel::DateValidation);
    control.SetText(QStringLiteral("31-12-1999"));
    control.SetFriendlyName(QStringLiteral("Birthday"));
    control.SetAlignment(Quintel::CenterAlign);
    control.SetAppearance(Quintel::Flat);
    control.SetBorderstyle(Quintel::NoBorder);
    control.SetForeColor(0x123456);
    control.SetBackColor(0x00FFEE);
    control.SetDiameterKey(-5);
    control.SetDateSeparator(Quintel::Hyphen);
    control.SetEnabled(false);
    control.SetLocked(true);
    control.SetRequired(true);
    control.SetSelectionFocus(false);
}

void ExpectSameProperties(const Quintel& loaded, const Quintel& saved) {
    for (const char* property :
         {"CheckKey", "CheckCase", "CheckValidation", "Text", "FriendlyName", "Alignment",
          "Appearance", "Borderstyle", "ForeColor", "BackColor", "DiameterKey", "DateSeparator",
          "Enabled", "Locked", "Required", "SelectionFocus"}) {
        EXPECT_EQ(loaded.property(property), saved.property(property)) << property;
    }
    EXPECT_EQ(loaded.Fontname().family(), saved.Fontname().family());
}

TEST(QuintelStoreTest, WritesEveryKeyInOrderWithItsType) {
    Quintel control;
    // A bag that leaves out defaults must still receive every value.
    MemoryPropertyBag bag(PropertyBagOptions{true});
    control.WriteProperties(bag);
    EXPECT_EQ(bag.Keys(), kKeys);
    ASSERT_EQ(bag.WriteLog().size(), size_t(kKeys.size()));
    const QMetaType::Type types[] = {
        QMetaType::Int,  QMetaType::Int,   QMetaType::Int,   QMetaType::QString, QMetaType::QString,
        QMetaType::Int,  QMetaType::Int,   QMetaType::QFont, QMetaType::Int,     QMetaType::Int,
        QMetaType::Int,  QMetaType::Short, QMetaType::Int,   QMetaType::Bool,    QMetaType::Bool,
        QMetaType::Bool, QMetaType::Bool};
    for (int key_idx = 0; key_idx < kKeys.size(); ++key_idx) {
        EXPECT_EQ(bag.Value(kKeys[key_idx]).typeId(), types[key_idx]) << key_idx;
    }
}

TEST(QuintelStoreTest, RoundTripsThroughMemoryAndFileBags) {
    QWidget form;
    Quintel saved(&form);
    ConfigureEverything(saved);
    saved.SetFontname(QFont(QStringLiteral("Some Face"), 14));

    MemoryPropertyBag memory;
    saved.WriteProperties(memory);
    Quintel fromMemory(&form);
    QSignalSpy changed(&fromMemory, &Quintel::PropertyChanged);
    QSignalSpy textChange(&fromMemory, &Quintel::Change);
    ASSERT_TRUE(fromMemory.ReadProperties(memory));
    ExpectSameProperties(fromMemory, saved);
    EXPECT_EQ(changed.count(), 0) << "a load leaves nothing to save";
    EXPECT_EQ(textChange.count(), 1) << "Change still follows the text";

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FilePropertyBag file(dir.filePath(QStringLiteral("form.props")));
    saved.WriteProperties(file);
    ASSERT_TRUE(file.Save());
    FilePropertyBag reread(dir.filePath(QStringLiteral("form.props")));
    ASSERT_TRUE(reread.Load());
    Quintel fromFile(&form);
    QString error;
    ASSERT_TRUE(fromFile.ReadProperties(reread, &error)) << error.toStdString();
    ExpectSameProperties(fromFile, saved);
}

TEST(QuintelStoreTest, LoadTakesOnlyTheFontFace) {
    Quintel saved;
    QFont big(QStringLiteral("Saved Face"), 12);
    big.setBold(true);
    big.setItalic(true);
    saved.SetFontname(big);
    MemoryPropertyBag bag;
    saved.WriteProperties(bag);

    Quintel loaded;
    loaded.SetFontname(QFont(QStringLiteral("Other Face"), 8));
    ASSERT_TRUE(loaded.ReadProperties(bag));
    const QFont font = loaded.Fontname();
    EXPECT_EQ(font.family(), "Saved Face");
    EXPECT_EQ(font.pointSize(), 8);
    EXPECT_FALSE(font.bold());
    EXPECT_FALSE(font.italic());
}

TEST(QuintelStoreTest, MissingKeysLoadTheirDefaults) {
    QWidget form;
    form.setFont(QFont(QStringLiteral("Ambient Face"), 11));
    Quintel control(&form);
    control.setObjectName(QStringLiteral("Quintel7"));
    control.SetFontname(QFont(QStringLiteral("Own Face"), 9));
    MemoryPropertyBag empty;
    ASSERT_TRUE(control.ReadProperties(empty));
    EXPECT_EQ(control.CheckKey(), 0);
    EXPECT_EQ(control.Text(), "Quintel7");
    EXPECT_EQ(control.FriendlyName(), "");
    EXPECT_EQ(control.Alignment(), Quintel::LeftAlign);
    EXPECT_EQ(control.Appearance(), Quintel::ThreeD);
    EXPECT_EQ(control.Borderstyle(), Quintel::FixedSingle);
    EXPECT_EQ(control.ForeColor(), 0);
    EXPECT_EQ(control.BackColor(), 0xFFFFFF);
    EXPECT_EQ(control.DiameterKey(), 181);
    EXPECT_EQ(control.DateSeparator(), Quintel::Mixed);
    EXPECT_TRUE(control.Enabled());
    EXPECT_FALSE(control.Locked());
    EXPECT_FALSE(control.Required());
    EXPECT_TRUE(control.SelectionFocus());
    EXPECT_EQ(control.Fontname().family(), "Ambient Face");
    EXPECT_EQ(control.Fontname().pointSize(), 9);
    EXPECT_TRUE(empty.Keys().isEmpty()) << "loading writes nothing";
}

TEST(QuintelStoreTest, StopsAtTheFirstValueThatCannotBeApplied) {
    struct Case {
        const char* key;
        QVariant value;
    };
    const Case cases[] = {
        {"PropAlignment", 7},
        {"PropAppearance", -1},
        {"PropForeColor", QStringLiteral("red")},
        {"PropDiameterKey", 70000},
        {"SwitchLocked", QStringLiteral("perhaps")},
        {"CheckCase", 4294967296LL},
        {"PropFontname", 12},
    };
    for (const Case& c : cases) {
        MemoryPropertyBag bag;
        Quintel saved;
        saved.SetCheckKey(Quintel::NumericalKeyCheck);
        saved.SetRequired(true);
        saved.WriteProperties(bag);
        bag.SetValue(QLatin1String(c.key), c.value);

        Quintel loaded;
        QString error;
        EXPECT_FALSE(loaded.ReadProperties(bag, &error)) << c.key;
        EXPECT_TRUE(error.contains(QLatin1String(c.key))) << error.toStdString();
        EXPECT_EQ(loaded.CheckKey(), Quintel::NumericalKeyCheck) << "applied before: " << c.key;
        EXPECT_FALSE(loaded.Required()) << "not reached: " << c.key;
    }
}

TEST(QuintelStoreTest, ReadsLooselyTypedValues) {
    // Values a text-based store may hand back: numbers and switches as text.
    MemoryPropertyBag bag;
    bag.SetValue(QStringLiteral("CheckKey"), QStringLiteral("4"));
    bag.SetValue(QStringLiteral("PropDiameterKey"), 216);
    bag.SetValue(QStringLiteral("SwitchRequired"), QStringLiteral("True"));
    bag.SetValue(QStringLiteral("SwitchSelectionFocus"), 0);
    bag.SetValue(QStringLiteral("PropFontname"), QStringLiteral("Bare Face"));
    Quintel control;
    ASSERT_TRUE(control.ReadProperties(bag));
    EXPECT_EQ(control.CheckKey(), Quintel::NumericalKeyCheck);
    EXPECT_EQ(control.DiameterKey(), 216);
    EXPECT_TRUE(control.Required());
    EXPECT_FALSE(control.SelectionFocus());
    EXPECT_EQ(control.Fontname().family(), "Bare Face");
}

}  // namespace
}  // namespace morvane
