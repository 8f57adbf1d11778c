#include "support/ModemSimulator.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace testsupport {

namespace {

QByteArray unquoted(QByteArray v)
{
    v = v.trimmed();
    if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"'))
        v = v.mid(1, v.size() - 2);
    return v;
}

} // namespace

ModemSimulator::ModemSimulator()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        return;
    char name[128] = {};
    if (::ptsname_r(master_, name, sizeof name) != 0)
        return;
    // The simulator keeps the terminal open itself, so that the master end
    // reads no hang-up while the program under test has it closed; raw, so
    // that nothing is echoed or changed by the line discipline.
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0)
        return;
    termios t{};
    ::tcgetattr(slave_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(slave_, TCSANOW, &t);
    // Never blocked by a full terminal queue (a reader that went away).
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    device_ = QString::fromLocal8Bit(name);
    thread_ = std::thread([this] { run(); });
}

ModemSimulator::~ModemSimulator()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

void ModemSimulator::requirePin(const QString &pin)
{
    std::lock_guard lock(mutex_);
    pin_ = pin;
    pinNeeded_ = true;
}

int ModemSimulator::store(const QString &status, const QString &number, const QString &text)
{
    std::lock_guard lock(mutex_);
    const int index = nextIndex_++;
    messages_.push_back({index, status, number, QStringLiteral("24/05/01,12:00:%1+08").arg(index % 60, 2, 10, QLatin1Char('0')), text});
    return index;
}

void ModemSimulator::refuse(const QString &commandStart)
{
    std::lock_guard lock(mutex_);
    refused_ << commandStart;
}

void ModemSimulator::setMute(bool on)
{
    std::lock_guard lock(mutex_);
    mute_ = on;
}

void ModemSimulator::setChunked(bool on)
{
    std::lock_guard lock(mutex_);
    chunked_ = on;
}

std::vector<ModemSimulator::Message> ModemSimulator::stored() const
{
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<ModemSimulator::Sent> ModemSimulator::sent() const
{
    std::lock_guard lock(mutex_);
    return sent_;
}

QStringList ModemSimulator::commands() const
{
    std::lock_guard lock(mutex_);
    return commands_;
}

bool ModemSimulator::textMode() const
{
    std::lock_guard lock(mutex_);
    return textMode_;
}

void ModemSimulator::run()
{
    while (!stop_) {
        pollfd p{master_, POLLIN, 0};
        const int r = ::poll(&p, 1, 20);
        if (r <= 0 || !(p.revents & POLLIN))
            continue;
        char buf[512];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0)
            continue;
        std::lock_guard lock(mutex_);
        handleBytes(QByteArray(buf, static_cast<qsizetype>(n)));
    }
}

void ModemSimulator::handleBytes(const QByteArray &bytes)
{
    input_ += bytes;
    for (;;) {
        if (inText_) {
            const qsizetype z = input_.indexOf('\x1A');
            const qsizetype esc = input_.indexOf('\x1B');
            if (esc >= 0 && (z < 0 || esc < z)) {
                input_.remove(0, esc + 1);
                inText_ = false;
                reply("\r\nOK\r\n");
                continue;
            }
            if (z < 0)
                return;
            const QByteArray text = input_.left(z);
            input_.remove(0, z + 1);
            inText_ = false;
            if (echo_)
                reply(text);
            sent_.push_back({recipient_, QString::fromLatin1(text)});
            reply("\r\n+CMGS: " + QByteArray::number(nextReference_++) + "\r\n\r\nOK\r\n");
            continue;
        }
        qsizetype end = -1;
        for (qsizetype i = 0; i < input_.size(); ++i)
            if (input_[i] == '\r' || input_[i] == '\n') {
                end = i;
                break;
            }
        if (end < 0)
            return;
        QByteArray line = input_.left(end);
        input_.remove(0, end + 1);
        line.replace('\x1B', QByteArray());
        if (line.trimmed().isEmpty())
            continue;
        commands_ << QString::fromLatin1(line);
        if (mute_)
            continue;
        if (echo_)
            reply(line + '\r');
        handleCommand(line.trimmed());
    }
}

