#include "export/engine/HtmlTemplate.h"

#include "export/common/CodePage.h"
#include "export/common/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace morvane {
namespace {

constexpr qint64 kBlockSize = 300;
constexpr qint64 kGatherLimit = 3000;

}  // namespace

QString GetTemplate(const QString& FileTemplate) {
    if (FileTemplate.isEmpty()) return QString();
    const QFileInfo info(FileTemplate);
    if (!info.exists()) {
        if (info.absoluteDir().exists()) return QString();
        throw RuntimeError(ErrPathNotFound, QStringLiteral("Path not found"));
    }
    // Only a regular file is read: opening a pipe would wait for a writer forever, and a
    // directory or device is no page.
    if (!info.isFile())
        throw RuntimeError(ErrPathFileAccess, QStringLiteral("Path/File access error"));
    QFile file(FileTemplate);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrPermissionDenied, QStringLiteral("Permission denied"));

    QByteArray gathered;
    while (gathered.size() < kGatherLimit) {
        const QByteArray block = file.read(kBlockSize);
        if (block.isEmpty()) break;
        gathered += block;
    }
    const QString text = CodePage::DecodeAnsi(gathered);
    const qsizetype body = text.indexOf(QLatin1String("<BODY"), 0, Qt::CaseInsensitive);
    if (body < 0) return QString();
    QString attributes;
    for (qsizetype pos = body + 5; pos < text.size() - 1 && text.at(pos) != QLatin1Char('>'); ++pos)
        attributes += text.at(pos);
    return attributes;
}

}  // namespace morvane
