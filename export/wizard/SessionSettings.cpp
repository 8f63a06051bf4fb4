// The export session's named settings: saving, reading with the compatibility check,
// listing and deleting. The settings file is reached only through the settings-file
// primitives, bound to the control's IniFile.
//
// Layout of a setting's section, in the order its keys are written:
//   TypeFormat, Separator, Delimiter, NbFields, ExportFldNames, ExportHtmlFldNames,
//   ExportHtmlTableName, HtmlTitle, HtmlTemplate, RecFieldSeparator, RecSepOther (a
//   character code), MaxLines (0 = all), OemConvert, Upper, StartingLine, Field0..FieldN-1,
//   then Size0..SizeN-1 for fixed-width output only, then DSN, UID, PWD (scrambled) and
//   ODBCDB for ODBC output only. Section "settings" holds one empty key per setting name.
//
// The stored password: every character of ANSI code c becomes the character of code
// (c - 3) XOR key, the key being 0x80 | ((code of the setting name's first character XOR
// 0x5A) AND 0x7F). Bit 7 of the key is always set, so the characters of a plain-ASCII
// password become bytes 128..255 and never a line break. A scrambled text that begins or
// ends with a blank or a double quote is written between double quotes (reading drops one
// enclosing pair), because reading trims blanks around values. The constant is part of
// the file format: files written by one build are read by every later build.
#include "export/wizard/ExportSession.h"

#include "export/common/CodePage.h"
#include "export/common/IgnoringErrors.h"
#include "export/common/IniAccess.h"
#include "export/common/Prompter.h"
#include "export/common/RuntimeError.h"
#include "export/common/TextRoutines.h"
#include "export/data/Recordset.h"
#include "export/data/odbc/OdbcLogon.h"
#include "export/engine/ExportCaller.h"

#include <cmath>
#include <limits>

namespace morvane {
namespace {

const QString kSettingsSection = QStringLiteral("settings");
const QString kGeneralSection = QStringLiteral("general");
constexpr int kTypeFixed = 1;
constexpr int kTypeODBC = 15;

//! Mixed with the code of the setting name's first character into the password key.
//! Part of the file format: never change it.
constexpr int kScrambleConstant = 0x5A;

[[noreturn]] void RaiseSubscriptOutOfRange() {
    throw RuntimeError(ErrSubscriptOutOfRange, QStringLiteral("Subscript out of range"));
}

//! A stored width: the text as a number, rounded half to even to a 16-bit whole number.
short WidthFromText(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok) throw RuntimeError(ErrTypeMismatch, QStringLiteral("Type mismatch"));
    const double rounded = std::nearbyint(value);
    // Written so that NaN fails too.
    if (!(rounded >= std::numeric_limits<short>::min() &&
          rounded <= std::numeric_limits<short>::max()))
        throw RuntimeError::Overflow();
    return static_cast<short>(rounded);
}

bool IsBlankOrQuote(QChar ch) {
    return ch.isSpace() || ch == QLatin1Char('"');
}

//! The scrambled password as stored: quoted when reading would trim it.
QString StoredPassword(const QString& password, const QString& settingName) {
    qint16 key = ExportSession::PasswordKey(settingName);
    const QString scrambled = EncodeText(password, key);
    if (scrambled.contains(QLatin1Char('\r')) || scrambled.contains(QLatin1Char('\n')))
        throw RuntimeError::InvalidProcedureCall();  // a value cannot hold a line break
    if (!scrambled.isEmpty() &&
        (IsBlankOrQuote(scrambled.front()) || IsBlankOrQuote(scrambled.back())))
        return QLatin1Char('"') + scrambled + QLatin1Char('"');
    return scrambled;
}

QString PasswordFromStored(QString stored, const QString& settingName) {
    if (stored.size() >= 2 && stored.startsWith(QLatin1Char('"')) &&
        stored.endsWith(QLatin1Char('"')))
        stored = stored.mid(1, stored.size() - 2);
    qint16 key = ExportSession::PasswordKey(settingName);
    return DecodeText(stored, key);
}

}  // namespace

qint16 ExportSession::PasswordKey(const QString& settingName) {
    int first = settingName.isEmpty() ? 0 : CodePage::AnsiCode(settingName.at(0));
    if (first < 0) first = '?';
    return static_cast<qint16>(0x80 | ((first ^ kScrambleConstant) & 0x7F));
}

