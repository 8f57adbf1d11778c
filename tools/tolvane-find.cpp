// Sends a search request to the map editor this user runs, as another
// program would, and prints its answer:
//
//   tolvane-find [--server <name>] <request>
//
// The request is an SQL select, "layer=...,field=...,value=..." lines or
// addresses ("улица,5#улица"); "-" reads it from the standard input.

#include "dialogs/SearchRequests.h"
#include "dialogs/SearchServer.h"
#include "platform/TextCodec.h"
#include "tools/ToolUsage.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <cstdio>

namespace {

constexpr char Usage[] =
    "usage: tolvane-find [--server <name>] <request>\n"
    "  Sends a search request to the running map editor of this user and prints\n"
    "  its answer: the number of objects found, or why the request was refused.\n"
    "  The request is an SQL select, lines of layer=...,field=...,value=...\n"
    "  (tolvane-find 'layer=parcels,field=NAME,value=\"Сад\"'), or addresses\n"
    "  separated by '#' ('Шевченка,5#Франка'); '-' reads it from standard input.\n"
    "  --server names the editor's socket (default: TFindTolvane-<user>).\n"
    "  Status: 0 handled, 1 refused or no editor running, 2 wrong arguments.\n";

} // namespace

int main(int argc, char **argv)
{
    if (tools::asksForHelp(argc, argv))
        return tools::showUsage(Usage);
    QCoreApplication app(argc, argv);
    QString server = dialogs::search::requestServerName();
    QString request;
    bool haveRequest = false;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == u"--server") {
            if (i + 1 >= args.size())
                return tools::wrongArguments("tolvane-find", "--server needs a name", Usage);
            server = args[++i];
        } else if (args[i].startsWith(u"--")) {
            return tools::wrongArguments("tolvane-find", "unknown option", Usage);
        } else if (haveRequest) {
            return tools::wrongArguments("tolvane-find", "one request only (quote it)", Usage);
        } else {
            request = args[i];
            haveRequest = true;
        }
    }
    if (!haveRequest)
        return tools::wrongArguments("tolvane-find", "no request given", Usage);
    if (request == u"-") {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            return 1;
        request = QString::fromUtf8(in.readAll());
    }
    const QByteArray text = platform::toCp1251(request);
    if (text.size() >= dialogs::search::kMaxRequest) {
        std::fprintf(stderr, "tolvane-find: the request is longer than %d bytes\n", dialogs::search::kMaxRequest - 1);
        return 1;
    }
    dialogs::RequestReply reply;
    const bool answered = dialogs::sendSearchRequest(server, text, reply);
    std::fprintf(reply.refused ? stderr : stdout, "%s\n", reply.text.toUtf8().constData());
    return answered && !reply.refused ? 0 : 1;
}