void ModemSimulator::handleCommand(const QByteArray &line)
{
    const QByteArray upper = line.toUpper();
    for (const QString &r : refused_)
        if (upper.startsWith(r.toLatin1().toUpper())) {
            reply("\r\nERROR\r\n");
            return;
        }
    const QByteArray ok = "\r\nOK\r\n";
    if (upper == "AT") {
        reply(ok);
    } else if (upper == "ATE0" || upper == "ATE1") {
        echo_ = upper == "ATE1";
        reply(ok);
    } else if (upper == "AT+CPIN?") {
        reply(pinNeeded_ ? "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n" : "\r\n+CPIN: READY\r\n\r\nOK\r\n");
    } else if (upper.startsWith("AT+CPIN=")) {
        if (!pinNeeded_) {
            reply("\r\n+CME ERROR: 3\r\n");
        } else if (QString::fromLatin1(unquoted(line.mid(8))) == pin_) {
            pinNeeded_ = false;
            reply(ok);
        } else {
            reply("\r\n+CME ERROR: 16\r\n");
        }
    } else if (upper.startsWith("AT+CSCS=")) {
        reply(ok);
    } else if (pinNeeded_ && upper.startsWith("AT+CM")) {
        reply("\r\n+CME ERROR: 11\r\n");
    } else if (upper == "AT+CMGF=1" || upper == "AT+CMGF=0") {
        textMode_ = upper.endsWith('1');
        reply(ok);
    } else if (upper.startsWith("AT+CMGS=")) {
        if (!textMode_) {
            reply("\r\n+CMS ERROR: 304\r\n");
            return;
        }
        recipient_ = QString::fromLatin1(unquoted(line.mid(8)));
        inText_ = true;
        reply("\r\n> ");
    } else if (upper.startsWith("AT+CMGL")) {
        const QByteArray which = upper.startsWith("AT+CMGL=") ? unquoted(line.mid(8)).toUpper() : "REC UNREAD";
        if (!textMode_ || (which != "ALL" && which != "REC UNREAD" && which != "REC READ" && which != "STO SENT" &&
                           which != "STO UNSENT")) {
            reply("\r\n+CMS ERROR: 302\r\n");
            return;
        }
        QByteArray out;
        for (Message &m : messages_) {
            if (which != "ALL" && m.status.toLatin1() != which)
                continue;
            out += "\r\n+CMGL: " + QByteArray::number(m.index) + ",\"" + m.status.toLatin1() + "\",\"" +
                   m.number.toLatin1() + "\",,\"" + m.timestamp.toLatin1() + "\"\r\n" + m.text.toLatin1();
            if (m.status == u"REC UNREAD")
                m.status = QStringLiteral("REC READ");
        }
        reply(out + "\r\n" + ok);
    } else if (upper.startsWith("AT+CMGD=")) {
        bool okNumber = false;
        const int index = line.mid(8).split(',').value(0).trimmed().toInt(&okNumber);
        const auto it = std::find_if(messages_.begin(), messages_.end(),
                                     [&](const Message &m) { return okNumber && m.index == index; });
        if (it == messages_.end()) {
            reply("\r\n+CMS ERROR: 321\r\n");
            return;
        }
        messages_.erase(it);
        reply(ok);
    } else {
        reply("\r\nERROR\r\n");
    }
}

void ModemSimulator::reply(const QByteArray &bytes)
{
    // Called with the lock held; the program under test reads on its own.
    auto writeAll = [this](const char *p, qsizetype n) {
        while (n > 0) {
            const ssize_t w = ::write(master_, p, static_cast<size_t>(n));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                pollfd p{master_, POLLOUT, 0};
                if (errno == EAGAIN && ::poll(&p, 1, 100) > 0)
                    continue;
                return; // nobody reads: the rest is lost, as on a line
            }
            p += w;
            n -= w;
        }
    };
    if (!chunked_) {
        writeAll(bytes.constData(), bytes.size());
        return;
    }
    for (qsizetype at = 0; at < bytes.size(); at += 3) {
        writeAll(bytes.constData() + at, std::min<qsizetype>(3, bytes.size() - at));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace testsupport