QString ExportSession::SettingNameProblem(const QString& name) {
    const bool reserved = name.compare(kSettingsSection, Qt::CaseInsensitive) == 0 ||
                          name.compare(kGeneralSection, Qt::CaseInsensitive) == 0;
    const bool blanks = name.trimmed() != name;
    const bool badStart = name.startsWith(QLatin1Char('[')) || name.startsWith(QLatin1Char(';'));
    bool badChar = false;
    for (const QChar ch : name) {
        // A character the file's code page lacks would be stored as "?", so two different
        // names could land in one section.
        badChar = badChar || ch == QLatin1Char(']') || ch == QLatin1Char('=') ||
                  ch == QLatin1Char('\r') || ch == QLatin1Char('\n') || ch == QChar(0) ||
                  CodePage::AnsiCode(ch) < 0;
    }
    if (!name.isEmpty() && !reserved && !blanks && !badStart && !badChar) return QString();
    return QStringLiteral(
               "The setting name \"%1\" cannot be used: a setting name must not be empty, be "
               "\"settings\" or \"general\", begin or end with a blank, begin with \"[\" or "
               "\";\", or contain \"]\", \"=\", a line break or a character that the settings "
               "file cannot hold.")
        .arg(name);
}

void ExportSession::SaveSetting() {
    // A name the file cannot hold would merge with another setting or the file's own
    // bookkeeping: such a save writes nothing (the save prompt refuses it first).
    if (!SettingNameProblem(settingName_).isEmpty()) return;
    BindIniFile();
    // Saving runs with errors ignored statement by statement: a value that does not fit
    // its 16-bit key (MaxLines or StartingLine above 32767, say) is left unwritten.
    const QString& section = settingName_;
    const ExportSetting& s = setting_;
    // The keys are edited in memory and the file is replaced once at the end: a setting
    // of many fields saves in one write, and an interrupted save leaves the old setting.
    IniWriteBatch batch;
    IgnoringErrors([&] { DeleteIniSection(section); });
    IgnoringErrors([&] { WriteIniInt(section, QStringLiteral("TypeFormat"), s.TypeFormat); });
    IgnoringErrors([&] { WriteIniInt(section, QStringLiteral("Separator"), s.Separator); });
    IgnoringErrors([&] { WriteIniInt(section, QStringLiteral("Delimiter"), s.Delimiter); });
    IgnoringErrors([&] {
        WriteIniInt(section, QStringLiteral("NbFields"),
                    static_cast<int>(lists_.Selected().Names().size()));
    });
    IgnoringErrors(
        [&] { WriteIniBool(section, QStringLiteral("ExportFldNames"), s.ExportFldNames); });
    IgnoringErrors(
        [&] { WriteIniBool(section, QStringLiteral("ExportHtmlFldNames"), s.ExportHtmlFldNames); });
    IgnoringErrors([&] {
        WriteIniBool(section, QStringLiteral("ExportHtmlTableName"), s.ExportHtmlTableName);
    });
    IgnoringErrors([&] { WriteIniString(section, QStringLiteral("HtmlTitle"), s.HtmlTitle); });
    IgnoringErrors(
        [&] { WriteIniString(section, QStringLiteral("HtmlTemplate"), s.HtmlTemplate); });
    IgnoringErrors(
        [&] { WriteIniInt(section, QStringLiteral("RecFieldSeparator"), s.RecFieldSeparator); });
    IgnoringErrors([&] {
        const int code = s.RecFieldSeparator == 3 ? CodePage::AnsiCode(s.RecSepOther) : 0;
        WriteIniInt(section, QStringLiteral("RecSepOther"), code < 0 ? '?' : code);
    });
    IgnoringErrors(
        [&] { WriteIniInt(section, QStringLiteral("MaxLines"), s.ExportAll ? 0 : s.MaxLines); });
    IgnoringErrors([&] { WriteIniBool(section, QStringLiteral("OemConvert"), s.OemConvert); });
    IgnoringErrors([&] { WriteIniBool(section, QStringLiteral("Upper"), s.Upper); });
    IgnoringErrors([&] { WriteIniInt(section, QStringLiteral("StartingLine"), s.StartingLine); });
    SaveSettingFields();
    if (s.TypeFormat == kTypeODBC) SaveOdbcLogon();
    IgnoringErrors([&] { WriteIniString(kSettingsSection, section, QString()); });
    IgnoringErrors([&] { batch.Commit(); });
}

