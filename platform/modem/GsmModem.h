#pragma once
// The SMS control: a GSM modem on a serial device, driven by AT commands in
// text mode (AT+CMGF=1; AT+CMGS sends, AT+CMGL lists the received messages,
// AT+CMGD deletes one). Two components use it: IGsmOut sends, IGsmIn takes
// in the received messages and walks them one by one.
//
// Components that name the same device share one connection, since a serial
// device has one user at a time; the device closes when the last of them
// disconnects.
//
// Every failure (no such device, no answer, a wrong PIN, a refused command)
// raises GsmError with a message for the user. Nothing waits without a limit:
// each command has the time limits of gsmTimeouts().

#include "platform/Service.h"

#include <QString>

#include <memory>
#include <stdexcept>

namespace platform {

class GsmError : public std::runtime_error {
public:
    explicit GsmError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

// The modem gave no (complete) answer within the time limit.
class GsmTimeout : public GsmError {
public:
    using GsmError::GsmError;
};

// Time limits of the modem conversation, in milliseconds.
struct GsmTimeouts {
    int command = 3000;  // the final answer of a command
    int send = 20000;    // the network's confirmation of a sent message
};

// The limits in use: these, unless a test sets others
// (ScopedService<GsmTimeouts> limits({500, 1000})).
GsmTimeouts gsmTimeouts();

// The sending component.
class IGsmOut {
public:
    virtual ~IGsmOut() = default;

    // The modem's serial device ("/dev/ttyUSB0", or a name under /dev such
    // as "ttyACM0"); read by Connect.
    QString Device;
    // The phone number and the text of the next message; read by Send.
    QString MessageRecipient;
    QString MessageData;

    // Non-zero writes the conversation with the modem to the debug log.
    virtual void SetTrace(int on) = 0;
    // The SIM card's PIN, entered on connecting when the card asks for it.
    virtual void SetPin(const QString &pin) = 0;
    // Opens the device (or joins the connection that has it open) and makes
    // the modem ready for text messages. Nothing happens when connected.
    virtual void Connect() = 0;
    // Leaves the connection; never raises.
    virtual void Disconnect() = 0;
    // Sends MessageData to MessageRecipient.
    virtual void Send() = 0;
};

// The receiving component.
class IGsmIn {
public:
    virtual ~IGsmIn() = default;

    // The modem's serial device, as for IGsmOut.
    QString Device;

    virtual void SetTrace(int on) = 0;
    virtual void SetPin(const QString &pin) = 0;
    // Non-zero: each message taken in is deleted from the modem.
    virtual void SetDeleteAfterReceive(int on) = 0;
    // Non-zero: Receive lists the read and the unread received messages;
    // zero: only the unread ones.
    virtual void SetReceiveRead(int on) = 0;
    virtual void Connect() = 0;
    virtual void Disconnect() = 0;

    // Takes in the received messages that no earlier call took in, and stands
    // on the first of them. Each message is taken in once: it is deleted from
    // the modem, or, where that is off or fails, remembered while the modem
    // keeps it.
    virtual void Receive() = 0;
    // Non-zero when no (further) message is at hand.
    virtual int Eof() = 0;
    // Goes to the first and to the next message taken in.
    virtual void First() = 0;
    virtual void Next() = 0;
    // The text of the current message (empty past the last).
    virtual QString MessageText() = 0;
};

// The components over a modem on a serial device.
std::unique_ptr<IGsmOut> createGsmOut();
std::unique_ptr<IGsmIn> createGsmIn();

} // namespace platform
