#include "export/common/IniAccess.h"

#include "export/common/IniFile.h"
#include "export/common/RuntimeError.h"
#include "export/common/TextRoutines.h"

#include <limits>
#include <optional>

namespace morvane {

namespace {

constexpr int kBufferLength = 4096;

QString& PathState() {
    static QString path;
    return path;
}

// The settings file held in memory while an IniWriteBatch is open; empty otherwise.
std::optional<IniFile>& BatchFile() {
    static std::optional<IniFile> file;
    return file;
}

IniFile LoadedFile() {
    if (BatchFile()) return *BatchFile();
    IniFile file(PathState());
    file.Load();
    return file;
}

// Loads, edits and saves the settings file; does nothing without a path. Inside a batch
// the edit stays in memory until the batch commits.
template <typename Edit>
void EditFile(Edit edit) {
    if (PathState().isEmpty()) return;
    if (BatchFile()) {
        edit(*BatchFile());
        return;
    }
    IniFile file = LoadedFile();
    edit(file);
    file.Save();
}

// The leading integer of a stored value: an optional sign and the decimal digits that
// follow it, saturated far outside the 16-bit range so that no digit run can overflow.
qint64 LeadingInteger(const QString& text) {
    qsizetype index = 0;
    bool negative = false;
    if (index < text.size() && (text[index] == u'-' || text[index] == u'+'))
        negative = text[index++] == u'-';
    qint64 number = 0;
    for (; index < text.size() && text[index] >= u'0' && text[index] <= u'9'; ++index)
        number = std::min<qint64>(number * 10 + (text[index].unicode() - u'0'), 1LL << 40);
    return negative ? -number : number;
}

std::optional<qint64> StoredInteger(const QString& section, const QString& key) {
    if (PathState().isEmpty()) return std::nullopt;
    const std::optional<QString> value = LoadedFile().Value(section, key);
    if (!value || value->isEmpty()) return std::nullopt;
    return LeadingInteger(*value);
}

bool FitsShort(qint64 value) {
    return value >= std::numeric_limits<short>::min() && value <= std::numeric_limits<short>::max();
}

// The key listing buffer, filled by the profile-file rules (see ListIniKeys).
QString KeyListBuffer(const QString& section) {
    QString buffer(kBufferLength, u' ');
    const std::optional<QStringList> keys =
        PathState().isEmpty() ? std::nullopt : LoadedFile().Keys(section);
    if (!keys) {
        buffer.replace(0, 8, QStringLiteral("Default") + QChar(0));
        return buffer;
    }
    QString names;
    for (const QString& key : *keys) names += key + QChar(0);
    names += QChar(0);
    if (names.size() > kBufferLength) {
        names.truncate(kBufferLength - 2);
        names += QChar(0);
        names += QChar(0);
    }
    buffer.replace(0, names.size(), names);
    return buffer;
}

}  // namespace

IniWriteBatch::IniWriteBatch() {
    if (BatchFile() || PathState().isEmpty()) return;  // nested, or nothing to write
    IniFile file(PathState());
    file.Load();
    BatchFile() = std::move(file);
    owner_ = true;
}

IniWriteBatch::~IniWriteBatch() {
    if (owner_) BatchFile().reset();
}

void IniWriteBatch::Commit() {
    if (!owner_) return;
    owner_ = false;
    IniFile file = std::move(*BatchFile());
    BatchFile().reset();
    file.Save();
}

void SetIniFile(const QString& path) {
    PathState() = path;
}

const QString& IniFilePath() {
    return PathState();
}

QString GetIniString(const QString& section, const QString& key, const QString& defaultValue) {
    if (!PathState().isEmpty())
        if (std::optional<QString> value = LoadedFile().Value(section, key)) return *value;
    return defaultValue.left(IniFile::kMaxValueLength);
}

void WriteIniString(const QString& section, const QString& key, const QString& value) {
    EditFile([&](IniFile& file) { file.SetValue(section, key, value); });
}

short GetIniInt(const QString& section, const QString& key, short defaultValue) {
    const std::optional<qint64> stored = StoredInteger(section, key);
    if (!stored) return defaultValue;
    if (!FitsShort(*stored)) throw RuntimeError::Overflow();
    return static_cast<short>(*stored);
}

void WriteIniInt(const QString& section, const QString& key, int value) {
    if (!FitsShort(value)) throw RuntimeError::Overflow();
    WriteIniString(section, key, QString::number(value));
}

bool GetIniBool(const QString& section, const QString& key, bool defaultValue) {
    const std::optional<qint64> stored = StoredInteger(section, key);
    return stored ? *stored != 0 : defaultValue;
}

void WriteIniBool(const QString& section, const QString& key, bool value) {
    WriteIniString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void DeleteIniKey(const QString& section, const QString& key) {
    EditFile([&](IniFile& file) { file.RemoveKey(section, key); });
}

void DeleteIniSection(const QString& section) {
    EditFile([&](IniFile& file) { file.RemoveSection(section); });
}

void ListIniKeys(const QString& section, QStringList& list) {
    const QString buffer = KeyListBuffer(section).trimmed();
    if (buffer.startsWith(QLatin1String("Default"))) return;
    const QString delimiter(QChar(0));
    for (QString token = NextToken(buffer, delimiter); !token.isEmpty();
         token = NextToken(QString(), delimiter))
        list.append(token);
}

}  // namespace morvane
