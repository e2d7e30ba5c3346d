#include "client/LinkController.h"

#include "client/AwaitedTransaction.h"
#include "client/ClientSettings.h"
#include "client/TClientHandleThread.h"
#include "protocol/ConvertError.h"
#include "protocol/ValueCodec.h"

#include <QTimer>

namespace quell {

namespace {

constexpr int kReconnectMs = 3000;
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

LinkController::LinkController(QObject* parent) : QObject(parent)
{
    senderTimer_ = new QTimer(this);
    senderTimer_->setObjectName(QStringLiteral("SenderTimer"));
    senderTimer_->setSingleShot(true);
    senderTimer_->setInterval(kReconnectMs);
    connect(senderTimer_, &QTimer::timeout, this, &LinkController::reconnectTimer);
}

LinkController::~LinkController()
{
    dropWorker();
}

LinkSettings LinkController::linkSettingsOf(const ClientSettings& s)
{
    LinkSettings link;
    link.baud = s.baud.toStdString();
    link.parity = s.parity.toStdString();
    link.dataBits = s.dataBits.toStdString();
    link.stopBits = s.stopBits.toStdString();
    link.timeOutPosition = s.timeOut;
    link.retries =
        s.retryingText.isEmpty() ? std::to_string(s.retrying) : s.retryingText.toStdString();
    link.viaMC = s.enableMc;
    link.deviceAddress = static_cast<std::uint8_t>(s.address);
    link.mcAddress = static_cast<std::uint8_t>(s.mcAddress);
    link.mask = s.mask;
    link.mcMask = s.mcMask;
    link.maxPacket = s.maxPacket;
    link.transmitDelay = s.transmitDelay;
    return link;
}

void LinkController::applySettings(const ClientSettings& settings)
{
    host_ = settings.host;
    port_ = settings.port;
    LinkSettings link = linkSettingsOf(settings);
    // The login name is taken at each connect; a settings change must not blank it.
    link.userName = scheduler_.settings().userName;
    scheduler_.setSettings(link);
}

void LinkController::setState(LinkState state)
{
    if (state == state_)
        return;
    state_ = state;
    emit stateChanged(state);
}

void LinkController::start()
{
    if (started_)
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
    started_ = true;
    timeOuts_ = 0;
    errorAnswers_ = 0;
    sinceAnswer_.invalidate();
    senderTimer_->stop();
    setState(LinkState::Connecting);
    startWorker();
}

void LinkController::startWorker()
{
    dropWorker();
    LinkSettings s = scheduler_.settings();
    s.userName = loginName().toStdString();
    scheduler_.setSettings(s);
    auto* worker =
        new TClientHandleThread(scheduler_, host_.trimmed(), static_cast<quint16>(port_.toUInt()));
    // Each signal names its worker, so that a late signal of an ended worker is told apart.
    connect(worker, &TClientHandleThread::connectFinished, this,
            [this, worker](bool ok) { connectFinished(worker, ok); });
    connect(worker, &TClientHandleThread::answerReady, this,
            [this, worker] { answerReady(worker); });
    connect(worker, &TClientHandleThread::planReady, this, [this, worker] { planReady(worker); });
    connect(worker, &TClientHandleThread::connectionLost, this,
            [this, worker] { connectionLost(worker); });
    // The scheduler is fresh for this connection before the worker asks it for a line.
    scheduler_.connected();
    worker_ = worker;
    worker->start(kConnectTimeoutMs);
}

void LinkController::dropWorker()
{
    if (!worker_)
        return;
    TClientHandleThread* worker = worker_;
    worker_ = nullptr;
    worker->disconnect(this);
    worker->requestStop();
    worker->wait();
    delete worker;
}

void LinkController::connectFinished(TClientHandleThread* worker, bool connected)
{
    if (worker != worker_)
        return;
    if (connected) {
        senderTimer_->stop();
        setState(LinkState::Connected);
        return;
    }
    // The thread has ended after a failed connect; it is joined at once.
    dropWorker();
    if (state_ == LinkState::Connecting) {
        // The user's own Start failed: say where, and the link is stopped again.
        started_ = false;
        emit message(Dialogs::Kind::Error, QStringLiteral("Error while connecting:\r") + host_
                                               + QLatin1Char(':') + port_.trimmed()
                                               + QStringLiteral(" does not answer"));
        setState(LinkState::Stopped);
        return;
    }
    setState(LinkState::Lost);
    armReconnect();
}

void LinkController::stop()
{
    const bool wasStarted = started_;
    started_ = false;
    senderTimer_->stop();
    dropWorker();
    setState(LinkState::Stopped);
    if (wasStarted)
        emit waitsAborted();
}

void LinkController::shutDown()
{
    shutDown_ = true;
    stop();
    emit waitsAborted();
}

void LinkController::armReconnect()
{
    senderTimer_->setInterval(kReconnectMs);
    senderTimer_->start();
}

void LinkController::reconnectTimer()
{
    if (started_ && !worker_)
        startWorker();
}

void LinkController::connectionLost(TClientHandleThread* worker)
{
    if (worker != worker_)
        return;
    // The worker has ended; it is joined at once so that no thread outlives its connection.
    worker_ = nullptr;
    worker->wait();
    worker->deleteLater();
    if (started_) {
        setState(LinkState::Reconnecting);
        armReconnect();
    }
}

void LinkController::setPaused(bool paused)
{
    if (!worker_ || worker_->isPaused() == paused)
        return;
    worker_->setPaused(paused);
    emit pausedChanged(paused);
}

bool LinkController::isPaused() const
{
    return worker_ && worker_->isPaused();
}

void LinkController::resumeIfPaused()
{
    setPaused(false);
}

void LinkController::sendAll()
{
    // A new connection puts the poll cursor on entry 1, so the link is started before send-all
    // is armed: the first step must still take entry 1.
    if (!started_)
        start();
    else
        resumeIfPaused();
    scheduler_.beginSendAll();
}

LinkStatus LinkController::status() const
{
    LinkStatus status;
    status.state = state_;
    status.paused = isPaused();
    status.server = host_.trimmed() + QLatin1Char(':') + port_.trimmed();
    if (senderTimer_->isActive())
        status.nextTryMs = senderTimer_->remainingTime();
    if (sinceAnswer_.isValid())
        status.sinceAnswerMs = sinceAnswer_.elapsed();
    status.timeOuts = timeOuts_;
    status.errorAnswers = errorAnswers_;
    return status;
}

void LinkController::markSettingsChanged(LineProtocol::SettingsWord word)
{
    scheduler_.markSettingsChanged(word);
}

bool LinkController::WriteParameter(std::uint16_t entry, const std::string& valueText)
{
    return queueDirectRequest(entry, QStringLiteral("write"),
                              [&] { return scheduler_.WriteParameter(entry, valueText); });
}

bool LinkController::ReadParameter(std::uint16_t entry)
{
    return queueDirectRequest(entry, QStringLiteral("read"),
                              [&] { return scheduler_.ReadParameter(entry); });
}

bool LinkController::queueDirectRequest(std::uint16_t index, const QString& what,
                                        const std::function<bool()>& queue)
{
    if (!started_) {
        emit message(Dialogs::Kind::Error, QStringLiteral("Client nije konektovan !!!"));
        return false;
    }
    bool queued = false;
    try {
        queued = queue();
    } catch (const EConvertError& error) {
        emit message(Dialogs::Kind::Error, QString::fromStdString(error.what()));
        return false;
    } catch (const EWriteRefused& refusal) {
        emit message(Dialogs::Kind::Error, QString::fromStdString(refusal.what()));
        return false;
    }
    if (!queued) {
        // The request never reaches the device: say so rather than let the caller wait for it.
        emit message(Dialogs::Kind::Error,
                     QStringLiteral("The command queue is full: the %1 of entry %2 was not sent.")
                         .arg(what)
                         .arg(index));
        return false;
    }
    resumeIfPaused();
    return true;
}

void LinkController::answerReady(TClientHandleThread* worker)
{
    // A late signal of a worker that has been stopped meanwhile has nothing to apply.
    if (worker != worker_)
        return;
    const AnswerEffects effects = scheduler_.ProcessAnswerLine(worker->answerLine());
    timeOuts_ += effects.timeOuts;
    errorAnswers_ += effects.errorAnswers;
    sinceAnswer_.start();
    emit answerApplied(effects);
    // A message box shown by a receiver may have let a Stop run meanwhile, which has freed the
    // worker; only the current one is released.
    if (worker_ && worker == worker_)
        worker->answerProcessed();
}

void LinkController::planReady(TClientHandleThread* worker)
{
    if (worker != worker_)
        return;
    for (const RequestPlan& plan : worker->takePlans()) {
        if (plan.selectRow)
            emit rowSelected(*plan.selectRow);
        if (plan.error)
            emit message(Dialogs::Kind::Error, QString::fromStdString(*plan.error));
        if (plan.sendAllFinished) {
            emit sendAllFinished();
            emit message(Dialogs::Kind::Information, QStringLiteral("Parametri poslati u uređaj"));
        }
        // A message box may have let a Stop run meanwhile.
        if (worker != worker_)
            return;
    }
}

void LinkController::readTable(const std::function<void(const TProtocol&)>& read) const
{
    scheduler_.withTable(read);
}

void LinkController::readTableAndCells(
    const std::function<void(const TProtocol&, const std::vector<std::string>&)>& read) const
{
    scheduler_.withTableAndCells(read);
}

void LinkController::editTable(const std::function<void(TProtocol&)>& edit)
{
    scheduler_.editTable(edit);
}

WaitOutcome LinkController::waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    return AwaitedTransaction(*this).waitUntil(condition, timeoutMs);
}

} // namespace quell
