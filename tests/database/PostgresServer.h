#pragma once

// A private PostgreSQL server for the database tests: a cluster made in a temporary folder,
// listening on a free loopback port with its socket in that folder, started and stopped by the
// tests. As root it runs as the postgres user, since the server refuses to run as root.

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace quell::testsupport {

class PostgresServer {
public:
    // Makes the cluster and starts the server; ready() tells whether that worked.
    PostgresServer();
    // Stops the server.
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    bool ready() const { return ready_; }
    // Why the server is not ready, with what the tools printed.
    const QString& error() const { return error_; }
    int port() const { return port_; }

    // A connection URI of the server's superuser to a database (with a password the server does
    // not ask for, so that tests see it kept out of what is reported).
    QString uri(const QString& database = QStringLiteral("postgres")) const;
    // Runs SQL through psql; the output (unaligned, tuples only) or none with error() set.
    bool psql(const QString& sql, QString* output = nullptr,
              const QString& database = QStringLiteral("postgres"));

    // Stops and starts the server again (for the faults of a server going away).
    bool stop();
    bool start();

    // One server for all tests of a program, started on first use; releaseShared() stops it.
    static PostgresServer& shared();
    static void releaseShared();

private:
    bool run(const QString& program, const QStringList& arguments, QString* output, int timeoutMs);

    QTemporaryDir folder_;
    QString binDir_;
    QString dataDir_;
    int port_ = 0;
    bool ready_ = false;
    bool asPostgres_ = false;
    QString error_;
};

} // namespace quell::testsupport
