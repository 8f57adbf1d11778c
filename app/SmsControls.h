#pragma once
// The send and the receive component of GPS tracking by SMS: made on first use
// by the tracking commands, kept for the run in two module-level variables,
// disconnected and freed when the frame closes.

#include <memory>

namespace app {

class SmsControl {
public:
    virtual ~SmsControl() = default;
    // Disconnects the component from its server.
    virtual void Disconnect() = 0;
};

extern std::unique_ptr<SmsControl> GsmOut;
extern std::unique_ptr<SmsControl> GsmIn;

// Disconnects and frees the components that exist.
void releaseSmsControls();

} // namespace app
