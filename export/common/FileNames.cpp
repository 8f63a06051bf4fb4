#include "export/common/FileNames.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFileInfo>

namespace morvane {

namespace {

// Matches name against a pattern of "*" and "?" (case-sensitive, as file names are here).
// Hand-written because QDir name filters also treat "[...]" as a character class, which
// would make a plain "[" in a file name fail to match itself. Iterative with one
// backtrack point, so it runs in O(name * pattern) at worst and never recurses.
bool WildcardMatch(QStringView pattern, QStringView name) {
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starAt = -1;
    qsizetype resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

bool AnyEntryMatches(const QString& directory, QStringView pattern) {
    QDirIterator entries(directory,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        entries.next();
        if (WildcardMatch(pattern, entries.fileName())) return true;
    }
    return false;
}

}  // namespace

short FileExists(const QString& path) {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
    if (path.isEmpty()) return -1;
    const qsizetype slash = path.lastIndexOf(u'/');
    const QStringView name = QStringView(path).mid(slash + 1);
    if (!name.contains(u'*') && !name.contains(u'?')) return QFileInfo::exists(path) ? 1 : -1;
    QString directory = slash < 0 ? QStringLiteral(".") : path.left(slash);
    if (slash == 0) directory = QStringLiteral("/");
    return AnyEntryMatches(directory, name) ? 1 : -1;
}

QString NameAfterLast(const QString& text, const QString& separator) {
    if (separator.isEmpty()) return text;
    const qsizetype at = text.lastIndexOf(separator);
    return at < 0 ? text : text.mid(at + separator.size());
}

QString FileBaseName(const QString& path) {
    const QString name = NameAfterLast(path, QStringLiteral("/"));
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString FileExtension(const QString& path) {
    const QString trimmed = path.trimmed();
    const qsizetype dot = trimmed.lastIndexOf(u'.');
    if (dot < 0 || trimmed.indexOf(u'/', dot) >= 0) return QString();
    return trimmed.mid(dot + 1);
}

QString FileDirectory(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QStringLiteral(".") : path.left(slash);
}

}  // namespace morvane
