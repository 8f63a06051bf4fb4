#include "tools/morvane-batch/BatchOptions.h"

#include <QCommandLineParser>
#include <limits>

namespace morvane {
namespace {

// One option of the tool: its name, the name of its value (empty for a switch), and help.
struct OptionEntry {
    const char* name;
    const char* valueName;
    const char* help;
};

const OptionEntry kOptions[] = {
    {"database", "PATH", "source database file (required)"},
    {"type", "N", "source database type, a ConnectString value (default 4: native format)"},
    {"password", "PW", "password of the source database"},
    {"table", "NAME", "table to export"},
    {"query", "NAME", "stored query to export (instead of --table)"},
    {"out", "FILE", "export file to write (required)"},
    {"ini", "FILE", "settings file"},
    {"setting", "NAME", "named export setting (default: the default setting)"},
    {"param", "NAME=VALUE", "value of a stored query's parameter (repeatable)"},
    {"overwrite", "", "replace an existing export file without asking"},
    {"progress", "", "show a progress line; Ctrl-C then stops after the current record"},
    {"summary", "", "show the end-of-export summary"},
    {"yes", "", "answer every question with Yes or OK"},
    {"no", "", "answer every question with No or Cancel"},
    {"help", "", "show this text"},
};

void AddOptions(QCommandLineParser& parser) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionEntry& entry : kOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(entry.name),
                                            QString::fromLatin1(entry.help),
                                            QString::fromLatin1(entry.valueName)));
}

// The value of an option given at most once; a repeated option is a usage error, since
// the later value would silently win over the earlier one.
bool SingleValue(const QCommandLineParser& parser, const char* name, QString& value,
                 QString& problem) {
    const QStringList values = parser.values(QString::fromLatin1(name));
    if (values.size() > 1) {
        problem = QStringLiteral("option --%1 given more than once").arg(QLatin1String(name));
        return false;
    }
    if (!values.isEmpty()) value = values.front();
    return true;
}

bool ParseType(const QString& text, qint16& type, QString& problem) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < std::numeric_limits<qint16>::min() ||
        value > std::numeric_limits<qint16>::max()) {
        problem = QStringLiteral("--type needs a whole number, not '%1'").arg(text);
        return false;
    }
    type = static_cast<qint16>(value);
    return true;
}

bool ReadValues(const QCommandLineParser& parser, BatchRequest& request, QString& problem) {
    QString type;
    const bool read = SingleValue(parser, "database", request.database, problem) &&
                      SingleValue(parser, "type", type, problem) &&
                      SingleValue(parser, "password", request.password, problem) &&
                      SingleValue(parser, "table", request.tableName, problem) &&
                      SingleValue(parser, "query", request.queryName, problem) &&
                      SingleValue(parser, "out", request.exportFile, problem) &&
                      SingleValue(parser, "ini", request.iniFile, problem) &&
                      SingleValue(parser, "setting", request.setting, problem);
    if (!read) return false;
    if (parser.isSet(QStringLiteral("type")) && !ParseType(type, request.connectType, problem))
        return false;
    for (const QString& param : parser.values(QStringLiteral("param"))) {
        const qsizetype equals = param.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            problem = QStringLiteral("--param needs NAME=VALUE, not '%1'").arg(param);
            return false;
        }
        request.parameters.insert(param.left(equals), param.mid(equals + 1));
    }
    request.overwrite = parser.isSet(QStringLiteral("overwrite"));
    request.display.progress = parser.isSet(QStringLiteral("progress"));
    request.display.summary = parser.isSet(QStringLiteral("summary"));
    if (parser.isSet(QStringLiteral("yes")))
        request.answers = ConsolePrompter::QuestionAnswer::AlwaysYes;
    if (parser.isSet(QStringLiteral("no")))
        request.answers = ConsolePrompter::QuestionAnswer::AlwaysNo;
    return true;
}

// Checks the combinations the parser itself cannot.
bool CheckRequest(const QCommandLineParser& parser, const BatchRequest& request, QString& problem) {
    if (!parser.positionalArguments().isEmpty())
        problem =
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().front());
    else if (request.database.isEmpty())
        problem = QStringLiteral("--database is required");
    else if (request.exportFile.isEmpty())
        problem = QStringLiteral("--out is required");
    else if (request.tableName.isEmpty() == request.queryName.isEmpty())
        problem = QStringLiteral("give exactly one of --table and --query");
    else if (parser.isSet(QStringLiteral("yes")) && parser.isSet(QStringLiteral("no")))
        problem = QStringLiteral("--yes and --no exclude each other");
    return problem.isEmpty();
}

}  // namespace

BatchParse ParseBatchArguments(const QStringList& arguments, BatchRequest& request,
                               QString& problem) {
    problem.clear();
    request = BatchRequest();
    QCommandLineParser parser;
    AddOptions(parser);
    // QCommandLineParser expects the program name first.
    if (!parser.parse(QStringList{QStringLiteral("morvane-batch")} + arguments)) {
        problem = parser.errorText();
        return BatchParse::Error;
    }
    if (parser.isSet(QStringLiteral("help"))) return BatchParse::Help;
    if (!ReadValues(parser, request, problem) || !CheckRequest(parser, request, problem))
        return BatchParse::Error;
    return BatchParse::Run;
}

QString BatchUsageText() {
    QString text = QStringLiteral(
        "usage: morvane-batch --database PATH [--type N] [--password PW]\n"
        "                     (--table NAME | --query NAME) --out FILE [--ini FILE]\n"
        "                     [--setting NAME] [--param NAME=VALUE]... [--overwrite]\n"
        "                     [--progress] [--summary] [--yes | --no]\n"
        "Exports one table or stored query without user interface.\n\n");
    for (const OptionEntry& entry : kOptions) {
        QString left = QStringLiteral("  --") + QLatin1String(entry.name);
        if (*entry.valueName) left += QLatin1Char(' ') + QLatin1String(entry.valueName);
        text += left.leftJustified(20) + QLatin1Char(' ') + QLatin1String(entry.help) + u'\n';
    }
    text += QStringLiteral(
        "\nExit status: 0 the export ran to its end with no error reported, 1 otherwise\n"
        "(an error box, even one the run continued past; a stop; a declined overwrite; a\n"
        "source not opened), 2 usage error.\n");
    return text;
}

}  // namespace morvane
