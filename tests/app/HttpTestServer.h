#pragma once
// A minimal HTTP/1.1 server on 127.0.0.1 for the update tests: fixed answers
// per request target, one request per connection.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <memory>

struct HttpAnswer
{
    int status = 200;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    // When above 0: instead of body, this many bytes of blanks written as the
    // client takes them, never much more than the socket holds at once.
    qint64 streamBytes = 0;
    // Without a length the body ends when the server closes the connection.
    bool declareLength = true;
};

struct HttpRequestSeen
{
    QByteArray target;
    QByteArray userAgent;
};

class HttpTestServer
{
public:
    HttpTestServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
            }
        });
    }

    bool isListening() const { return m_server.isListening(); }
    QString url(const QString& target) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(target);
    }
    void answer(const QByteArray& target, const HttpAnswer& a) { m_answers.insert(target, a); }
    void answer(const QByteArray& target, int status, const QByteArray& body)
    {
        HttpAnswer a;
        a.status = status;
        a.body = body;
        m_answers.insert(target, a);
    }
    void redirect(const QByteArray& target, int status, const QByteArray& location)
    {
        HttpAnswer a;
        a.status = status;
        a.body = "moved";
        a.headers.append({"Location", location});
        m_answers.insert(target, a);
    }
    // Answer for every target without one of its own (default 404).
    void setFallback(const HttpAnswer& a) { m_fallback = a; }

    QList<HttpRequestSeen> requests;
    // Bytes of streamed bodies handed to the sockets so far.
    qint64 streamed = 0;

private:
    void serve(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const int end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        m_buffers.remove(socket);
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        HttpRequestSeen seen;
        seen.target = requestLine.value(1);
        for (const QByteArray& line : lines) {
            const int colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == "user-agent")
                seen.userAgent = line.mid(colon + 1).trimmed();
        }
        requests.append(seen);

        const HttpAnswer a = m_answers.value(seen.target, m_fallback);
        const qint64 length = a.streamBytes > 0 ? a.streamBytes : a.body.size();
        QByteArray out = "HTTP/1.1 " + QByteArray::number(a.status) + " X\r\n";
        if (a.declareLength)
            out += "Content-Length: " + QByteArray::number(length) + "\r\n";
        out += "Connection: close\r\n";
        for (const auto& h : a.headers)
            out += h.first + ": " + h.second + "\r\n";
        out += "\r\n";
        if (a.streamBytes <= 0) {
            socket->write(out + a.body);
            socket->disconnectFromHost();
            return;
        }
        socket->write(out);
        auto left = std::make_shared<qint64>(a.streamBytes);
        auto pump = [this, socket, left] {
            static const QByteArray chunk(64 * 1024, ' ');
            while (*left > 0 && socket->state() == QAbstractSocket::ConnectedState
                   && socket->bytesToWrite() < 256 * 1024) {
                const qint64 n = qMin<qint64>(*left, chunk.size());
                socket->write(chunk.constData(), n);
                *left -= n;
                streamed += n;
            }
            if (*left == 0 && socket->state() == QAbstractSocket::ConnectedState)
                socket->disconnectFromHost();
        };
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, pump);
        pump();
    }

    QTcpServer m_server;
    QHash<QByteArray, HttpAnswer> m_answers;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    HttpAnswer m_fallback{404, "not found", {}};
};
