#include "platform/modem/GsmModem.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QSerialPort>
#include <QStringList>

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <vector>

namespace platform {

namespace {

Q_LOGGING_CATEGORY(lcGsm, "tolvane.gsm")

// The most one command's answer may hold; a modem that talks on past it is
// taken as broken rather than read without end.
constexpr qsizetype maxAnswerBytes = 1 << 20;

// Names without a folder are devices under /dev.
QString devicePath(const QString &device)
{
    const QString d = device.trimmed();
    return d.startsWith(u'/') ? d : QStringLiteral("/dev/") + d;
}

bool isFinalOk(const QByteArray &line) { return line == "OK"; }

bool isFinalError(const QByteArray &line)
{
    return line == "ERROR" || line.startsWith("+CME ERROR") || line.startsWith("+CMS ERROR") ||
           line == "NO CARRIER";
}

// Messages the modem sends of its own accord, between or inside answers.
bool isUnsolicited(const QByteArray &line)
{
    return line.startsWith("+CMTI:") || line.startsWith("+CDSI:") || line == "RING";
}

// Phone numbers go into a quoted command argument: only dialling characters.
bool validNumber(const QString &number)
{
    if (number.isEmpty() || number.size() > 40)
        return false;
    for (qsizetype i = 0; i < number.size(); ++i) {
        const QChar c = number[i];
        const bool ok = (c >= u'0' && c <= u'9') || c == u'*' || c == u'#' || (c == u'+' && i == 0);
        if (!ok)
            return false;
    }
    return true;
}

bool validPin(const QString &pin)
{
    if (pin.size() < 4 || pin.size() > 8)
        return false;
    for (const QChar c : pin)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// The text of a message as the modem takes it in text mode: printable ASCII
// and line breaks. Ctrl-Z would end the message early and Esc cancel it, so
// control characters never reach the modem.
QByteArray messageBytes(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\r' || u == u'\n' || (u >= 0x20 && u < 0x7F))
            out += static_cast<char>(u);
        else if (u >= 0x80)
            out += '?';
    }
    return out;
}

// The comma-separated values after a "+CMGL:" head, quotes removed; commas
// inside quotes (the time stamp) do not split.
QStringList headValues(const QByteArray &head)
{
    QStringList values;
    QString cur;
    bool quoted = false;
    for (const char ch : head) {
        if (ch == '"') {
            quoted = !quoted;
        } else if (ch == ',' && !quoted) {
            values << cur.trimmed();
            cur.clear();
        } else {
            cur += QLatin1Char(ch);
        }
    }
    values << cur.trimmed();
    return values;
}

struct StoredMessage {
    int index = 0;
    QString status, sender, timestamp, text;
};

// One open serial device and the conversation with the modem on it.
class ModemSession {
public:
    explicit ModemSession(QString path) : path_(std::move(path)) {}
    ~ModemSession()
    {
        if (port_.isOpen())
            port_.close();
    }
    ModemSession(const ModemSession &) = delete;
    ModemSession &operator=(const ModemSession &) = delete;

    // The session of a device: the one that components share while any of
    // them holds it, otherwise a new one (not yet open).
    static std::shared_ptr<ModemSession> attach(const QString &device)
    {
        static std::map<QString, std::weak_ptr<ModemSession>> sessions;
        const QString path = devicePath(device);
        if (auto s = sessions[path].lock())
            return s;
        auto s = std::make_shared<ModemSession>(path);
        sessions[path] = s;
        return s;
    }

    bool ready() const { return ready_ && port_.isOpen(); }

