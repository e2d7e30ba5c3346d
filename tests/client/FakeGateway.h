#pragma once

#include <QByteArray>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

namespace quell {

// A communication server for tests, on a loopback ephemeral port, living in the test's thread:
// it records every request line and answers each through a function the test sets (returning
// an empty optional-like null QByteArray leaves the line unanswered).
class FakeGateway : public QObject {
public:
    FakeGateway()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                ++connections;
                client_ = s;
                connect(s, &QTcpSocket::readyRead, this, [this, s] { read(s); });
            }
        });
    }

    quint16 port() const { return server_.serverPort(); }

    // Closes the current client's connection, as a server that goes away.
    void dropClient()
    {
        if (client_)
            client_->abort();
    }

    // Stops accepting connections.
    void close() { server_.close(); }

    // Accepts connections again, on the given loopback port (a server that is back).
    bool listen(quint16 port) { return server_.listen(QHostAddress::LocalHost, port); }

    QList<QByteArray> lines; // request lines without CR LF, in order
    int connections = 0;
    // The answer line (without CR LF) for a request line; a null QByteArray sends nothing.
    std::function<QByteArray(const QByteArray&)> answer = [](const QByteArray& line) {
        return echoSettings(line);
    };

    // A settings line answered with its own words; a device line with a time-out per block.
    static QByteArray echoSettings(const QByteArray& line)
    {
        if (!line.startsWith("BODY="))
            return line;
        QByteArray out;
        for (qsizetype at = line.indexOf("BODY="); at >= 0; at = line.indexOf("BODY=", at + 1)) {
            const qsizetype end = line.indexOf("END", at);
            out += line.mid(at, end + 3 - at) + " ERROR=TimeOut ";
        }
        return out;
    }

private:
    void read(QTcpSocket* s)
    {
        buffer_ += s->readAll();
        for (qsizetype end = buffer_.indexOf("\r\n"); end >= 0; end = buffer_.indexOf("\r\n")) {
            const QByteArray line = buffer_.left(end);
            buffer_.remove(0, end + 2);
            lines << line;
            const QByteArray reply = answer(line);
            if (!reply.isNull())
                s->write(reply + "\r\n");
        }
    }

    QTcpServer server_;
    QTcpSocket* client_ = nullptr;
    QByteArray buffer_;
};

} // namespace quell
