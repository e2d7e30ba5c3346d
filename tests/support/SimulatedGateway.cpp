#include "tests/support/SimulatedGateway.h"

#include <QRegularExpression>

namespace quell::testsupport {

SimulatedGateway::~SimulatedGateway()
{
    stop();
}

bool SimulatedGateway::start(const QString& program, const QStringList& sims,
                             const QStringList& extra, int waitMs)
{
    QStringList arguments;
    for (const QString& sim : sims)
        arguments << QStringLiteral("--sim") << sim;
    arguments << QStringLiteral("--listen") << QStringLiteral("127.0.0.1:0") << extra;
    process_.setProgram(program);
    process_.setArguments(arguments);
    process_.start();
    if (!process_.waitForStarted()) {
        error_ = program + QStringLiteral(": ") + process_.errorString();
        return false;
    }
    // quellgw says where it listens on standard error once the socket is bound.
    const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
    QString said;
    for (int waited = 0; waited < waitMs && port_ == 0; waited += 50) {
        process_.waitForReadyRead(50);
        said += QString::fromLocal8Bit(process_.readAllStandardError());
        const auto match = listening.match(said);
        port_ = match.hasMatch() ? match.captured(1).toInt() : 0;
        if (process_.state() == QProcess::NotRunning)
            break;
    }
    if (port_ == 0)
        error_ = QStringLiteral("quellgw gave no port: ") + said;
    return port_ != 0;
}

bool SimulatedGateway::stop(int waitMs)
{
    if (process_.state() == QProcess::NotRunning)
        return true;
    process_.terminate();
    if (process_.waitForFinished(waitMs))
        return true;
    process_.kill();
    process_.waitForFinished();
    return false;
}

} // namespace quell::testsupport
