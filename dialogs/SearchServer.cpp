#include "dialogs/SearchServer.h"

#include "dialogs/SearchRequests.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <QVariant>

namespace dialogs {

namespace {

constexpr int kIdleMs = 10000;
const char *const kBuffer = "tolvaneRequestBuffer";

QByteArray replyBytes(const RequestReply &reply)
{
    QByteArray payload(1, reply.refused ? '\1' : '\0');
    payload += reply.text.toUtf8();
    return search::encodeFrame(payload);
}

} // namespace

SearchServer::SearchServer(Handler handler, QObject *parent)
    : QObject(parent), handler_(std::move(handler)), server_(new QLocalServer(this))
{
    // Only the user's own programs may connect.
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] { accept(); });
}

SearchServer::~SearchServer() = default;

bool SearchServer::listen(const QString &name)
{
    // A running program of the user keeps its name (a listen with access
    // options would take the socket's place); a file left by a program that
    // ended without closing it is removed.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(500))
        return false;
    QLocalServer::removeServer(name);
    return server_->listen(name);
}

QString SearchServer::errorText() const
{
    return server_->errorString();
}

void SearchServer::accept()
{
    while (QLocalSocket *socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        QPointer<QLocalSocket> guard(socket);
        QTimer::singleShot(kIdleMs, this, [guard] {
            if (guard && guard->property(kBuffer).isValid())
                guard->abort();
        });
        socket->setProperty(kBuffer, QByteArray());
        readFrom(socket);
    }
}

void SearchServer::readFrom(QLocalSocket *socket)
{
    if (!socket->property(kBuffer).isValid())
        return; // answered already
    // Never more than one frame's bytes are kept.
    QByteArray buffer = socket->property(kBuffer).toByteArray();
    const qint64 room = 4 + search::kMaxRequest - buffer.size();
    if (room > 0)
        buffer += socket->read(room);
    const search::Frame frame = search::decodeFrame(buffer);
    if (frame.status == search::FrameStatus::Incomplete) {
        socket->setProperty(kBuffer, buffer);
        return;
    }
    socket->setProperty(kBuffer, QVariant());
    if (frame.status == search::FrameStatus::Oversized) {
        answer(socket, {true, QStringLiteral("Запрос поиска отклонён: он длиннее ") + QString::number(search::kMaxRequest)
                                  + QStringLiteral(" байт !")});
        return;
    }
    if (busy_) {
        // A request that arrives while one is handled waits for its end.
        QPointer<QLocalSocket> guard(socket);
        const QByteArray text = frame.text;
        QTimer::singleShot(10, this, [this, guard, text] {
            if (!guard)
                return;
            guard->setProperty(kBuffer, search::encodeFrame(text));
            readFrom(guard);
        });
        return;
    }
    busy_ = true;
    RequestReply reply;
    try {
        reply = handler_(frame.text);
    } catch (...) {
        busy_ = false;
        throw;
    }
    busy_ = false;
    answer(socket, reply);
}

void SearchServer::answer(QLocalSocket *socket, const RequestReply &reply)
{
    socket->write(replyBytes(reply));
    socket->flush();
    socket->disconnectFromServer();
}

bool sendSearchRequest(const QString &serverName, const QByteArray &text, RequestReply &reply, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(timeoutMs)) {
        reply = {true, QStringLiteral("Программа не запущена: нет канала ") + serverName};
        return false;
    }
    QByteArray payload = text;
    payload += '\0';
    socket.write(search::encodeFrame(payload));
    if (!socket.waitForBytesWritten(timeoutMs)) {
        reply = {true, QStringLiteral("Запрос не отправлен: ") + socket.errorString()};
        return false;
    }
    QByteArray buffer;
    while (true) {
        const search::Frame frame = search::decodeFrame(buffer);
        if (frame.status == search::FrameStatus::Complete) {
            // The status byte first; the text may hold no zero byte anyway.
            const QByteArray whole = buffer.mid(4, frame.used - 4);
            reply.refused = whole.isEmpty() || whole[0] != '\0';
            reply.text = QString::fromUtf8(whole.mid(1));
            return true;
        }
        if (frame.status == search::FrameStatus::Oversized || !socket.waitForReadyRead(timeoutMs))
            break;
        buffer += socket.readAll();
    }
    reply = {true, QStringLiteral("Нет ответа на запрос")};
    return false;
}

} // namespace dialogs
