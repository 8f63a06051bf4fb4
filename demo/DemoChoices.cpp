#include "demo/DemoChoices.h"

#include <QDir>
#include <QFileInfo>

namespace morvane::demo {

namespace {

// The control's source types (its ConnectString values) for the three entries.
constexpr int kAccess = 4;
constexpr int kParadox5 = 7;
constexpr int kDBase5 = 10;

const QString kSettingsFileName = QStringLiteral("ExportSettings.ini");

}  // namespace

const std::vector<DemoChoice>& DemoChoices() {
    static const std::vector<DemoChoice> choices{
        {QStringLiteral("Access (*.mdb)"),
         {QStringLiteral("*.MDB"), QStringLiteral("*.SQLITE"), QStringLiteral("*.SQLITE3"),
          QStringLiteral("*.DB3")},
         kAccess,
         true},
        {QStringLiteral("Paradox (*.db)"), {QStringLiteral("*.DB")}, kParadox5, false},
        {QStringLiteral("DBase (*.Dbf)"), {QStringLiteral("*.DBF")}, kDBase5, false},
    };
    return choices;
}

DemoExport ExportFor(const DemoChoice& choice, const QString& folder, const QString& fileName,
                     const QString& iniFile) {
    DemoExport run;
    if (choice.FileIsDatabase) {
        // With no file selected the name ends with the separator and fails to open.
        run.DataBaseName = folder.endsWith(u'/') ? folder + fileName : folder + u'/' + fileName;
        run.MultiTable = true;
    } else {
        run.DataBaseName = folder;
        run.TableName = fileName;
        run.SetTableName = true;
        run.MultiTable = false;
    }
    run.ConnectString = choice.SourceType;
    run.IniFile = iniFile;
    return run;
}

bool HidesOutputKind(int fileType) {
    return (fileType >= 5 && fileType <= 7) || (fileType >= 16 && fileType <= 19) || fileType == 22;
}

QString SettingsFileFor(const QString& programFolder, const QString& configFolder) {
    const QFileInfo program(programFolder);
    if (program.isDir() && program.isWritable())
        return QDir(programFolder).filePath(kSettingsFileName);
    QDir().mkpath(configFolder);
    return QDir(configFolder).filePath(kSettingsFileName);
}

}  // namespace morvane::demo