void ExportSession::SaveSettingFields() {
    const QString& section = settingName_;
    for (int position = 0; position < lists_.Selected().Names().size(); ++position) {
        IgnoringErrors([&] {
            WriteIniString(section, QStringLiteral("Field%1").arg(position),
                           lists_.Selected().Names().at(position));
        });
    }
    if (setting_.TypeFormat != kTypeFixed) return;
    // Widths go by the field's source ordinal, whatever its place in the selected list.
    for (int position = 0; position < lists_.Selected().Names().size(); ++position) {
        IgnoringErrors([&] {
            const int ordinal = FieldIndex(lists_.Selected().Names().at(position));
            if (ordinal >= ExportSetting::SizeCount) RaiseSubscriptOutOfRange();
            WriteIniString(section, QStringLiteral("Size%1").arg(position),
                           QString::number(setting_.Size[static_cast<size_t>(ordinal)]));
        });
    }
}

void ExportSession::SaveOdbcLogon() {
    const QString& section = settingName_;
    OdbcLogon& logon = OdbcLogon::Instance();
    IgnoringErrors([&] { WriteIniString(section, QStringLiteral("DSN"), logon.DSN()); });
    IgnoringErrors([&] { WriteIniString(section, QStringLiteral("UID"), logon.UID()); });
    // A password that cannot be scrambled leaves the key unwritten.
    IgnoringErrors([&] {
        WriteIniString(section, QStringLiteral("PWD"), StoredPassword(logon.PWD(), section));
    });
    IgnoringErrors([&] { WriteIniString(section, QStringLiteral("ODBCDB"), logon.Database()); });
}

bool ExportSession::ReadSetting() {
    // Reading runs with errors ignored statement by statement: a stored integer that does
    // not fit 16 bits leaves its field as it was; a missing key gives its default.
    BindIniFile();
    const QString& section = settingName_;
    ExportSetting& s = setting_;
    IgnoringErrors([&] { s.nbFields = GetIniInt(section, QStringLiteral("nbFields"), 0); });
    IgnoringErrors([&] { s.TypeFormat = GetIniInt(section, QStringLiteral("TypeFormat"), 0); });
    IgnoringErrors([&] { s.SetSeparator(GetIniInt(section, QStringLiteral("Separator"), 0)); });
    IgnoringErrors([&] { s.SetDelimiter(GetIniInt(section, QStringLiteral("Delimiter"), 0)); });
    s.RecomputeUseDelimiter();
    ReadSettingOptions();

    lists_.Available().Clear();
    lists_.Selected().Clear();
    lists_.Fixed().Clear();
    const int sourceCount = SourceFieldNames().size();
    for (int ordinal = 0; ordinal < sourceCount && ordinal < ExportSetting::SizeCount; ++ordinal) {
        IgnoringErrors([&] {
            const int size = source_.Rs()->Fields().Item(ordinal).Size();
            if (size > std::numeric_limits<short>::max()) throw RuntimeError::Overflow();
            s.Size[static_cast<size_t>(ordinal)] = static_cast<short>(size);
        });
    }
    IgnoringErrors([&] { s.nbFields = GetIniInt(section, QStringLiteral("nbFields"), 0); });
    for (int position = 0; position < s.nbFields; ++position) {
        QString name;
        IgnoringErrors([&] {
            name = GetIniString(section, QStringLiteral("Field%1").arg(position), QString());
        });
        if (name.isEmpty()) continue;
        lists_.Selected().Append(name);
        if (s.TypeFormat == kTypeFixed) lists_.Fixed().Append(name);
    }

    if (!SettingFitsSource()) {
        lists_.Available().Clear();
        lists_.Selected().Clear();
        lists_.Fixed().Clear();
        prompter_.NoteErrorReport();
        prompter_.MsgBox(
            QStringLiteral("This setting is incompatible with current table : ") + source_.Name(),
            MsgButtons::OK, MsgIcon::Critical, QStringLiteral("Error"));
        SetDefaultSetting();
        return false;
    }
    ReadSettingWidthsAndLists();
    if (s.TypeFormat == kTypeODBC) ReadOdbcLogon();
    return true;
}

