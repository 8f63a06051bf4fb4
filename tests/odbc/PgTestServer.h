// PgTestServer: a throwaway PostgreSQL cluster for the ODBC tests. It runs initdb into a
// temporary folder and starts the server on 127.0.0.1 with a free port and a private socket
// folder; the destructor stops it (immediately) and the folder goes with it. initdb refuses
// to run as root, so under root the server's programs run as the unprivileged user
// "nobody" (runuser), in a folder that user owns.
//
// The cluster's superuser is "morvane" with the password Password(); TCP logins need it.
//
// Usage:
//   PgTestServer server;
//   if (!server.Start()) GTEST_SKIP() << server.Problem();
//   QString out = server.Psql("SELECT 1");
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace morvane::test {

class PgTestServer {
  public:
    PgTestServer();
    ~PgTestServer();
    PgTestServer(const PgTestServer&) = delete;
    PgTestServer& operator=(const PgTestServer&) = delete;

    //! The folder of initdb and pg_ctl; empty when PostgreSQL is not installed.
    static QString BinaryFolder();

    //! Makes the cluster (first call) and starts the server. False with Problem() set.
    bool Start();
    //! Stops the server at once (as if it went away); Start() brings it back.
    void Stop();
    bool Running() const { return running_; }
    QString Problem() const { return problem_; }

    int Port() const { return port_; }
    static QString User() { return QStringLiteral("morvane"); }
    static QString Password() { return QStringLiteral("s3cret"); }

    //! Runs `sql` with psql against database "postgres" (unaligned, tuples only, "|"
    //! between fields, Null as "<null>"). Sets ok to whether psql succeeded.
    QString Psql(const QString& sql, bool* ok = nullptr) const;

  private:
    bool RunAsServerUser(const QString& program, const QStringList& arguments,
                         QString* output = nullptr);

    QTemporaryDir dir_;
    QString data_;
    QString sockets_;
    int port_ = 0;
    bool initialized_ = false;
    bool running_ = false;
    QString problem_;
};

}  // namespace morvane::test
