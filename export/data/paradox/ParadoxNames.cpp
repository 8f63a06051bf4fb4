#include "export/data/paradox/ParadoxNames.h"

#include "export/data/paradox/ParadoxLayout.h"
#include "export/data/paradox/ParadoxText.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace morvane::paradox {

namespace {

bool HasTableExtension(const QString& name) {
    return name.endsWith(QStringLiteral(".db"), Qt::CaseInsensitive) && name.size() > 3;
}

}  // namespace

QStringList TableFiles(const QString& folder) {
    QStringList files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name))
        if (HasTableExtension(name)) files << name;
    std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return files;
}

QString TableNameOf(const QString& fileName) {
    return HasTableExtension(fileName) ? fileName.left(fileName.size() - 3) : fileName;
}

QString NewTableFileName(const QString& name) {
    QString base = TableNameOf(name);
    base.replace(QLatin1Char('/'), QLatin1Char('_'));
    base.replace(QChar(0), QLatin1Char('_'));
    return base + QStringLiteral(".db");
}

QString FindTableFile(const QString& folder, const QString& name) {
    const QString wanted = HasTableExtension(name) ? name : name + QStringLiteral(".db");
    if (wanted.contains(QLatin1Char('/'))) return QString();
    const QDir dir(folder);
    const QFileInfo exact(dir.filePath(wanted));
    if (exact.isFile()) return exact.filePath();
    QString match;
    for (const QString& file : TableFiles(folder)) {
        if (file.compare(wanted, Qt::CaseInsensitive) != 0) continue;
        if (!match.isEmpty()) return QString();  // ambiguous
        match = dir.filePath(file);
    }
    return match;
}

QStringList ParadoxFieldNames(const QStringList& names, const ParadoxCodePage& page) {
    QStringList result;
    QSet<QString> taken;
    int ordinal = 0;
    for (const QString& original : names) {
        ++ordinal;
        QString name = original;
        name.replace(QStringLiteral("->"), QStringLiteral("_>"));
        for (QChar& ch : name) {
            const char16_t c = ch.unicode();
            if (c < 0x20 || c == u'[' || c == u']' || c == u'{' || c == u'}' || c == u'(' ||
                c == u')' || !page.Holds(ch))
                ch = QLatin1Char('_');
        }
        for (int i = 0; i < name.size() && name[i] == QLatin1Char(' '); ++i)
            name[i] = QLatin1Char('_');
        if (name.isEmpty() || name == QLatin1String("#"))
            name = QStringLiteral("Field%1").arg(ordinal);
        name.truncate(kMaxFieldName);
        QString unique = name;
        for (int suffix = 1; taken.contains(unique.toCaseFolded()); ++suffix) {
            const QString digits = QString::number(suffix);
            unique = name.left(kMaxFieldName - digits.size()) + digits;
        }
        taken.insert(unique.toCaseFolded());
        result << unique;
    }
    return result;
}

}  // namespace morvane::paradox
