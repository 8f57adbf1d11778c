// The SMS control against a simulated GSM modem on a pseudo-terminal: the
// connection (text mode, the SIM's PIN), sending through the "> " prompt,
// taking in received messages once each, and the failures a user must see
// instead of a hang.

#include "platform/modem/GsmModem.h"
#include "support/ModemSimulator.h"

#include <gtest/gtest.h>

#include <memory>

using platform::GsmError;
using testsupport::ModemSimulator;

namespace {

// Short limits: a test of a silent modem must end soon.
platform::GsmTimeouts quick() { return {500, 1000}; }

std::unique_ptr<platform::IGsmOut> sender(const ModemSimulator &modem, const QString &pin = QStringLiteral("1234"))
{
    auto out = platform::createGsmOut();
    out->Device = modem.device();
    out->SetTrace(0);
    out->SetPin(pin);
    return out;
}

std::unique_ptr<platform::IGsmIn> receiver(const ModemSimulator &modem)
{
    auto in = platform::createGsmIn();
    in->Device = modem.device();
    in->SetTrace(0);
    in->SetPin(QStringLiteral("1234"));
    in->SetDeleteAfterReceive(1);
    in->SetReceiveRead(1);
    return in;
}

QStringList walk(platform::IGsmIn &in)
{
    QStringList texts;
    in.Receive();
    if (in.Eof())
        return texts;
    for (in.First(); !in.Eof(); in.Next())
        texts << in.MessageText();
    return texts;
}

std::string errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const GsmError &e) {
        return e.what();
    }
    return "no error";
}

class GsmModemTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(modem.device().isEmpty()) << "no pseudo-terminal"; }
    platform::ScopedService<platform::GsmTimeouts> limits{quick()};
    ModemSimulator modem;
};

} // namespace

TEST_F(GsmModemTest, SendingGoesThroughThePromptInTextModeAfterThePin)
{
    struct Case {
        const char *name;
        bool chunked;
    };
    for (const Case c : {Case{"whole answers", false}, Case{"answers in pieces", true}}) {
        SCOPED_TRACE(c.name);
        ModemSimulator m;
        m.requirePin(QStringLiteral("1234"));
        m.setChunked(c.chunked);
        auto out = sender(m);
        out->Connect();
        EXPECT_TRUE(m.textMode());
        out->MessageRecipient = QStringLiteral(" +380501112233 ");
        out->MessageData = QStringLiteral("POS?");
        out->Send();
        out->MessageRecipient = QStringLiteral("0501112244");
        out->MessageData = QStringLiteral("two\nlines");
        out->Send();
        const auto sent = m.sent();
        ASSERT_EQ(sent.size(), 2u);
        EXPECT_EQ(sent[0].number, QStringLiteral("+380501112233"));
        EXPECT_EQ(sent[0].text, QStringLiteral("POS?"));
        EXPECT_EQ(sent[1].number, QStringLiteral("0501112244"));
        EXPECT_EQ(sent[1].text, QStringLiteral("two\nlines"));
        // The PIN is entered before any message command.
        const QStringList cmds = m.commands();
        EXPECT_LT(cmds.indexOf(QStringLiteral("AT+CPIN=\"1234\"")), cmds.indexOf(QStringLiteral("AT+CMGF=1")));
    }
}

TEST_F(GsmModemTest, TextsAndNumbersCannotBreakTheCommand)
{
    auto out = sender(modem);
    out->Connect();
    // Ctrl-Z would send the text early and Esc cancel it; non-ASCII reads '?'.
    out->MessageRecipient = QStringLiteral("123");
    out->MessageData = QStringLiteral("a\x1A" "b\x1B" "cЖ");
    out->Send();
    ASSERT_EQ(modem.sent().size(), 1u);
    EXPECT_EQ(modem.sent()[0].text, QStringLiteral("abc?"));

    // A quote in a number would end the command's argument.
    for (const char *number : {"123\";AT+CMGD=1", "", "12a", "1+2"}) {
        SCOPED_TRACE(number);
        out->MessageRecipient = QString::fromLatin1(number);
        EXPECT_EQ(errorOf([&] { out->Send(); }).rfind("Неверный номер телефона", 0), 0u);
    }
    EXPECT_EQ(modem.sent().size(), 1u);
    for (const QString &c : modem.commands())
        EXPECT_FALSE(c.contains(u"CMGD")) << c.toStdString();
}

TEST_F(GsmModemTest, EachReceivedMessageIsTakenInOnce)
{
    modem.receive(QStringLiteral("+380501112233"), QStringLiteral("first"));
    modem.receive(QStringLiteral("+380501112244"), QStringLiteral("line one\nline two"));
    modem.store(QStringLiteral("STO SENT"), QStringLiteral("+380501112233"), QStringLiteral("outgoing"));
    auto in = receiver(modem);
    in->Connect();
    EXPECT_EQ(walk(*in), (QStringList{QStringLiteral("first"), QStringLiteral("line one\nline two")}));
    // Taken in: deleted from the modem; the stored outgoing one stays.
    ASSERT_EQ(modem.stored().size(), 1u);
    EXPECT_EQ(modem.stored()[0].status, QStringLiteral("STO SENT"));
    // The next call brings only what arrived since.
    EXPECT_EQ(walk(*in), QStringList());
    modem.receive(QStringLiteral("+380501112233"), QStringLiteral("third"));
    EXPECT_EQ(walk(*in), QStringList{QStringLiteral("third")});
    EXPECT_TRUE(in->Eof());
    EXPECT_EQ(in->MessageText(), QString());
}

