#include "compact/CompactLink.h"

#include "client/ClientSettings.h"
#include "client/LinkController.h"
#include "client/TClientHandleThread.h"
#include "compact/UCommands.h"
#include "protocol/ConvertError.h"

namespace quell::compact {

namespace {

constexpr int kConnectTimeoutMs = 10000;
constexpr int kUserNameLength = 20;

QString loginName()
{
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty())
        name = qEnvironmentVariable("LOGNAME");
    return name.left(kUserNameLength);
}

} // namespace

CompactLink::CompactLink(QObject* parent)
    : QObject(parent), protocol_(std::make_unique<TProtocol>()), scheduler_(*protocol_)
{
}

CompactLink::~CompactLink()
{
    dropWorker();
}

void CompactLink::applySettings(const ClientSettings& settings)
{
    host_ = settings.host;
    port_ = settings.port;
    LinkSettings link = LinkController::linkSettingsOf(settings);
    link.viaMC = false;
    link.userName = scheduler_.settings().userName;
    scheduler_.setSettings(link);
}

void CompactLink::setState(LinkState state)
{
    if (state == state_)
        return;
    state_ = state;
    emit stateChanged(state);
}

void CompactLink::start()
{
    if (started())
        return;
    bool portOk = false;
    const uint port = port_.trimmed().toUInt(&portOk);
    if (!portOk || port > 65535) {
        emit message(
            Dialogs::Kind::Error,
            QStringLiteral("Error while connecting:\r")
                + QString::fromStdString(EConvertError::integer(port_.toStdString()).what()));
        return;
    }
    LinkSettings s = scheduler_.settings();
    s.userName = loginName().toStdString();
    scheduler_.setSettings(s);
    auto* worker = new TClientHandleThread(scheduler_, host_.trimmed(), static_cast<quint16>(port));
    // Each signal names its worker, so that a late signal of an ended worker is told apart.
    connect(worker, &TClientHandleThread::connectFinished, this,
            [this, worker](bool ok) { connectFinished(worker, ok); });
    connect(worker, &TClientHandleThread::answerReady, this,
            [this, worker] { answerReady(worker); });
    connect(worker, &TClientHandleThread::connectionLost, this,
            [this, worker] { connectionLost(worker); });
    scheduler_.connected();
    timeOuts_ = 0;
    errorAnswers_ = 0;
    sinceAnswer_.invalidate();
    stopCause_ = StopCause::User;
    worker_ = worker;
    setState(LinkState::Connecting);
    worker->start(kConnectTimeoutMs);
}

void CompactLink::dropWorker()
{
    if (!worker_)
        return;
    TClientHandleThread* worker = worker_;
    worker_ = nullptr;
    worker->disconnect(this);
    // The worker looks at the stop request at least every few tens of milliseconds, also while it
    // waits for an answer that never comes, so this join is short.
    worker->requestStop();
    worker->wait();
    delete worker;
}

void CompactLink::stop()
{
    const bool wasPaused = isPaused();
    dropWorker();
    setState(LinkState::Stopped);
    if (wasPaused)
        emit pausedChanged(false);
}

void CompactLink::connectFinished(TClientHandleThread* worker, bool connected)
{
    if (worker != worker_)
        return;
    if (connected) {
        setState(LinkState::Connected);
        return;
    }
    dropWorker();
    stopCause_ = StopCause::NotReached;
    emit message(Dialogs::Kind::Error, QStringLiteral("Error while connecting:\r") + host_.trimmed()
                                           + QLatin1Char(':') + port_.trimmed()
                                           + QStringLiteral(" does not answer"));
    setState(LinkState::Stopped);
}

void CompactLink::connectionLost(TClientHandleThread* worker)
{
    if (worker != worker_)
        return;
    // There is no reconnect here: the user is told, and the window is stopped so that Start
    // works again.
    const bool wasPaused = isPaused();
    worker_ = nullptr;
    worker->wait();
    worker->deleteLater();
    stopCause_ = StopCause::ConnectionLost;
    setState(LinkState::Stopped);
    if (wasPaused)
        emit pausedChanged(false);
    emit message(Dialogs::Kind::Warning, QStringLiteral("The connection to the server was lost: ")
                                             + host_.trimmed() + QLatin1Char(':')
                                             + port_.trimmed());
}

void CompactLink::answerReady(TClientHandleThread* worker)
{
    if (worker != worker_)
        return;
    const CompactAnswerEffects effects = scheduler_.ProcessAnswerLine(worker->answerLine());
    timeOuts_ += effects.timeOuts;
    errorAnswers_ += effects.errorAnswers;
    sinceAnswer_.start();
    emit answerApplied(effects);
    // A receiver may have let a Stop run meanwhile, which has freed the worker.
    if (worker_ && worker == worker_)
        worker->answerProcessed();
}

void CompactLink::setPaused(bool paused)
{
    if (!worker_ || worker_->isPaused() == paused)
        return;
    worker_->setPaused(paused);
    emit pausedChanged(paused);
}

LinkStatus CompactLink::status() const
{
    LinkStatus status;
    status.state = state_;
    status.paused = isPaused();
    status.server = host_.trimmed() + QLatin1Char(':') + port_.trimmed();
    if (sinceAnswer_.isValid())
        status.sinceAnswerMs = sinceAnswer_.elapsed();
    status.timeOuts = timeOuts_;
    status.errorAnswers = errorAnswers_;
    status.stopCause = state_ == LinkState::Stopped ? stopCause_ : StopCause::User;
    return status;
}

bool CompactLink::isPaused() const
{
    return worker_ && worker_->isPaused();
}

void CompactLink::markSettingsChanged(LineProtocol::SettingsWord word)
{
    scheduler_.markSettingsChanged(word);
}

bool CompactLink::WriteParameter(std::uint8_t entry)
{
    const bool inTable = scheduler_.withTable(
        [entry](const TProtocol& t) { return entry >= 1 && entry <= t.Count; });
    if (!inTable)
        return false;
    if (!scheduler_.WriteParameter(entry)) {
        // The board never sees this value: say so instead of dropping it unnoticed.
        emit message(
            Dialogs::Kind::Error,
            QStringLiteral("The command queue is full: the write of entry %1 was not sent.")
                .arg(entry));
        return false;
    }
    setPaused(false);
    return true;
}

} // namespace quell::compact
