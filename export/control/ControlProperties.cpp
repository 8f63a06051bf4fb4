#include "export/control/ControlProperties.h"

#include <limits>

namespace morvane {
namespace {

QVariant Short(qint16 value) {
    return QVariant::fromValue<qint16>(value);
}

std::vector<PropertyDefinition> BuildDefinitions() {
    const QString crlf = QStringLiteral("\r\n");
    return {
        {"DataBaseName", QString(),
         "Name of the databaset that contains the tables  that will be exported."},
        {"Password", QString(),
         "Set this field to open a password protected database, it avoids displaying the "
         "password dialog."},
        {"Username", QString(), QString()},
        {"ConnectString", Short(TypeConnect::Access), "To specify the database source type"},
        {"ExportCaption", QStringLiteral("Export Data"),
         "Set this property to display a caption (window title) that suites your needs."},
        {"IniFile", QString(),
         "Set this property to the name of the IniFile that will contain the settings that "
         "the user will save."},
        {"ExportFile", QString(),
         "Set this property to initialize the edit box file name. If you don't set this "
         "property the edit box will be empty (if it's the first export ) or will hold the "
         "last used filename."},
        {"HelpID", Short(0),
         "If you provide a help file you must set this property to point to your help file "
         "topic.number." +
             crlf + "Leave it to zero if you don't provide a help file."},
        {"ShowProgress", true,
         "This property enables you to show or hide the progress bar, this can be useful "
         "when doing batch processing (no user interaction), and also to speedup the export "
         "process."},
        {"ShowSummary", true,
         "This property enables you to display a dialog box at the end, that displays the "
         "number of records exported." +
             crlf + "Set it to false when doing batch processing (no user interaction)."},
        {"QuitAfterExport", false,
         "This property enables you to decide weather the wizard dialog will close itself "
         "after finishing the export." +
             crlf +
             "By default it is set to 'False', i.e the dialog will stay until the user clicks "
             "on the button cancel."},
        {"MultiTable", false,
         "Set this property to True to allow the user to choose which table to export from "
         "the DataBase."},
        {"TableName", QString(),
         "Use this property when you want to export only one table (MultiTable set to "
         "False)."},
        {"QueryName", QString(), QString()},
        {"OverWrite", false,
         "If set to True, the component will overwrite the destination file without asking."},
    };
}

// Converts value to the type of the default; false when it does not convert (or, for the
// 16-bit properties, does not fit).
bool ConvertLike(const QVariant& defaultValue, const QVariant& value, QVariant& out) {
    if (!value.isValid()) return false;
    const int type = defaultValue.metaType().id();
    if (type == QMetaType::Short) {
        bool ok = false;
        const qlonglong number = value.toLongLong(&ok);
        if (!ok || number < std::numeric_limits<qint16>::min() ||
            number > std::numeric_limits<qint16>::max())
            return false;
        out = Short(qint16(number));
        return true;
    }
    if (!value.canConvert(defaultValue.metaType())) return false;
    out = type == QMetaType::Bool ? QVariant(value.toBool()) : QVariant(value.toString());
    return true;
}

}  // namespace

const std::vector<PropertyDefinition>& PropertyDefinitions() {
    static const std::vector<PropertyDefinition> definitions = BuildDefinitions();
    return definitions;
}

const PropertyDefinition* FindPropertyDefinition(const QString& key) {
    for (const PropertyDefinition& definition : PropertyDefinitions())
        if (definition.key == key) return &definition;
    return nullptr;
}

QVariant ControlProperties::Get(const QString& key) const {
    if (key == QLatin1String("DataBaseName")) return DataBaseName;
    if (key == QLatin1String("Password")) return Password;
    if (key == QLatin1String("Username")) return Username;
    if (key == QLatin1String("ConnectString")) return Short(ConnectString);
    if (key == QLatin1String("ExportCaption")) return ExportCaption;
    if (key == QLatin1String("IniFile")) return IniFile;
    if (key == QLatin1String("ExportFile")) return ExportFile;
    if (key == QLatin1String("HelpID")) return Short(HelpID);
    if (key == QLatin1String("ShowProgress")) return ShowProgress;
    if (key == QLatin1String("ShowSummary")) return ShowSummary;
    if (key == QLatin1String("QuitAfterExport")) return QuitAfterExport;
    if (key == QLatin1String("MultiTable")) return MultiTable;
    if (key == QLatin1String("TableName")) return TableName;
    if (key == QLatin1String("QueryName")) return QueryName;
    if (key == QLatin1String("OverWrite")) return OverWrite;
    return {};
}

bool ControlProperties::Set(const QString& key, const QVariant& value) {
    const PropertyDefinition* definition = FindPropertyDefinition(key);
    QVariant typed;
    if (definition == nullptr || !ConvertLike(definition->defaultValue, value, typed)) return false;
    if (key == QLatin1String("DataBaseName"))
        DataBaseName = typed.toString();
    else if (key == QLatin1String("Password"))
        Password = typed.toString();
    else if (key == QLatin1String("Username"))
        Username = typed.toString();
    else if (key == QLatin1String("ConnectString"))
        ConnectString = typed.value<qint16>();
    else if (key == QLatin1String("ExportCaption"))
        ExportCaption = typed.toString();
    else if (key == QLatin1String("IniFile"))
        IniFile = typed.toString();
    else if (key == QLatin1String("ExportFile"))
        ExportFile = typed.toString();
    else if (key == QLatin1String("HelpID"))
        HelpID = typed.value<qint16>();
    else if (key == QLatin1String("ShowProgress"))
        ShowProgress = typed.toBool();
    else if (key == QLatin1String("ShowSummary"))
        ShowSummary = typed.toBool();
    else if (key == QLatin1String("QuitAfterExport"))
        QuitAfterExport = typed.toBool();
    else if (key == QLatin1String("MultiTable"))
        MultiTable = typed.toBool();
    else if (key == QLatin1String("TableName"))
        TableName = typed.toString();
    else if (key == QLatin1String("QueryName"))
        QueryName = typed.toString();
    else
        OverWrite = typed.toBool();
    return true;
}

void ControlProperties::ReadFrom(const PropertyBag& bag) {
    for (const PropertyDefinition& definition : PropertyDefinitions()) {
        const QVariant value = bag.ReadProperty(definition.key, definition.defaultValue);
        if (!Set(definition.key, value)) Set(definition.key, definition.defaultValue);
    }
}

void ControlProperties::WriteTo(PropertyBag& bag) const {
    for (const PropertyDefinition& definition : PropertyDefinitions())
        bag.WriteProperty(definition.key, Get(definition.key), definition.defaultValue);
}

bool ControlProperties::operator==(const ControlProperties& other) const {
    for (const PropertyDefinition& definition : PropertyDefinitions())
        if (Get(definition.key) != other.Get(definition.key)) return false;
    return true;
}

}  // namespace morvane
