#include "textbox/QuintelStore.h"

#include <QApplication>
#include <QFont>
#include <limits>
#include <optional>
#include <type_traits>

#include "textbox/Quintel.h"

namespace morvane {

namespace {

// Writing passes no default, so that no bag leaves a value out for equalling its default.
void Put(PropertyBag& bag, const char* key, const QVariant& value) {
    bag.WriteProperty(QString::fromLatin1(key), value, QVariant());
}

std::optional<qint64> ToInteger(const QVariant& value) {
    if (value.typeId() == QMetaType::Bool) return std::nullopt;
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (!ok) return std::nullopt;
    return number;
}

std::optional<qint32> ToInt32(const QVariant& value) {
    const auto number = ToInteger(value);
    if (!number || *number < std::numeric_limits<qint32>::min() ||
        *number > std::numeric_limits<qint32>::max()) {
        return std::nullopt;
    }
    return static_cast<qint32>(*number);
}

std::optional<qint16> ToInt16(const QVariant& value) {
    const auto number = ToInteger(value);
    if (!number || *number < std::numeric_limits<qint16>::min() ||
        *number > std::numeric_limits<qint16>::max()) {
        return std::nullopt;
    }
    return static_cast<qint16>(*number);
}

// Booleans are taken as bool, as integers (0 false, anything else true) or as the texts
// "true"/"false" in any case; QVariant's own conversion would take any other text as true.
std::optional<bool> ToBool(const QVariant& value) {
    if (value.typeId() == QMetaType::Bool) return value.toBool();
    if (const auto number = ToInteger(value)) return *number != 0;
    const QString text = value.toString().trimmed();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    return std::nullopt;
}

std::optional<QString> ToFace(const QVariant& value) {
    if (value.typeId() == QMetaType::QFont) return value.value<QFont>().family();
    if (value.typeId() != QMetaType::QString) return std::nullopt;
    QFont font;
    if (!font.fromString(value.toString()) || font.family().isEmpty()) return std::nullopt;
    return font.family();
}

std::optional<QString> ToText(const QVariant& value) {
    if (value.typeId() == QMetaType::QFont || !value.canConvert<QString>()) return std::nullopt;
    return value.toString();
}

// Reads keys one after another and applies each value; the first value that cannot be
// converted or that its setter rejects stops every later key.
class KeyReader {
  public:
    explicit KeyReader(const PropertyBag& bag) : m_bag(bag) {}

    template <typename Convert, typename Apply>
    void Value(const char* key, const QVariant& fallback, Convert convert, Apply apply) {
        if (!m_failedKey.isEmpty()) return;
        const auto value = convert(m_bag.ReadProperty(QString::fromLatin1(key), fallback));
        bool applied = value.has_value();
        if (applied) {
            if constexpr (std::is_void_v<decltype(apply(*value))>) {
                apply(*value);
            } else {
                applied = apply(*value);
            }
        }
        if (!applied) m_failedKey = QString::fromLatin1(key);
    }

    const QString& FailedKey() const { return m_failedKey; }

  private:
    const PropertyBag& m_bag;
    QString m_failedKey;
};

QFont AmbientFont(const Quintel& control) {
    return control.parentWidget() ? control.parentWidget()->font() : QApplication::font();
}

}  // namespace

void QuintelStore::Write(const Quintel& control, PropertyBag& bag) {
    Put(bag, "CheckKey", qint32(control.CheckKey()));
    Put(bag, "CheckCase", qint32(control.CheckCase()));
    Put(bag, "CheckValidation", qint32(control.CheckValidation()));
    Put(bag, "PropText", control.Text());
    Put(bag, "PropFriendlyName", control.FriendlyName());
    Put(bag, "PropAlignment", qint32(control.Alignment()));
    Put(bag, "PropAppearance", qint32(control.Appearance()));
    Put(bag, "PropFontname", control.Fontname());
    Put(bag, "PropBorderStyle", qint32(control.Borderstyle()));
    Put(bag, "PropForeColor", control.ForeColor());
    Put(bag, "PropBackColor", control.BackColor());
    Put(bag, "PropDiameterKey", QVariant::fromValue<qint16>(control.DiameterKey()));
    Put(bag, "PropDateSeparator", qint32(control.DateSeparator()));
    Put(bag, "SwitchEnabled", control.Enabled());
    Put(bag, "SwitchLocked", control.Locked());
    Put(bag, "SwitchRequired", control.Required());
    Put(bag, "SwitchSelectionFocus", control.SelectionFocus());
}

bool QuintelStore::Read(Quintel& control, const PropertyBag& bag, QString* error) {
    using Q = Quintel;
    KeyReader read(bag);
    read.Value("CheckKey", 0, ToInt32, [&](qint32 v) { control.SetCheckKey(Q::enKeyCheck(v)); });
    read.Value("CheckCase", 0, ToInt32, [&](qint32 v) { control.SetCheckCase(Q::enCaseCheck(v)); });
    read.Value("CheckValidation", 0, ToInt32,
               [&](qint32 v) { control.SetCheckValidation(Q::enValidation(v)); });
    read.Value("PropText", control.objectName(), ToText,
               [&](const QString& v) { control.SetText(v); });
    read.Value("PropFriendlyName", QString(), ToText,
               [&](const QString& v) { control.SetFriendlyName(v); });
    read.Value("PropAlignment", 0, ToInt32,
               [&](qint32 v) { return control.SetAlignment(Q::enAlignment(v)); });
    read.Value("PropAppearance", 1, ToInt32,
               [&](qint32 v) { return control.SetAppearance(Q::enAppearance(v)); });
    read.Value("PropFontname", AmbientFont(control), ToFace,
               [&](const QString& face) { control.ApplyFontFace(face); });
    read.Value("PropBorderStyle", 1, ToInt32,
               [&](qint32 v) { return control.SetBorderstyle(Q::enBorderStyle(v)); });
    read.Value("PropForeColor", 0, ToInt32, [&](qint32 v) { return control.SetForeColor(v); });
    read.Value("PropBackColor", 0xFFFFFF, ToInt32,
               [&](qint32 v) { return control.SetBackColor(v); });
    read.Value("PropDiameterKey", 181, ToInt16, [&](qint16 v) { control.SetDiameterKey(v); });
    read.Value("PropDateSeparator", 0, ToInt32,
               [&](qint32 v) { control.SetDateSeparator(Q::enDateSeparator(v)); });
    read.Value("SwitchEnabled", true, ToBool, [&](bool v) { control.SetEnabled(v); });
    read.Value("SwitchLocked", false, ToBool, [&](bool v) { control.SetLocked(v); });
    read.Value("SwitchRequired", false, ToBool, [&](bool v) { control.SetRequired(v); });
    read.Value("SwitchSelectionFocus", true, ToBool, [&](bool v) { control.SetSelectionFocus(v); });
    if (read.FailedKey().isEmpty()) return true;
    if (error) *error = QStringLiteral("Invalid property value: %1").arg(read.FailedKey());
    return false;
}

}  // namespace morvane
