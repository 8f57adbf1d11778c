#pragma once
// A GSM modem on a pseudo-terminal, for the tests of the SMS control: it
// answers the AT commands of text-mode SMS as a modem does (echo until ATE0,
// the SIM's PIN, AT+CMGF, AT+CMGS with its "> " prompt, AT+CMGL, AT+CMGD)
// from a thread of its own, and keeps the messages it holds and those it was
// asked to send. The device to open is device().

#include <QString>
#include <QStringList>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace testsupport {

class ModemSimulator {
public:
    struct Message {
        int index = 0;
        QString status;     // "REC UNREAD", "REC READ", "STO SENT", ...
        QString number;
        QString timestamp;
        QString text;
    };
    struct Sent {
        QString number;
        QString text;
    };

    ModemSimulator();
    ~ModemSimulator();
    ModemSimulator(const ModemSimulator &) = delete;
    ModemSimulator &operator=(const ModemSimulator &) = delete;

    // The pseudo-terminal's device; empty when none could be made.
    QString device() const { return device_; }

    // The SIM asks for this PIN until it is given (none: the SIM is ready).
    void requirePin(const QString &pin);
    // Stores a message; the index it got.
    int store(const QString &status, const QString &number, const QString &text);
    // A message that arrived from a phone, not yet read.
    int receive(const QString &number, const QString &text) { return store(QStringLiteral("REC UNREAD"), number, text); }
    // Commands starting with the text are answered with ERROR.
    void refuse(const QString &commandStart);
    // Answers nothing at all (a modem that hangs).
    void setMute(bool on);
    // Answers in pieces of a few bytes, as a slow line delivers them.
    void setChunked(bool on);

    std::vector<Message> stored() const;
    std::vector<Sent> sent() const;
    // Every command line received, as sent.
    QStringList commands() const;
    bool textMode() const;

private:
    void run();
    void handleBytes(const QByteArray &bytes);
    void handleCommand(const QByteArray &line);
    void reply(const QByteArray &bytes);

    QString device_;
    int master_ = -1;
    int slave_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;

    mutable std::mutex mutex_;
    QString pin_;
    bool pinNeeded_ = false;
    bool echo_ = true;
    bool textMode_ = false;
    bool mute_ = false;
    bool chunked_ = false;
    bool inText_ = false;       // after AT+CMGS, until Ctrl-Z or Esc
    QString recipient_;
    QByteArray input_;
    int nextIndex_ = 1;
    int nextReference_ = 1;
    std::vector<Message> messages_;
    std::vector<Sent> sent_;
    QStringList commands_;
    QStringList refused_;
};

} // namespace testsupport
