#include "tests/support/SimulatedGateway.h"

#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <csignal>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace quell::testsupport {

namespace {

constexpr int kPollMs = 20;

} // namespace

SimulatedGateway::~SimulatedGateway()
{
    stop();
}

bool SimulatedGateway::start(const QString& program, const QStringList& sims,
                             const QStringList& extra, int waitMs)
{
    if (!log_.open()) {
        error_ = QStringLiteral("no file for quellgw's messages: ") + log_.errorString();
        return false;
    }
    QStringList arguments{program};
    for (const QString& sim : sims)
        arguments << QStringLiteral("--sim") << sim;
    arguments << QStringLiteral("--listen") << QStringLiteral("127.0.0.1:0") << extra;
    // Everything the child needs is made before the fork: it only redirects and execs.
    std::vector<std::string> texts;
    for (const QString& a : arguments)
        texts.push_back(a.toStdString());
    std::vector<char*> argv;
    for (std::string& t : texts)
        argv.push_back(t.data());
    argv.push_back(nullptr);
    const int logFd = log_.handle();
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(logFd, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (pid_ < 0) {
        error_ = QStringLiteral("fork failed for ") + program;
        return false;
    }
    // quellgw says where it listens on standard error once the socket is bound.
    const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
    for (int waited = 0; waited < waitMs && port_ == 0; waited += kPollMs) {
        const auto match = listening.match(said());
        port_ = match.hasMatch() ? match.captured(1).toInt() : 0;
        if (port_ == 0) {
            if (ended())
                break;
            QThread::msleep(kPollMs);
        }
    }
    if (port_ == 0)
        error_ = program + QStringLiteral(" gave no port: ") + said();
    return port_ != 0;
}

QString SimulatedGateway::said() const
{
    QFile file(log_.fileName());
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

bool SimulatedGateway::ended()
{
    if (pid_ <= 0)
        return true;
    if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        return true;
    }
    return false;
}

bool SimulatedGateway::stop(int waitMs)
{
    if (ended())
        return true;
    ::kill(pid_, SIGTERM);
    for (int waited = 0; waited < waitMs; waited += kPollMs) {
        if (ended())
            return true;
        QThread::msleep(kPollMs);
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
    return false;
}

} // namespace quell::testsupport
