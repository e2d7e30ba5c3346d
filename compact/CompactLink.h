#pragma once

#include "client/DeviceLink.h"
#include "client/Dialogs.h"
#include "client/LinkStatus.h"
#include "compact/CompactScheduler.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <memory>

namespace quell {
class ClientSettings;
class TClientHandleThread;
} // namespace quell

namespace quell::compact {

class TProtocol;

// The compact configurator's link to the communication server: its table, its scheduler, the
// worker of the connection (the full tool's TClientHandleThread), Start, Stop, pause and
// WriteParameter. Unlike the full tool's controller it does not reconnect: a lost connection
// is reported and the link is stopped, so Start works again. Connecting happens on the worker,
// so no call here blocks; Stop returns within a fraction of a second even when the server never
// answers. Every member runs on the GUI thread.
class CompactLink : public QObject {
    Q_OBJECT
public:
    // A stopped link with an empty table.
    explicit CompactLink(QObject* parent = nullptr);
    ~CompactLink() override;

    // Where the server is and what the request lines carry, from the settings file's values;
    // takes effect for the next line (or the next connect).
    void applySettings(const ClientSettings& settings);

    // Start: a port that is no number fails at once ("Error while connecting:" message);
    // otherwise the state goes to Connecting and the worker connects (at most 10 s).
    void start();
    // Stop: the worker ends and the connection closes.
    void stop();
    // Connecting or connected.
    bool started() const { return state_ != LinkState::Stopped; }
    // Where the link stands.
    LinkState linkState() const { return state_; }
    // Pauses or resumes the worker between exchanges (nothing without a worker).
    void setPaused(bool paused);
    // True while the worker is paused.
    bool isPaused() const;
    // Whether values arrive now: connected and not paused. Otherwise every value shown is as
    // old as the last answer.
    bool valuesLive() const { return state_ == LinkState::Connected && !isPaused(); }
    // Where the link stands now, for the status bar: the answer counts are those since Start,
    // and after a lost connection or a server that was not reached it says so until Start.
    LinkStatus status() const;
    // Marks a settings word for the next line.
    void markSettingsChanged(LineProtocol::SettingsWord word);

    // Queues a write of the entry's current Value, also while stopped (it goes out after the
    // next Start), and resumes a paused worker. A write that does not fit the full queue is
    // reported by message() and returns false.
    bool WriteParameter(std::uint8_t entry);

    // The table, locked through the scheduler while the worker runs.
    CompactScheduler& scheduler() { return scheduler_; }
    const CompactScheduler& scheduler() const { return scheduler_; }

signals:
    // The link moved to another state.
    void stateChanged(quell::LinkState state);
    // A message for the user; emitted synchronously.
    void message(quell::Dialogs::Kind kind, const QString& text);
    // An answer line has been applied; the window shows the echo and the cells and refreshes the
    // view. The worker waits until every receiver has returned.
    void answerApplied(const quell::compact::CompactAnswerEffects& effects);
    // The worker was paused or resumed.
    void pausedChanged(bool paused);

private:
    void setState(LinkState state);
    void dropWorker();
    void connectFinished(TClientHandleThread* worker, bool connected);
    void answerReady(TClientHandleThread* worker);
    void connectionLost(TClientHandleThread* worker);

    std::unique_ptr<TProtocol> protocol_; // some 200 KB
    CompactScheduler scheduler_;
    QString host_ = QStringLiteral("localhost");
    QString port_ = QStringLiteral("9099");
    LinkState state_ = LinkState::Stopped;
    QPointer<TClientHandleThread> worker_;
    // Since Start: answer lines' time-outs and errors, when the last line came, and why the link
    // stopped when it stopped by itself.
    int timeOuts_ = 0;
    int errorAnswers_ = 0;
    QElapsedTimer sinceAnswer_;
    StopCause stopCause_ = StopCause::User;
};

} // namespace quell::compact
