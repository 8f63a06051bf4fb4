// DemoChoices: what the demo window does with the user's choice, without any widget.
//
// The three kinds of source in the window's drop-down list, the file pattern each shows and
// the control's source type (ConnectString) for it; the properties an export sets from the
// chosen folder and file; and where the settings file lives.
//
// Usage:
//   const DemoChoice& choice = DemoChoices()[index];          // "Paradox (*.db)" ...
//   DemoExport run = ExportFor(choice, "/data/tables", "CUSTOMER.DB", settingsFile);
//   control->setProperty("DataBaseName", run.DataBaseName);  // and the others
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace morvane::demo {

struct DemoChoice {
    QString Text;          //!< the entry of the drop-down list
    QStringList Patterns;  //!< the file list's patterns (matched without regard to case)
    int SourceType;        //!< the control's ConnectString for this kind of source
    bool FileIsDatabase;   //!< true: the file is the database (several tables in it);
                           //!< false: the folder is the database and the file one table
};

//! The three entries, in list order: "Access (*.mdb)", "Paradox (*.db)", "DBase (*.Dbf)".
//! The first one also lists the native format's files, which the same source type opens.
const std::vector<DemoChoice>& DemoChoices();

//! The control's properties for one export.
struct DemoExport {
    QString DataBaseName;
    QString TableName;  //!< set only for a one-table source (the folder is the database)
    bool SetTableName = false;
    bool MultiTable = false;
    int ConnectString = 0;
    QString IniFile;
};

//! The properties for exporting `fileName` (may be empty: nothing selected) found in
//! `folder`, with the settings file `iniFile`. Nothing is checked here: a missing
//! selection gives a database or table name the wizard fails to open, and reports.
DemoExport ExportFor(const DemoChoice& choice, const QString& folder, const QString& fileName,
                     const QString& iniFile);

//! Whether the demo hides output kind `fileType` from the wizard: the Paradox kinds (5 to
//! 7), the Excel kinds (16 to 19) and Lotus WK3 (22).
bool HidesOutputKind(int fileType);

//! The settings file: "ExportSettings.ini" in the program's folder when that folder can
//! be written, so settings saved in one run are offered in the next; otherwise (an
//! installed program) the same name in `configFolder`, the user's configuration folder,
//! which is created when missing.
QString SettingsFileFor(const QString& programFolder, const QString& configFolder);

}  // namespace morvane::demo
