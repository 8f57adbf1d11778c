#pragma once
// The local socket on which other programs of the user send search requests
// to the running map (requestServerName): each connection sends one framed
// request (SearchRequests.h) and gets one framed answer once the request has
// been handled on the interface thread. A frame longer than the limit is
// refused at once; a connection that sends no whole frame in time is dropped.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;
class QLocalSocket;

namespace dialogs {

struct RequestReply {
    bool refused = false;
    QString text;
};

class SearchServer : public QObject {
public:
    using Handler = std::function<RequestReply(const QByteArray &text)>;

    explicit SearchServer(Handler handler, QObject *parent = nullptr);
    ~SearchServer() override;
    // Listens under the name (an old socket of a program that is gone is
    // removed first); false when another running program already has it.
    bool listen(const QString &name);
    QString errorText() const;

private:
    void accept();
    void readFrom(QLocalSocket *socket);
    void answer(QLocalSocket *socket, const RequestReply &reply);

    Handler handler_;
    QLocalServer *server_ = nullptr;
    bool busy_ = false;
};

// Sends one request and waits for its answer (for the sender tool and tests);
// false with the reason in reply.text when no answer came.
bool sendSearchRequest(const QString &serverName, const QByteArray &text, RequestReply &reply, int timeoutMs = 30000);

} // namespace dialogs