    // Opens the device and makes the modem ready for text messages: the SIM
    // unlocked (with the PIN when it asks for one) and text mode on.
    void open(const QString &pin, bool trace)
    {
        trace_ = trace_ || trace;
        if (ready())
            return;
        ready_ = false;
        buffer_.clear();
        if (port_.isOpen())
            port_.close();
        port_.setPortName(path_);
        if (!port_.open(QIODevice::ReadWrite))
            throw GsmError(QStringLiteral("Не удалось открыть порт модема %1: %2").arg(path_, port_.errorString()));
        port_.setBaudRate(QSerialPort::Baud115200);
        port_.setDataBits(QSerialPort::Data8);
        port_.setParity(QSerialPort::NoParity);
        port_.setStopBits(QSerialPort::OneStop);
        port_.setFlowControl(QSerialPort::NoFlowControl);
        try {
            // Esc leaves a message prompt that an earlier user may have left open.
            write("\x1B", QDeadlineTimer(gsmTimeouts().command), "AT");
            command("AT");
            command("ATE0");
            QString state;
            for (const QByteArray &line : command("AT+CPIN?"))
                if (line.startsWith("+CPIN:"))
                    state = QString::fromLatin1(line.mid(6)).trimmed();
            if (state == u"SIM PIN") {
                const QString p = pin.trimmed();
                if (p.isEmpty())
                    throw GsmError(QStringLiteral("SIM-карта модема требует PIN-код"));
                if (!validPin(p))
                    throw GsmError(QStringLiteral("Неверный PIN-код SIM-карты"));
                try {
                    command("AT+CPIN=\"" + p.toLatin1() + '"');
                } catch (const GsmTimeout &) {
                    throw;
                } catch (const GsmError &) {
                    throw GsmError(QStringLiteral("Неверный PIN-код SIM-карты"));
                }
            } else if (state != u"READY") {
                throw GsmError(QStringLiteral("SIM-карта модема не готова: %1").arg(state));
            }
            command("AT+CMGF=1");
            // Plain ASCII texts; a modem that knows no such setting keeps its own.
            try {
                command("AT+CSCS=\"IRA\"");
            } catch (const GsmTimeout &) {
                throw;
            } catch (const GsmError &) {
            }
            ready_ = true;
        } catch (...) {
            port_.close();
            throw;
        }
    }

    void sendText(const QString &number, const QString &text)
    {
        const QString n = number.trimmed();
        if (!validNumber(n))
            throw GsmError(QStringLiteral("Неверный номер телефона: %1").arg(number));
        const QByteArray cmd = "AT+CMGS=\"" + n.toLatin1() + '"';
        startCommand(cmd);
        QDeadlineTimer deadline(gsmTimeouts().command);
        try {
            // The modem asks for the text with "> ", which ends no line.
            for (;;) {
                QByteArray line;
                bool prompt = false;
                while (takeLine(line)) {
                    if (line == cmd || isUnsolicited(line))
                        continue;
                    if (isFinalError(line) || isFinalOk(line))
                        throw GsmError(refusal(cmd, line));
                    if (line == ">") {
                        prompt = true;
                        break;
                    }
                }
                if (prompt || buffer_.trimmed().startsWith('>')) {
                    buffer_.clear();
                    break;
                }
                readMore(deadline, cmd);
            }
        } catch (const GsmTimeout &) {
            cancelPrompt();
            throw;
        }
        if (trace_)
            qCDebug(lcGsm) << "->" << text;
        write(messageBytes(text) + '\x1A', QDeadlineTimer(gsmTimeouts().send), cmd);
        finalAnswer(cmd, QDeadlineTimer(gsmTimeouts().send));
    }

    // The received messages the modem holds: read and unread ones, or the
    // unread ones only.
    std::vector<StoredMessage> list(bool withRead)
    {
        const QByteArray cmd = withRead ? QByteArrayLiteral("AT+CMGL=\"ALL\"")
                                        : QByteArrayLiteral("AT+CMGL=\"REC UNREAD\"");
        std::vector<StoredMessage> out;
        bool inMessage = false;
        bool firstLine = true;
        for (const QByteArray &line : command(cmd)) {
            if (line.startsWith("+CMGL:")) {
                const QStringList v = headValues(line.mid(6));
                bool ok = false;
                const int index = v.value(0).toInt(&ok);
                inMessage = ok && index >= 0;
                firstLine = true;
                if (inMessage)
                    out.push_back({index, v.value(1), v.value(2), v.value(4), QString()});
                continue;
            }
            if (!inMessage)
                continue;
            // Lines of a text with line breaks in it.
            QString &text = out.back().text;
            if (!firstLine)
                text += u'\n';
            text += QString::fromLatin1(line);
            firstLine = false;
        }
        // "ALL" lists the stored outgoing messages too; they are no replies.
        std::erase_if(out, [](const StoredMessage &m) { return !m.status.startsWith(u"REC "); });
        return out;
    }

