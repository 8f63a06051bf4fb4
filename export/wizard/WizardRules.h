// The wizard's navigation and destination-name rules, with no widget: which step Next and
// Back lead to for each output kind, which command buttons are enabled, the file-name
// extension of each output kind, and the browse dialog's filter list with the mapping of a
// chosen filter back to an output kind.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace morvane {

//! Number of step frames (0 to 5).
constexpr int WizardStepCount = 6;

//! The step Next leads to from `step` for output kind `kind`.
int NextStep(int step, int kind);
//! The step Back leads to from `step` for output kind `kind`.
int PrevStep(int step, int kind);

//! Enabled state of the wizard's command buttons.
struct StepButtons {
    bool Next = false;
    bool Prev = false;
    bool Finish = false;
    bool SaveSetting = false;
};

StepButtons ComputeStepButtons(int currentStep, int firstStep, int selectedCount,
                               bool fileNameEmpty);

//! The file-name extension of output kind `kind` ("txt", "html", "mdb", "db", "dbf",
//! "xls", "wk"), empty for ODBC and for a value out of range.
QString KindExtension(int kind);

//! The destination name after choosing output kind `newKind`: the extension of the file's
//! own name (after the last "/") becomes the kind's; an empty name stays empty, a name
//! ending in "." gets the extension appended, and a name whose extension already is the
//! kind's (compared exactly) stays as it is. Only the final extension changes, so "."
//! inside folder names or earlier in the name is never touched.
QString FileNameForKind(const QString& fileName, int newKind);

//! The save dialog's filter list for the output kinds still offered, in list order:
//! "All Files", "Text Files", then one entry per group of kinds present.
struct SaveFilter {
    QStringList Names;     //!< entry texts, "All Files (*.*)" ... (entry i+1 is Names[i])
    QStringList Patterns;  //!< the matching patterns ("*.*", "*.txt;*.csv", ...)
    QVector<int> Groups;   //!< the group of each entry (FilterGroup values)
    int Preselected = 1;   //!< 1-based entry preselected for the current kind

    //! The filter as one "text|pattern|text|pattern" string.
    QString Text() const;
};

//! Filter groups: entry 1 All Files, entry 2 Text, then the database families.
enum FilterGroup {
    GroupAll,
    GroupText,
    GroupHtml,
    GroupAccess,
    GroupParadox,
    GroupXbase,
    GroupExcel,
    GroupLotus,
    GroupNone
};

//! The group a kind's files are listed under (GroupText for Variable and Fixed,
//! GroupNone for ODBC).
FilterGroup KindGroup(int kind);

SaveFilter BuildSaveFilter(const QVector<int>& offeredKinds, int currentKind);

//! The output kind for the 1-based filter `entry` the user left selected: within a group
//! the first kind that `allowed` accepts in the group's preference order, the group's last
//! kind without asking; "All Files" keeps currentKind.
int KindForFilter(const SaveFilter& filter, int entry, int currentKind,
                  const std::function<bool(int)>& allowed);

}  // namespace morvane
