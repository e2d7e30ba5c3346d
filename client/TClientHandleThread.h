#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quell {

class LineScheduler;
struct RequestPlan;

// The link worker of one connection: connects to the communication server off the GUI thread,
// then asks the scheduler for request lines, writes them, reads each answer line and hands it to
// the GUI thread, waiting until the GUI has applied it before it builds the next line. Every wait
// is bounded by short slices so that stop takes effect at once, wherever the worker is. The thread
// is a standard thread, joined by wait(), so that every tool sees where it ends.
class TClientHandleThread : public QObject {
    Q_OBJECT
public:
    // A worker for host:port over the scheduler of either program (not owned; it outlives the
    // worker).
    TClientHandleThread(LineScheduler& scheduler, QString host, quint16 port,
                        QObject* parent = nullptr);
    ~TClientHandleThread() override;

    // Starts the thread, which connects (at most connectTimeoutMs, given up at once on
    // requestStop()) and then runs the link; connectFinished() tells how the connect went. Returns
    // at once. GUI thread.
    void start(int connectTimeoutMs = 10000);
    // Asks the worker to end; it closes the connection and ends within a fraction of a second.
    // Any thread.
    void requestStop();
    // Waits until the worker has ended (after requestStop() or a lost connection). GUI thread.
    void wait();
    // Pauses or resumes the worker between exchanges. Any thread.
    void setPaused(bool paused);
    // True while paused.
    bool isPaused() const { return paused_; }
    // True between a successful connect and the end of the worker.
    bool isConnected() const { return connected_; }
    // The answer line the worker holds for the GUI (after answerReady()). GUI thread.
    std::string answerLine();
    // The GUI has applied the answer line; the worker goes on. GUI thread.
    void answerProcessed();
    // The GUI effects of request lines built since the last call, oldest first. GUI thread.
    std::vector<RequestPlan> takePlans();

signals:
    // The connect has ended: connected, or not (refused, unreachable, timed out). Not sent when
    // the worker was asked to stop meanwhile; after false the thread has ended.
    void connectFinished(bool connected);
    // The worker holds an answer line for the GUI to apply; answerProcessed() must follow.
    // Signals carry no data: what crosses threads is kept here under the lock.
    void answerReady();
    // A request line asked the GUI to select a row, to report that send-all is done, or to show
    // a conversion error: see takePlans().
    void planReady();
    // The connection ended without being asked to (the server closed it or it broke).
    void connectionLost();

private:
    void run();
    int openConnection();
    bool stopping() const { return stop_; }
    void waitWhilePaused();
    bool handOff(std::string line);

    LineScheduler& scheduler_;
    QString host_;
    quint16 port_;
    int connectTimeoutMs_ = 10000;
    std::thread thread_;
    std::atomic<bool> connected_{false};
    std::atomic<bool> stop_{false};
    std::atomic<bool> paused_{false};
    std::mutex mutex_;
    std::condition_variable wakeUp_;
    bool processed_ = false;
    std::string answer_;
    std::vector<RequestPlan> plans_;
};

} // namespace quell
