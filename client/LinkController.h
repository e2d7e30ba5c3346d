#pragma once

#include "client/DeviceLink.h"
#include "client/Dialogs.h"
#include "client/LinkStatus.h"
#include "client/RequestScheduler.h"

#include "protocol/UCommands.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QTimer;

namespace quell {

class ClientSettings;
class TClientHandleThread;

// The link to the communication server: the parameter table, its request scheduler, the worker
// of the current connection, start and stop, reconnecting on a timer, send-all, pause and the
// direct requests. The window turns its controls into calls here and shows what the signals
// report; procedures use it through DeviceLink. Connecting happens on the worker, so no call
// here blocks. Every member runs on the GUI thread.
class LinkController : public QObject, public DeviceLink {
    Q_OBJECT
public:
    // A stopped link with an empty table.
    explicit LinkController(QObject* parent = nullptr);
    ~LinkController() override;

    // The serial settings and pacing a line carries, and where the server is, derived from the
    // settings file's values; takes effect for the next line (or the next connect).
    void applySettings(const ClientSettings& settings);
    // The scheduler's view of settings, as one function of the settings file's values.
    static LinkSettings linkSettingsOf(const ClientSettings& settings);

    // Start as the user asks for it: a port that is no number fails at once ("Error while
    // connecting:" message); otherwise the state goes to Connecting and the worker connects.
    void start();
    // Stop: the connection closes, retries end, every awaited transaction ends; never blocks
    // for longer than a fraction of a second.
    void stop();
    // The window closes: stop, and end every awaited transaction, also while not started.
    void shutDown();
    // Whether the window has closed: waits started now end at once.
    bool isShutDown() const { return shutDown_; }
    // Whether the user has started the link (true while connecting and reconnecting).
    bool started() const { return started_; }
    // Whether lines go out now.
    bool isConnected() const { return state_ == LinkState::Connected; }
    // Pauses or resumes the worker between exchanges (nothing without a worker).
    void setPaused(bool paused);
    // True while the worker is paused.
    bool isPaused() const;
    // "Send all to target": starts the link first when it is stopped, resumes a paused worker.
    void sendAll();
    // Where the link stands now, for the status bar; the answer counts are those since Start.
    LinkStatus status() const;
    // Marks a settings word for the next line.
    void markSettingsChanged(LineProtocol::SettingsWord word);

    // The table and the scheduler that guards it against the worker.
    TProtocol& protocol() { return protocol_; }
    const TProtocol& protocol() const { return protocol_; }
    RequestScheduler& scheduler() { return scheduler_; }
    const RequestScheduler& scheduler() const { return scheduler_; }

    // ---- DeviceLink ----
    bool WriteParameter(std::uint16_t entry, const std::string& valueText) override;
    bool ReadParameter(std::uint16_t entry) override;
    TSendCommand currentCommand() const override { return scheduler_.currentCommand(); }
    // The direct request last queued or taken from the queue (the window's name for it).
    TSendCommand CurrentCommand() const { return currentCommand(); }
    LinkState linkState() const override { return state_; }
    bool valuesLive() const override { return isConnected() && !isPaused(); }
    CellMarks cellMarks(std::uint16_t entry) const override { return scheduler_.cellMarks(entry); }
    void readTable(const std::function<void(const TProtocol&)>& read) const override;
    void readTableAndCells(
        const std::function<void(const TProtocol&, const std::vector<std::string>&)>& read)
        const override;
    void editTable(const std::function<void(TProtocol&)>& edit) override;
    // An awaited transaction's wait (see AwaitedTransaction).
    WaitOutcome waitUntil(const std::function<bool()>& condition, int timeoutMs) override;

signals:
    // The link moved to another state.
    void stateChanged(quell::LinkState state);
    // A message for the user (the window shows it at its corner); emitted synchronously, so the
    // box is closed again when the call that caused it returns.
    void message(quell::Dialogs::Kind kind, const QString& text);
    // An answer line has been applied to the table; the window shows the echo and the cells and
    // tells the view. The worker waits until every receiver has returned.
    void answerApplied(const quell::AnswerEffects& effects);
    // Send-all wants the row of an entry selected.
    void rowSelected(std::uint16_t entry);
    // Send-all went through the table (the message follows).
    void sendAllFinished();
    // The worker was paused or resumed.
    void pausedChanged(bool paused);
    // Every awaited transaction must end now (the link stopped or the window closes).
    void waitsAborted();

private:
    void setState(LinkState state);
    void startWorker();
    void dropWorker();
    void connectFinished(TClientHandleThread* worker, bool connected);
    void answerReady(TClientHandleThread* worker);
    void planReady(TClientHandleThread* worker);
    void connectionLost(TClientHandleThread* worker);
    void armReconnect();
    void reconnectTimer();
    void resumeIfPaused();
    bool queueDirectRequest(std::uint16_t index, const QString& what,
                            const std::function<bool()>& queue);

    TProtocol protocol_;
    RequestScheduler scheduler_{protocol_};
    QString host_ = QStringLiteral("localhost");
    QString port_ = QStringLiteral("9099");
    bool started_ = false;
    bool shutDown_ = false;
    LinkState state_ = LinkState::Stopped;
    QPointer<TClientHandleThread> worker_;
    QTimer* senderTimer_ = nullptr;
    // Since Start: answer lines' time-outs and errors, and when the last line came.
    int timeOuts_ = 0;
    int errorAnswers_ = 0;
    QElapsedTimer sinceAnswer_;
};

} // namespace quell
