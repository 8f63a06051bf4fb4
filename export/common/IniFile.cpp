#include "export/common/IniFile.h"

#include "export/common/CodePage.h"
#include "export/common/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <utility>

namespace morvane {

namespace {

// The section name of a "[name]" line, or nothing for any other line.
std::optional<QStringView> SectionName(QStringView line) {
    const QStringView trimmed = line.trimmed();
    if (!trimmed.startsWith(u'[')) return std::nullopt;
    const qsizetype close = trimmed.indexOf(u']');
    return (close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).trimmed();
}

// The key name of a "key=value" line; nothing for comments and lines without "=".
std::optional<QStringView> KeyName(QStringView line) {
    const QStringView trimmed = line.trimmed();
    if (trimmed.startsWith(u';')) return std::nullopt;
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals <= 0) return std::nullopt;
    const QStringView name = trimmed.left(equals).trimmed();
    if (name.isEmpty()) return std::nullopt;
    return name;
}

bool SameName(QStringView left, QStringView right) {
    return left.compare(right, Qt::CaseInsensitive) == 0;
}

bool HasLineBreak(const QString& text) {
    return text.contains(u'\n') || text.contains(u'\r');
}

void RequireStorable(const QString& section, const QString& key, const QString& value) {
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    const bool badSection =
        sectionName.isEmpty() || HasLineBreak(section) || section.contains(u']');
    const bool badKey = keyName.isEmpty() || HasLineBreak(key) || key.contains(u'=') ||
                        keyName.startsWith(u'[') || keyName.startsWith(u';');
    if (badSection || badKey || HasLineBreak(value)) throw RuntimeError::InvalidProcedureCall();
}

}  // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

bool IniFile::Load() {
    lines_.clear();
    unreadable_ = false;
    if (path_.isEmpty()) return true;
    QFile file(path_);
    if (!file.exists()) return true;
    if (QFileInfo(path_).isDir() || !file.open(QIODevice::ReadOnly)) {
        unreadable_ = true;
        return false;
    }
    const QString text = CodePage::DecodeAnsi(file.readAll());
    if (file.error() != QFileDevice::NoError) {
        unreadable_ = true;
        return false;
    }
    if (text.isEmpty()) return true;
    lines_ = text.split(u'\n');
    for (QString& line : lines_)
        if (line.endsWith(u'\r')) line.chop(1);
    // The line end of the last line leaves one empty piece behind.
    if (lines_.last().isEmpty()) lines_.removeLast();
    return true;
}

std::optional<IniFile::SectionRange> IniFile::FindSection(QStringView section,
                                                          qsizetype from) const {
    const QStringView wanted = section.trimmed();
    for (qsizetype index = from; index < lines_.size(); ++index) {
        const auto name = SectionName(lines_[index]);
        if (!name || !SameName(*name, wanted)) continue;
        SectionRange range{index, index + 1};
        while (range.end < lines_.size() && !SectionName(lines_[range.end])) ++range.end;
        return range;
    }
    return std::nullopt;
}

qsizetype IniFile::FindKey(const SectionRange& range, QStringView key) const {
    const QStringView wanted = key.trimmed();
    for (qsizetype index = range.header + 1; index < range.end; ++index) {
        const auto name = KeyName(lines_[index]);
        if (name && SameName(*name, wanted)) return index;
    }
    return -1;
}

std::optional<QString> IniFile::Value(const QString& section, const QString& key) const {
    const auto range = FindSection(section);
    if (!range) return std::nullopt;
    const qsizetype index = FindKey(*range, key);
    if (index < 0) return std::nullopt;
    const QStringView line = lines_[index];
    const QStringView value = line.mid(line.indexOf(u'=') + 1).trimmed();
    return value.left(kMaxValueLength).toString();
}

std::optional<QStringList> IniFile::Keys(const QString& section) const {
    const auto range = FindSection(section);
    if (!range) return std::nullopt;
    QStringList keys;
    for (qsizetype index = range->header + 1; index < range->end; ++index) {
        const auto name = KeyName(lines_[index]);
        if (!name) continue;
        const QString keyName = name->toString();
        if (!keys.contains(keyName, Qt::CaseInsensitive)) keys.append(keyName);
    }
    return keys;
}

void IniFile::SetValue(const QString& section, const QString& key, const QString& value) {
    RequireStorable(section, key, value);
    const QString line = key.trimmed() + u'=' + value;
    const auto range = FindSection(section);
    if (!range) {
        if (!lines_.isEmpty() && !lines_.last().trimmed().isEmpty()) lines_.append(QString());
        lines_.append(u'[' + section.trimmed() + u']');
        lines_.append(line);
        return;
    }
    const qsizetype index = FindKey(*range, key);
    if (index >= 0) {
        lines_[index] = line;
        return;
    }
    // Append behind the section's last non-blank line, keeping the blank separator lines.
    qsizetype insertAt = range->end;
    while (insertAt > range->header + 1 && lines_[insertAt - 1].trimmed().isEmpty()) --insertAt;
    lines_.insert(insertAt, line);
}

void IniFile::RemoveKey(const QString& section, const QString& key) {
    for (auto range = FindSection(section); range; range = FindSection(section, range->end)) {
        qsizetype index;
        while ((index = FindKey(*range, key)) >= 0) {
            lines_.removeAt(index);
            --range->end;
        }
    }
}

void IniFile::RemoveSection(const QString& section) {
    while (const auto range = FindSection(section))
        lines_.remove(range->header, range->end - range->header);
}

QString IniFile::Text() const {
    QString text;
    for (const QString& line : lines_) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text;
}

void IniFile::Save() const {
    if (path_.isEmpty()) return;
    const QFileInfo info(path_);
    if (!info.absoluteDir().exists())
        throw RuntimeError(ErrPathNotFound, QStringLiteral("Path not found"));
    const RuntimeError accessError(ErrPathFileAccess, QStringLiteral("Path/File access error"));
    if (info.isDir()) throw accessError;
    // A file that Load could not read must not be replaced by what little we know of it.
    if (unreadable_ || (info.exists() && !info.isWritable()))
        throw RuntimeError(ErrPermissionDenied, QStringLiteral("Permission denied"));
    QSaveFile file(path_);
    const QByteArray bytes = CodePage::EncodeAnsi(Text());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw accessError;
}

}  // namespace morvane