TEST_F(GsmModemTest, MessagesLeftOnTheModemAreRememberedAndNotTakenInAgain)
{
    struct Case {
        const char *name;
        bool refuseDelete;
        int deleteAfter;
    };
    for (const Case c : {Case{"deleting refused", true, 1}, Case{"deleting off", false, 0}}) {
        SCOPED_TRACE(c.name);
        ModemSimulator m;
        if (c.refuseDelete)
            m.refuse(QStringLiteral("AT+CMGD"));
        m.receive(QStringLiteral("+1"), QStringLiteral("kept"));
        auto in = receiver(m);
        in->SetDeleteAfterReceive(c.deleteAfter);
        in->Connect();
        EXPECT_EQ(walk(*in), QStringList{QStringLiteral("kept")});
        EXPECT_EQ(m.stored().size(), 1u);
        EXPECT_EQ(walk(*in), QStringList());
        // A new message with the same text is another message.
        m.receive(QStringLiteral("+1"), QStringLiteral("kept"));
        EXPECT_EQ(walk(*in), QStringList{QStringLiteral("kept")});
        EXPECT_EQ(walk(*in), QStringList());
    }
}

TEST_F(GsmModemTest, SendAndReceiveShareTheDevice)
{
    modem.receive(QStringLiteral("+1"), QStringLiteral("reply"));
    auto out = sender(modem);
    auto in = receiver(modem);
    out->Connect();
    in->Connect();   // a second open of the device would be refused
    out->MessageRecipient = QStringLiteral("+1");
    out->MessageData = QStringLiteral("request");
    out->Send();
    out->Disconnect();
    EXPECT_EQ(walk(*in), QStringList{QStringLiteral("reply")});
    EXPECT_EQ(modem.sent().size(), 1u);
    // Once both have left, the device is free for a new connection.
    in->Disconnect();
    auto again = sender(modem);
    again->Connect();
    again->MessageRecipient = QStringLiteral("+2");
    again->MessageData = QStringLiteral("request");
    again->Send();
    EXPECT_EQ(modem.sent().size(), 2u);
}

TEST_F(GsmModemTest, FailuresRaiseWithAMessage)
{
    struct Case {
        const char *name;
        std::function<void(ModemSimulator &, platform::IGsmOut &)> setUp;
        bool connect;       // the failure comes on Connect, otherwise on Send
        const char *message;
    };
    const std::vector<Case> cases = {
        {"wrong PIN", [](ModemSimulator &m, platform::IGsmOut &) { m.requirePin(QStringLiteral("9999")); }, true,
         "Неверный PIN-код SIM-карты"},
        {"PIN asked, none given",
         [](ModemSimulator &m, platform::IGsmOut &o) {
             m.requirePin(QStringLiteral("1234"));
             o.SetPin(QString());
         },
         true, "SIM-карта модема требует PIN-код"},
        {"silent modem", [](ModemSimulator &m, platform::IGsmOut &) { m.setMute(true); }, true, "Модем "},
        {"no such device", [](ModemSimulator &, platform::IGsmOut &o) { o.Device = QStringLiteral("/dev/nonexistent-modem"); },
         true, "Не удалось открыть порт модема /dev/nonexistent-modem"},
        {"no device named", [](ModemSimulator &, platform::IGsmOut &o) { o.Device = QString(); }, true,
         "Не указано устройство модема"},
        {"sending refused", [](ModemSimulator &m, platform::IGsmOut &) { m.refuse(QStringLiteral("AT+CMGS")); },
         false, "Модем отклонил команду AT+CMGS=\"+1\": ERROR"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ModemSimulator m;
        auto out = sender(m);
        c.setUp(m, *out);
        out->MessageRecipient = QStringLiteral("+1");
        out->MessageData = QStringLiteral("request");
        if (c.connect) {
            EXPECT_EQ(errorOf([&] { out->Connect(); }).rfind(c.message, 0), 0u) << errorOf([&] { out->Connect(); });
            // Not connected: sending says so rather than writing to nothing.
            EXPECT_EQ(errorOf([&] { out->Send(); }), "Модем не подключён");
        } else {
            out->Connect();
            EXPECT_EQ(errorOf([&] { out->Send(); }), c.message);
        }
        EXPECT_TRUE(m.sent().empty());
    }
}

TEST_F(GsmModemTest, AModemThatStopsAnsweringRaisesAndIsUsableAgain)
{
    modem.receive(QStringLiteral("+1"), QStringLiteral("one"));
    auto in = receiver(modem);
    in->Connect();
    modem.setMute(true);
    EXPECT_THROW(in->Receive(), platform::GsmTimeout);
    // Nothing was taken in, so nothing is lost.
    EXPECT_EQ(modem.stored().size(), 1u);
    modem.setMute(false);
    EXPECT_EQ(walk(*in), QStringList{QStringLiteral("one")});
}
