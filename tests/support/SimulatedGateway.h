#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryFile>

#include <sys/types.h>

namespace quell::testsupport {

// quellgw with simulated devices on an ephemeral loopback port, for tests that drive a real link.
// The process ends with the object (SIGTERM, then a bounded wait). It is started by a plain fork
// and exec, not QProcess: QProcess starts children with vfork semantics, whose child runs in this
// process's memory and leaves ThreadSanitizer blind to this thread's later locking, so every
// link test after it would report races that cannot happen.
class SimulatedGateway {
public:
    SimulatedGateway() = default;
    ~SimulatedGateway();
    SimulatedGateway(const SimulatedGateway&) = delete;
    SimulatedGateway& operator=(const SimulatedGateway&) = delete;

    // Starts quellgw (the program file) with "--sim DEVICE" for each device named in sims plus
    // extra arguments and waits up to waitMs for the port it listens on; false with what it said in
    // error().
    bool start(const QString& program, const QStringList& sims, const QStringList& extra = {},
               int waitMs = 10000);
    // The port it listens on (0 before a successful start).
    int port() const { return port_; }
    // What went wrong, with everything the server printed.
    const QString& error() const { return error_; }
    // Ends the server; true when it exited within waitMs.
    bool stop(int waitMs = 5000);

private:
    // What the server has written to its standard error so far.
    QString said() const;
    // Whether the child has ended (and is reaped).
    bool ended();

    QTemporaryFile log_;
    pid_t pid_ = -1;
    int port_ = 0;
    QString error_;
};

} // namespace quell::testsupport
