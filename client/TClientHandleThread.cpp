#include "client/TClientHandleThread.h"

#include "client/AnswerLineReader.h"
#include "client/LineProtocol.h"
#include "client/LineScheduler.h"

#include <QElapsedTimer>
#include <QTcpSocket>

#include <chrono>
#include <utility>

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quell {

namespace {

// How long one wait on the socket or on the GUI may last before the worker looks at stop again.
constexpr int kSliceMs = 50;
// How long an idle worker sleeps before it looks at the table again on its own; every change
// that can make an entry due wakes it at once.
constexpr std::chrono::milliseconds kIdleWait(250);

} // namespace

TClientHandleThread::TClientHandleThread(LineScheduler& scheduler, QString host, quint16 port,
                                         QObject* parent)
    : QObject(parent), scheduler_(scheduler), host_(std::move(host)), port_(port)
{
}

TClientHandleThread::~TClientHandleThread()
{
    requestStop();
    wait();
}

void TClientHandleThread::start(int connectTimeoutMs)
{
    connectTimeoutMs_ = connectTimeoutMs;
    thread_ = std::thread([this] { run(); });
}

int TClientHandleThread::openConnection()
{
    // A non-blocking connect watched in short slices: a host that never answers holds the worker
    // only until stop is asked for, not for the whole time-out (which a blocking connect would).
    QElapsedTimer elapsed;
    elapsed.start();
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string host = host_.toStdString();
    const std::string port = std::to_string(port_);
    if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0)
        return -1;
    int connected = -1;
    for (addrinfo* at = found; at && connected < 0 && !stopping(); at = at->ai_next) {
        const int fd = ::socket(at->ai_family, at->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                at->ai_protocol);
        if (fd < 0)
            continue;
        bool ok = ::connect(fd, at->ai_addr, at->ai_addrlen) == 0;
        if (!ok && errno == EINPROGRESS) {
            pollfd watch = {fd, POLLOUT, 0};
            while (!stopping() && elapsed.elapsed() < connectTimeoutMs_) {
                const int ready = ::poll(&watch, 1, kSliceMs);
                if (ready > 0) {
                    int error = 0;
                    socklen_t length = sizeof error;
                    ok = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
                    break;
                }
                if (ready < 0 && errno != EINTR)
                    break;
            }
        }
        if (ok && !stopping())
            connected = fd;
        else
            ::close(fd);
    }
    ::freeaddrinfo(found);
    return connected;
}

void TClientHandleThread::wait()
{
    if (thread_.joinable())
        thread_.join();
}

void TClientHandleThread::requestStop()
{
    stop_ = true;
    {
        std::lock_guard lock(mutex_);
    }
    wakeUp_.notify_all();
    scheduler_.wake();
}

void TClientHandleThread::setPaused(bool paused)
{
    paused_ = paused;
    {
        std::lock_guard lock(mutex_);
    }
    wakeUp_.notify_all();
    scheduler_.wake();
}

std::string TClientHandleThread::answerLine()
{
    std::lock_guard lock(mutex_);
    return answer_;
}

std::vector<RequestPlan> TClientHandleThread::takePlans()
{
    std::lock_guard lock(mutex_);
    return std::exchange(plans_, {});
}

void TClientHandleThread::answerProcessed()
{
    {
        std::lock_guard lock(mutex_);
        processed_ = true;
    }
    wakeUp_.notify_all();
}

void TClientHandleThread::waitWhilePaused()
{
    std::unique_lock lock(mutex_);
    wakeUp_.wait(lock, [this] { return !paused_ || stop_; });
}

bool TClientHandleThread::handOff(std::string line)
{
    {
        std::lock_guard lock(mutex_);
        processed_ = false;
        answer_ = std::move(line);
    }
    emit answerReady();
    std::unique_lock lock(mutex_);
    wakeUp_.wait(lock, [this] { return processed_ || stop_; });
    answer_.clear();
    return processed_;
}

void TClientHandleThread::run()
{
    QTcpSocket socket;
    const int fd = openConnection();
    bool ok = fd >= 0;
    if (ok && !socket.setSocketDescriptor(fd)) {
        ::close(fd);
        ok = false;
    }
    if (ok)
        socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (stopping())
        return;
    connected_ = ok;
    emit connectFinished(ok);
    if (!ok)
        return;

    AnswerLineReader reader(LineProtocol::kMaxAnswerLineLength);
    while (!stopping() && socket.state() == QAbstractSocket::ConnectedState) {
        waitWhilePaused();
        if (stopping())
            break;
        const RequestPlan plan = scheduler_.BuildRequestLine();
        if (plan.selectRow || plan.sendAllFinished || plan.error) {
            {
                std::lock_guard lock(mutex_);
                plans_.push_back(plan);
            }
            emit planReady();
        }
        if (plan.line.empty()) {
            scheduler_.waitForWork(LineScheduler::Clock::now() + kIdleWait);
            continue;
        }

        QByteArray request(plan.line.data(), static_cast<qsizetype>(plan.line.size()));
        request.append(LineProtocol::kLineEnd.data(),
                       static_cast<qsizetype>(LineProtocol::kLineEnd.size()));
        // A failed write is not acted on: the answer read below notices a dead connection.
        socket.write(request);
        while (socket.bytesToWrite() > 0 && !stopping()
               && socket.state() == QAbstractSocket::ConnectedState)
            socket.waitForBytesWritten(kSliceMs);

        // A server that never answers must not hold the link for ever: past the time the
        // settings allow for this line the connection counts as lost, and the controller
        // reconnects as after a close.
        QElapsedTimer waited;
        waited.start();
        bool timedOut = false;
        std::string line;
        bool gotLine = false;
        while (!stopping()) {
            const AnswerLineReader::Result result = reader.next(line);
            if (result == AnswerLineReader::Result::Line) {
                gotLine = true;
                break;
            }
            if (result == AnswerLineReader::Result::TooLong)
                break; // the exchange is dropped; the connection stays up
            if (socket.state() != QAbstractSocket::ConnectedState)
                break;
            if (waited.elapsed() >= plan.answerTimeout.count()) {
                timedOut = true;
                break;
            }
            if (socket.waitForReadyRead(kSliceMs) || socket.bytesAvailable() > 0) {
                const QByteArray bytes = socket.readAll();
                reader.append(
                    std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
            }
        }
        if (timedOut)
            break;
        if (!gotLine || stopping())
            continue;
        if (!handOff(std::move(line)))
            break;
    }
    const bool lost = !stopping();
    socket.abort();
    connected_ = false;
    if (lost)
        emit connectionLost();
}

} // namespace quell
