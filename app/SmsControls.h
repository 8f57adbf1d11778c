#pragma once
// The send and the receive component of GPS tracking by SMS: made on first use
// by the tracking commands, kept for the run in two module-level variables,
// disconnected and freed when the frame closes.

#include "platform/modem/GsmModem.h"

#include <memory>

namespace app {

extern std::unique_ptr<platform::IGsmOut> GsmOut;
extern std::unique_ptr<platform::IGsmIn> GsmIn;

// Disconnects and frees the components that exist.
void releaseSmsControls();

} // namespace app
