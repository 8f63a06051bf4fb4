#include "tests/odbc/PgTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QProcess>

namespace morvane::test {

namespace {

//! A TCP port nobody listens on at the moment.
int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool ChownTree(const QString& path, uid_t uid, gid_t gid) {
    return ::chown(QFile::encodeName(path).constData(), uid, gid) == 0;
}

}  // namespace

PgTestServer::PgTestServer() {
    data_ = dir_.filePath(QStringLiteral("data"));
    sockets_ = dir_.filePath(QStringLiteral("sockets"));
}

PgTestServer::~PgTestServer() {
    Stop();
}

QString PgTestServer::BinaryFolder() {
    const QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql"))
            .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    for (const QString& version : versions) {
        const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(version);
        if (QFile::exists(bin + QStringLiteral("/initdb")) &&
            QFile::exists(bin + QStringLiteral("/pg_ctl")))
            return bin;
    }
    return QString();
}

bool PgTestServer::RunAsServerUser(const QString& program, const QStringList& arguments,
                                   QString* output) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (::geteuid() == 0)
        process.start(QStringLiteral("runuser"),
                      QStringList{QStringLiteral("-u"), QStringLiteral("nobody"),
                                  QStringLiteral("--"), program} +
                          arguments);
    else
        process.start(program, arguments);
    const bool finished = process.waitForFinished(120000);
    const QString text = QString::fromLocal8Bit(process.readAll());
    if (output) *output = text;
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        problem_ = program + QStringLiteral(" failed: ") + text;
        return false;
    }
    return true;
}

bool PgTestServer::Start() {
    if (running_) return true;
    const QString bin = BinaryFolder();
    if (bin.isEmpty()) {
        problem_ = QStringLiteral("PostgreSQL server programs not found under /usr/lib/postgresql");
        return false;
    }
    if (!dir_.isValid()) {
        problem_ = QStringLiteral("no temporary folder");
        return false;
    }
    if (!initialized_) {
        QDir().mkpath(data_);
        QDir().mkpath(sockets_);
        QDir().mkpath(dir_.filePath(QStringLiteral("log")));
        const QString passwordFile = dir_.filePath(QStringLiteral("password"));
        QFile file(passwordFile);
        if (!file.open(QIODevice::WriteOnly)) return false;
        file.write(Password().toUtf8() + '\n');
        file.close();
        if (::geteuid() == 0) {
            // The server user must reach its folders through the temporary folder.
            const passwd* nobody = ::getpwnam("nobody");
            if (!nobody) {
                problem_ = QStringLiteral("no user 'nobody' to run the server as");
                return false;
            }
            QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                   QFile::ExeOwner | QFile::ExeGroup |
                                                   QFile::ExeOther);
            QDir().mkpath(dir_.filePath(QStringLiteral("log")));
            for (const QString& path :
                 {data_, sockets_, passwordFile, dir_.filePath(QStringLiteral("log"))})
                ChownTree(path, nobody->pw_uid, nobody->pw_gid);
        }
        if (!RunAsServerUser(
                bin + QStringLiteral("/initdb"),
                {QStringLiteral("-D"), data_, QStringLiteral("-U"), User(),
                 QStringLiteral("--pwfile=") + passwordFile, QStringLiteral("--auth-local=trust"),
                 QStringLiteral("--auth-host=scram-sha-256"), QStringLiteral("-E"),
                 QStringLiteral("UTF8"), QStringLiteral("--locale=C"),
                 QStringLiteral("--no-sync")}))
            return false;
        initialized_ = true;
    }
    // A restart keeps the port: the driver manager may hold the data sources it read.
    if (port_ == 0) port_ = FreePort();
    const QString options = QStringLiteral("-h 127.0.0.1 -p %1 -k %2 -F").arg(port_).arg(sockets_);
    if (!RunAsServerUser(
            bin + QStringLiteral("/pg_ctl"),
            {QStringLiteral("-D"), data_, QStringLiteral("-o"), options, QStringLiteral("-l"),
             dir_.filePath(QStringLiteral("log/server.log")), QStringLiteral("-w"),
             QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")}))
        return false;
    running_ = true;
    return true;
}

void PgTestServer::Stop() {
    if (!running_) return;
    running_ = false;
    RunAsServerUser(BinaryFolder() + QStringLiteral("/pg_ctl"),
                    {QStringLiteral("-D"), data_, QStringLiteral("-m"), QStringLiteral("immediate"),
                     QStringLiteral("-w"), QStringLiteral("stop")});
}

QString PgTestServer::Psql(const QString& sql, bool* ok) const {
    QProcess psql;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PGPASSWORD"), Password());
    psql.setProcessEnvironment(environment);
    psql.start(QStringLiteral("psql"), {QStringLiteral("-X"), QStringLiteral("-q"),
                                        QStringLiteral("-h"), QStringLiteral("127.0.0.1"),
                                        QStringLiteral("-p"), QString::number(port_),
                                        QStringLiteral("-U"), User(),
                                        QStringLiteral("-d"), QStringLiteral("postgres"),
                                        QStringLiteral("-A"), QStringLiteral("-t"),
                                        QStringLiteral("-F"), QStringLiteral("|"),
                                        QStringLiteral("-P"), QStringLiteral("null=<null>"),
                                        QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                                        QStringLiteral("-c"), sql});
    const bool finished = psql.waitForFinished(60000);
    const bool good = finished && psql.exitStatus() == QProcess::NormalExit && psql.exitCode() == 0;
    if (ok) *ok = good;
    QString out = QString::fromUtf8(psql.readAllStandardOutput());
    if (!good) out += QString::fromUtf8(psql.readAllStandardError());
    if (out.endsWith(QLatin1Char('\n'))) out.chop(1);
    return out;
}

}  // namespace morvane::test