    void remove(int index) { command("AT+CMGD=" + QByteArray::number(index)); }

private:
    // Stale answers (of a command that timed out, or unsolicited ones) must
    // not be taken for the answer of the next command.
    void startCommand(const QByteArray &cmd)
    {
        if (!ready_ && !port_.isOpen())
            throw GsmError(QStringLiteral("Модем не подключён"));
        port_.readAll();
        buffer_.clear();
        answerBytes_ = 0;
        if (trace_)
            qCDebug(lcGsm) << "->" << cmd;
        write(cmd + '\r', QDeadlineTimer(gsmTimeouts().command), cmd);
    }

    // Runs a command; the lines of its answer before the final "OK". A refusal
    // or no answer in time raises.
    std::vector<QByteArray> command(const QByteArray &cmd)
    {
        startCommand(cmd);
        return finalAnswer(cmd, QDeadlineTimer(gsmTimeouts().command));
    }

    std::vector<QByteArray> finalAnswer(const QByteArray &cmd, const QDeadlineTimer &deadline)
    {
        std::vector<QByteArray> lines;
        for (;;) {
            QByteArray line;
            while (takeLine(line)) {
                if (line == cmd || isUnsolicited(line))
                    continue;
                if (isFinalOk(line))
                    return lines;
                if (isFinalError(line))
                    throw GsmError(refusal(cmd, line));
                lines.push_back(line);
            }
            readMore(deadline, cmd);
        }
    }

    QString refusal(const QByteArray &cmd, const QByteArray &line) const
    {
        return QStringLiteral("Модем отклонил команду %1: %2")
            .arg(QString::fromLatin1(cmd), QString::fromLatin1(line));
    }

    // The next non-blank line of what was read, without its line break.
    bool takeLine(QByteArray &line)
    {
        for (;;) {
            qsizetype end = -1;
            for (qsizetype i = 0; i < buffer_.size(); ++i)
                if (buffer_[i] == '\r' || buffer_[i] == '\n') {
                    end = i;
                    break;
                }
            if (end < 0)
                return false;
            line = buffer_.left(end);
            buffer_.remove(0, end + 1);
            if (!line.trimmed().isEmpty()) {
                if (trace_)
                    qCDebug(lcGsm) << "<-" << line;
                // Result codes may come with blanks around them.
                if (isFinalOk(line.trimmed()) || isFinalError(line.trimmed()) || line.trimmed() == ">")
                    line = line.trimmed();
                return true;
            }
        }
    }

