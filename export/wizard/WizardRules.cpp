#include "export/wizard/WizardRules.h"

#include "export/common/FileNames.h"
#include "export/engine/TypeConnect.h"

namespace morvane {

namespace {

//! The options step of a kind (2 delimited, 3 fixed, 4 HTML page), -1 for kinds without.
int OptionsStep(int kind) {
    if (kind == TypeConnect::Variable) return 2;
    if (kind == TypeConnect::Fixed) return 3;
    if (kind == TypeConnect::HtmlPage) return 4;
    return -1;
}

}  // namespace

int NextStep(int step, int kind) {
    if (step == 1) return OptionsStep(kind) == -1 ? 5 : OptionsStep(kind);
    if (step == 2 || step == 3) return 5;
    return step + 1;
}

int PrevStep(int step, int kind) {
    if (step == 5) return OptionsStep(kind) == -1 ? 1 : OptionsStep(kind);
    if (step == 3 || step == 4) return 1;
    return step - 1;
}

StepButtons ComputeStepButtons(int currentStep, int firstStep, int selectedCount,
                               bool fileNameEmpty) {
    StepButtons buttons;
    buttons.Next = currentStep != WizardStepCount - 1;
    buttons.Prev = currentStep != firstStep;
    buttons.Finish = buttons.SaveSetting = selectedCount >= 1;
    if (currentStep == 1 && fileNameEmpty) buttons.Next = false;
    return buttons;
}

QString KindExtension(int kind) {
    if (kind >= TypeConnect::Variable && kind <= TypeConnect::HtmlTags)
        return QStringLiteral("txt");
    if (kind == TypeConnect::HtmlPage) return QStringLiteral("html");
    if (kind == TypeConnect::Access) return QStringLiteral("mdb");
    if (kind >= TypeConnect::Paradox3 && kind <= TypeConnect::Paradox5) return QStringLiteral("db");
    if (kind >= TypeConnect::DBase3 && kind <= TypeConnect::FOXPRO30) return QStringLiteral("dbf");
    if (kind >= TypeConnect::Excel3 && kind <= TypeConnect::Excel97) return QStringLiteral("xls");
    if (kind >= TypeConnect::Lotus && kind <= TypeConnect::Lotus3) return QStringLiteral("wk");
    return QString();
}

QString FileNameForKind(const QString& fileName, int newKind) {
    if (fileName.isEmpty()) return fileName;
    const QString oldExt = FileExtension(fileName);
    const QString newExt = KindExtension(newKind);
    if (newExt == oldExt) return fileName;
    if (!oldExt.isEmpty()) {
        // The extension stands at the end of the trimmed name, after its last ".".
        const QString trimmed = fileName.trimmed();
        const qsizetype lead = fileName.indexOf(trimmed);
        const qsizetype dot = trimmed.lastIndexOf(u'.');
        return fileName.left(lead) + trimmed.left(dot + 1) + newExt;
    }
    if (fileName.endsWith(u'.')) return fileName + newExt;
    return fileName + u'.' + newExt;
}

FilterGroup KindGroup(int kind) {
    if (kind == TypeConnect::Variable || kind == TypeConnect::Fixed) return GroupText;
    if (kind == TypeConnect::HtmlTags || kind == TypeConnect::HtmlPage) return GroupHtml;
    if (kind == TypeConnect::Access) return GroupAccess;
    if (kind >= TypeConnect::Paradox3 && kind <= TypeConnect::Paradox5) return GroupParadox;
    if (kind >= TypeConnect::DBase3 && kind <= TypeConnect::FOXPRO30) return GroupXbase;
    if (kind >= TypeConnect::Excel3 && kind <= TypeConnect::Excel97) return GroupExcel;
    if (kind >= TypeConnect::Lotus && kind <= TypeConnect::Lotus3) return GroupLotus;
    return GroupNone;
}

namespace {

struct FilterEntryText {
    FilterGroup group;
    const char* name;
    const char* pattern;
};

constexpr FilterEntryText kGroupTexts[] = {
    {GroupAll, "All Files (*.*)", "*.* "},
    {GroupText, "Text Files (*.txt;*.csv)", "*.txt;*.csv"},
    {GroupHtml, "HTML Files (*.html;*.htm)", "*.html;*.htm"},
    {GroupAccess, "Access (*.mdb)", "*.mdb"},
    {GroupParadox, "Paradox (*.db)", "*.db"},
    {GroupXbase, "DBase/Foxpro (*.dbf)", "*.dbf"},
    {GroupExcel, "Excel (*.xls)", "*.xls"},
    {GroupLotus, "Lotus 1-2-3 (*.wk)", "*.wk"},
};

void AddEntry(SaveFilter& filter, FilterGroup group) {
    for (const FilterEntryText& text : kGroupTexts) {
        if (text.group != group) continue;
        filter.Names.append(QString::fromLatin1(text.name));
        filter.Patterns.append(QString::fromLatin1(text.pattern));
        filter.Groups.append(group);
    }
}

//! Each group's kinds in the order a chosen filter tries them; the last is taken as is.
QVector<int> GroupPreference(FilterGroup group) {
    using T = TypeConnect;
    switch (group) {
        case GroupText:
            return {T::Variable, T::Fixed};
        case GroupHtml:
            return {T::HtmlPage, T::HtmlTags};
        case GroupAccess:
            return {T::Access};
        case GroupParadox:
            return {T::Paradox5, T::Paradox4, T::Paradox3};
        case GroupXbase:
            return {T::FOXPRO30, T::FOXPRO26, T::FOXPRO25, T::FOXPRO20,
                    T::DBase5,   T::DBase4,   T::DBase3};
        case GroupExcel:
            return {T::Excel97, T::Excel5, T::Excel4, T::Excel3};
        case GroupLotus:
            return {T::Lotus3, T::Lotus1, T::Lotus};
        default:
            return {};
    }
}

}  // namespace

QString SaveFilter::Text() const {
    QStringList parts;
    for (int entry_idx = 0; entry_idx < Names.size(); ++entry_idx)
        parts << Names.at(entry_idx) << Patterns.at(entry_idx);
    return parts.join(u'|');
}

SaveFilter BuildSaveFilter(const QVector<int>& offeredKinds, int currentKind) {
    SaveFilter filter;
    AddEntry(filter, GroupAll);
    AddEntry(filter, GroupText);
    for (const int kind : offeredKinds) {
        const FilterGroup group = KindGroup(kind);
        if (group == GroupText || group == GroupNone || filter.Groups.contains(group)) continue;
        AddEntry(filter, group);
    }
    const int entry = filter.Groups.indexOf(KindGroup(currentKind));
    if (entry >= 0) filter.Preselected = entry + 1;
    return filter;
}

int KindForFilter(const SaveFilter& filter, int entry, int currentKind,
                  const std::function<bool(int)>& allowed) {
    if (entry < 1 || entry > filter.Groups.size()) return currentKind;
    const QVector<int> kinds =
        GroupPreference(static_cast<FilterGroup>(filter.Groups.at(entry - 1)));
    if (kinds.isEmpty()) return currentKind;
    for (int kind_idx = 0; kind_idx < kinds.size() - 1; ++kind_idx)
        if (allowed(kinds.at(kind_idx))) return kinds.at(kind_idx);
    return kinds.back();
}

}  // namespace morvane