void ExportSession::ReadSettingOptions() {
    const QString& section = settingName_;
    ExportSetting& s = setting_;
    IgnoringErrors(
        [&] { s.ExportFldNames = GetIniBool(section, QStringLiteral("ExportFldNames"), false); });
    IgnoringErrors([&] {
        s.ExportHtmlFldNames = GetIniBool(section, QStringLiteral("ExportHtmlFldNames"), true);
    });
    IgnoringErrors([&] {
        s.ExportHtmlTableName = GetIniBool(section, QStringLiteral("ExportHtmlTableName"), false);
    });
    IgnoringErrors(
        [&] { s.HtmlTitle = GetIniString(section, QStringLiteral("HtmlTitle"), QString()); });
    IgnoringErrors(
        [&] { s.HtmlTemplate = GetIniString(section, QStringLiteral("HtmlTemplate"), QString()); });
    IgnoringErrors(
        [&] { s.RecFieldSeparator = GetIniInt(section, QStringLiteral("RecFieldSeparator"), 0); });
    IgnoringErrors([&] {
        const short code = GetIniInt(section, QStringLiteral("RecSepOther"), 0);
        if (code < 0 || code > 255) throw RuntimeError::InvalidProcedureCall();
        s.RecSepOther = CodePage::AnsiChar(static_cast<unsigned char>(code));
    });
    IgnoringErrors(
        [&] { s.OemConvert = GetIniBool(section, QStringLiteral("OemConvert"), false); });
    IgnoringErrors([&] { s.Upper = GetIniBool(section, QStringLiteral("Upper"), false); });
    IgnoringErrors([&] { s.StartingLine = GetIniInt(section, QStringLiteral("StartingLine"), 1); });
    IgnoringErrors([&] { s.MaxLines = GetIniInt(section, QStringLiteral("MaxLines"), 0); });
    s.ExportAll = s.MaxLines == 0;
}

void ExportSession::ReadSettingWidthsAndLists() {
    const QString& section = settingName_;
    ExportSetting& s = setting_;
    const bool fixed = s.TypeFormat == kTypeFixed;
    if (fixed) {
        for (int position = 0; position < s.nbFields; ++position) {
            IgnoringErrors([&] {
                const QString text =
                    GetIniString(section, QStringLiteral("Size%1").arg(position), QString());
                if (text.isEmpty()) return;
                const short width = WidthFromText(text);
                const int ordinal = FieldIndex(lists_.Selected().Names().value(position));
                if (ordinal >= ExportSetting::SizeCount) RaiseSubscriptOutOfRange();
                s.Size[static_cast<size_t>(ordinal)] = width;
            });
        }
    }
    // The host's FilterField is not consulted here: the stored setting decides.
    for (const QString& name : SourceFieldNames()) {
        const bool selected = lists_.Selected().Names().contains(name);
        if (!selected) lists_.Available().Append(name);
        if (!fixed || !selected) lists_.Fixed().Append(name);
    }
}

QStringList ExportSession::SourceFieldNames() const {
    QStringList names;
    IgnoringErrors([&] {
        if (!source_.Rs()) return;
        const int count = source_.Rs()->Fields().Count();
        for (int ordinal = 0; ordinal < count; ++ordinal)
            names.append(source_.Rs()->Fields().Item(ordinal).Name());
    });
    return names;
}

bool ExportSession::SettingFitsSource() const {
    // Every name up to nbFields must be a field of the source, in the same case; a
    // position beyond the list counts as the empty name, which no field has.
    const QStringList sourceNames = SourceFieldNames();
    for (int position = 0; position < setting_.nbFields; ++position)
        if (!sourceNames.contains(lists_.Selected().Names().value(position), Qt::CaseSensitive))
            return false;
    return true;
}

void ExportSession::ReadOdbcLogon() {
    const QString& section = settingName_;
    OdbcLogon& logon = OdbcLogon::Instance();
    IgnoringErrors(
        [&] { logon.SelectDSN(GetIniString(section, QStringLiteral("DSN"), QString())); });
    // A password that cannot be unscrambled leaves the password as it was.
    IgnoringErrors([&] {
        logon.SetPWD(
            PasswordFromStored(GetIniString(section, QStringLiteral("PWD"), QString()), section));
    });
    IgnoringErrors([&] { logon.SetUID(GetIniString(section, QStringLiteral("UID"), QString())); });
    IgnoringErrors(
        [&] { logon.SetDatabase(GetIniString(section, QStringLiteral("ODBCDB"), QString())); });
    destination_.Connect = logon.DestConnect();
}

void ExportSession::BindIniFile() const {
    if (caller_) SetIniFile(caller_->IniFile());
}

void ExportSession::ListSettings(QStringList& names) {
    BindIniFile();
    ListIniKeys(kSettingsSection, names);
}

void ExportSession::DeleteSetting(const QString& name) {
    BindIniFile();
    // A hand-edited list may name one of the file's own sections: only its entry goes.
    if (SettingNameProblem(name).isEmpty()) DeleteIniSection(name);
    DeleteIniKey(kSettingsSection, name);
}

}  // namespace morvane
