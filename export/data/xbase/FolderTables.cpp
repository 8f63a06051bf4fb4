#include "export/data/xbase/FolderTables.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace morvane {

namespace {

bool HasExtension(const QString& fileName, const QString& extension) {
    return fileName.size() > extension.size() && fileName.endsWith(extension, Qt::CaseInsensitive);
}

// The folder's files ending in `extension`, sorted by name without regard to case.
QStringList TableFiles(const QString& folder, const QString& extension) {
    QStringList files;
    const QDir dir(folder);
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (HasExtension(entry, extension)) files.append(entry);
    }
    std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return files;
}

}  // namespace

QStringList FolderTables::List(const QString& folder, const QString& extension) {
    QStringList names;
    for (const QString& file : TableFiles(folder, extension))
        names.append(file.left(file.size() - extension.size()));
    return names;
}

QString FolderTables::Find(const QString& folder, const QString& name, const QString& extension) {
    if (name.isEmpty() || name.contains(QLatin1Char('/'))) return {};
    const QDir dir(folder);
    const QString withExtension = HasExtension(name, extension) ? name : name + extension;
    const QFileInfo exact(dir.filePath(withExtension));
    if (exact.isFile()) {
        // On a case-insensitive file system the exact path may name a file spelled
        // otherwise; the listing below gives its real name.
        for (const QString& file : TableFiles(folder, extension))
            if (file == withExtension) return dir.filePath(file);
    }
    for (const QString& file : TableFiles(folder, extension))
        if (file.compare(withExtension, Qt::CaseInsensitive) == 0) return dir.filePath(file);
    return {};
}

QString FolderTables::PathForNew(const QString& folder, const QString& name,
                                 const QString& extension) {
    return QDir(folder).filePath(HasExtension(name, extension) ? name : name + extension);
}

QStringList FolderTables::Companions(const QString& tablePath, const QStringList& extensions) {
    const QFileInfo table(tablePath);
    const QString base = table.completeBaseName();
    QStringList found;
    for (const QString& entry : table.dir().entryList(QDir::Files | QDir::Hidden)) {
        for (const QString& extension : extensions) {
            if (entry.size() == base.size() + extension.size() &&
                entry.startsWith(base, Qt::CaseInsensitive) &&
                entry.endsWith(extension, Qt::CaseInsensitive)) {
                found.append(table.dir().filePath(entry));
                break;
            }
        }
    }
    return found;
}

QStringList FolderTables::ShortenNames(const QStringList& names, int limit,
                                       const std::function<bool(QChar)>& allowed) {
    QStringList result;
    QSet<QString> taken;  // case-folded
    for (const QString& original : names) {
        QString name = original;
        for (QChar& ch : name)
            if (!allowed(ch)) ch = QLatin1Char('_');
        if (name.isEmpty()) name = QStringLiteral("FIELD");
        name.truncate(limit);
        QString unique = name;
        for (int suffix = 1; taken.contains(unique.toCaseFolded()); ++suffix) {
            const QString digits = QString::number(suffix);
            unique = name.left(std::max(0, limit - static_cast<int>(digits.size()))) + digits;
        }
        taken.insert(unique.toCaseFolded());
        result.append(unique);
    }
    return result;
}

}  // namespace morvane
