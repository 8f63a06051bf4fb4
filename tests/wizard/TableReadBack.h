// TableReadBack: reads a native database with the sqlite3 command-line shell, a reader
// that is not ours, so that what the export wrote is checked independently of the engine.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace morvane::test {

//! The rows of `sql` run by `sqlite3` on `database`, one line per row, columns joined by
//! "|"; Null shown as "<null>". Empty with `ok` false when the shell fails.
inline QStringList Sqlite3Rows(const QString& database, const QString& sql, bool* ok = nullptr) {
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"),
                {QStringLiteral("-batch"), QStringLiteral("-noheader"),
                 QStringLiteral("-nullvalue"), QStringLiteral("<null>"),
                 QStringLiteral("-separator"), QStringLiteral("|"), database, sql});
    const bool finished = shell.waitForFinished(30000);
    const bool good =
        finished && shell.exitStatus() == QProcess::NormalExit && shell.exitCode() == 0;
    if (ok) *ok = good;
    if (!good) return {};
    QString out = QString::fromUtf8(shell.readAllStandardOutput());
    if (out.endsWith(QLatin1Char('\n'))) out.chop(1);
    return out.isEmpty() ? QStringList() : out.split(QLatin1Char('\n'));
}

}  // namespace morvane::test
