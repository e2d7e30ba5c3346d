#pragma once

#include <QByteArray>
#include <QSemaphore>
#include <QString>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace quell {

class RequestScheduler;

// The link worker of one connection: connects to the communication server, then asks the
// scheduler for request lines, writes them, reads each answer line and hands it to the GUI
// thread, waiting until the GUI has applied it before it builds the next line. Every wait is
// bounded by short slices so that stop takes effect at once, wherever the worker is.
class TClientHandleThread : public QThread {
    Q_OBJECT
public:
    // A worker for host:port over the scheduler (not owned; it outlives the worker).
    TClientHandleThread(RequestScheduler& scheduler, QString host, quint16 port,
                        QObject* parent = nullptr);
    ~TClientHandleThread() override;

    // Starts the thread and waits until the connection is made or has failed (at most
    // connectTimeoutMs); true when connected. GUI thread.
    bool connectAndStart(int connectTimeoutMs = 10000);
    // Asks the worker to end; it closes the connection and ends within a fraction of a second.
    // Any thread.
    void requestStop();
    // Pauses or resumes the worker between exchanges. Any thread.
    void setPaused(bool paused);
    // True while paused.
    bool isPaused() const { return paused_; }
    // True between a successful connect and the end of the worker.
    bool isConnected() const { return connected_; }
    // The GUI has applied the line of answerLine(); the worker goes on. GUI thread.
    void answerProcessed();

signals:
    // An answer line for the GUI to apply; answerProcessed() must follow.
    void answerLine(const QByteArray& line);
    // The scheduler asked the GUI to select a row, to report that send-all is done, or to show
    // a conversion error (row < 1: none).
    void requestPlanned(int selectRow, bool sendAllFinished, const QString& error);
    // The connection ended without being asked to (the server closed it or it broke).
    void connectionLost();

protected:
    void run() override;

private:
    bool stopping() const { return stop_; }
    void waitWhilePaused();
    bool handOff(const QByteArray& line);

    RequestScheduler& scheduler_;
    QString host_;
    quint16 port_;
    int connectTimeoutMs_ = 10000;
    QSemaphore connectDone_;
    std::atomic<bool> connected_{false};
    std::atomic<bool> stop_{false};
    std::atomic<bool> paused_{false};
    std::mutex mutex_;
    std::condition_variable wakeUp_;
    bool processed_ = false;
};

} // namespace quell