    // Waits for more of the answer until the deadline.
    void readMore(const QDeadlineTimer &deadline, const QByteArray &cmd)
    {
        while (port_.bytesAvailable() == 0) {
            if (deadline.hasExpired())
                throw GsmTimeout(QStringLiteral("Модем %1 не ответил на команду %2")
                                     .arg(path_, QString::fromLatin1(cmd)));
            if (!port_.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
                checkPort();
        }
        const QByteArray bytes = port_.readAll();
        answerBytes_ += bytes.size();
        if (answerBytes_ > maxAnswerBytes) {
            buffer_.clear();
            throw GsmError(QStringLiteral("Слишком длинный ответ модема на команду %1").arg(QString::fromLatin1(cmd)));
        }
        buffer_ += bytes;
    }

    void write(const QByteArray &bytes, const QDeadlineTimer &deadline, const QByteArray &cmd)
    {
        if (port_.write(bytes) != bytes.size()) {
            checkPort();
            throw GsmError(lostText());
        }
        while (port_.bytesToWrite() > 0) {
            if (deadline.hasExpired() ||
                !port_.waitForBytesWritten(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
                checkPort();
                if (deadline.hasExpired())
                    throw GsmTimeout(QStringLiteral("Модем %1 не принял команду %2")
                                         .arg(path_, QString::fromLatin1(cmd)));
            }
        }
    }

    // A device that went away (unplugged) ends the connection; the next use
    // opens it again.
    void checkPort()
    {
        const QSerialPort::SerialPortError e = port_.error();
        if (e == QSerialPort::NoError || e == QSerialPort::TimeoutError) {
            port_.clearError();
            return;
        }
        const QString text = lostText();
        ready_ = false;
        port_.close();
        throw GsmError(text);
    }

    QString lostText() const
    {
        return QStringLiteral("Потеряна связь с модемом %1: %2").arg(path_, port_.errorString());
    }

    // Leaves the message prompt without sending.
    void cancelPrompt()
    {
        if (port_.isOpen()) {
            port_.write("\x1B");
            port_.waitForBytesWritten(100);
        }
    }

    QString path_;
    QSerialPort port_;
    QByteArray buffer_;
    qsizetype answerBytes_ = 0;
    bool ready_ = false;
    bool trace_ = false;
};

// What both components share: the PIN, the trace switch and the connection.
class GsmComponent {
protected:
    void connectTo(const QString &device)
    {
        if (session_ && session_->ready())
            return;
        if (!session_) {
            if (device.trimmed().isEmpty())
                throw GsmError(QStringLiteral("Не указано устройство модема"));
            auto s = ModemSession::attach(device);
            s->open(pin_, trace_);
            session_ = std::move(s);
        } else {
            session_->open(pin_, trace_);
        }
    }

    // The connection, opened again when the device was lost since.
    ModemSession &session()
    {
        if (!session_)
            throw GsmError(QStringLiteral("Модем не подключён"));
        if (!session_->ready())
            session_->open(pin_, trace_);
        return *session_;
    }

    std::shared_ptr<ModemSession> session_;
    QString pin_;
    bool trace_ = false;
};

class TGsmOut final : public IGsmOut, private GsmComponent {
public:
    void SetTrace(int on) override { trace_ = on != 0; }
    void SetPin(const QString &pin) override { pin_ = pin; }
    void Connect() override { connectTo(Device); }
    void Disconnect() override { session_.reset(); }
    void Send() override { session().sendText(MessageRecipient, MessageData); }
};

class TGsmIn final : public IGsmIn, private GsmComponent {
public:
    void SetTrace(int on) override { trace_ = on != 0; }
    void SetPin(const QString &pin) override { pin_ = pin; }
    void SetDeleteAfterReceive(int on) override { deleteAfter_ = on != 0; }
    void SetReceiveRead(int on) override { withRead_ = on != 0; }
    void Connect() override { connectTo(Device); }
    void Disconnect() override
    {
        session_.reset();
        messages_.clear();
        current_ = 0;
    }

    void Receive() override
    {
        messages_.clear();
        current_ = 0;
        ModemSession &s = session();
        const std::vector<StoredMessage> listed = s.list(withRead_);
        std::set<Key> kept;
        bool deleting = deleteAfter_;
        for (const StoredMessage &m : listed) {
            Key key{m.index, m.sender, m.timestamp, m.text};
            if (taken_.count(key)) {
                kept.insert(std::move(key));
                continue;
            }
            messages_.push_back(m.text);
            bool removed = false;
            if (deleting) {
                try {
                    s.remove(m.index);
                    removed = true;
                } catch (const GsmTimeout &) {
                    // No answer: the rest are remembered without asking again.
                    deleting = false;
                } catch (const GsmError &) {
                    // Refused: remembered instead; a lost device stops the deleting.
                    deleting = s.ready();
                }
            }
            if (!removed)
                kept.insert(std::move(key));
        }
        // What the modem no longer holds need not be remembered.
        taken_ = std::move(kept);
    }

    int Eof() override { return current_ >= messages_.size() ? 1 : 0; }
    void First() override { current_ = 0; }
    void Next() override
    {
        if (current_ < messages_.size())
            ++current_;
    }
    QString MessageText() override { return current_ < messages_.size() ? messages_[current_] : QString(); }

private:
    // A message taken in but left on the modem: its place, sender, time and text.
    using Key = std::tuple<int, QString, QString, QString>;
    std::set<Key> taken_;
    std::vector<QString> messages_;
    size_t current_ = 0;
    bool deleteAfter_ = false;
    bool withRead_ = false;
};

} // namespace

GsmTimeouts gsmTimeouts() { return Service<GsmTimeouts>::get(); }

std::unique_ptr<IGsmOut> createGsmOut() { return std::make_unique<TGsmOut>(); }
std::unique_ptr<IGsmIn> createGsmIn() { return std::make_unique<TGsmIn>(); }

} // namespace platform
