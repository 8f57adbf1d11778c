#include "app/SmsControls.h"

namespace app {

std::unique_ptr<platform::IGsmOut> GsmOut;
std::unique_ptr<platform::IGsmIn> GsmIn;

void releaseSmsControls()
{
    if (GsmOut) {
        GsmOut->Disconnect();
        GsmOut.reset();
    }
    if (GsmIn) {
        GsmIn->Disconnect();
        GsmIn.reset();
    }
}

} // namespace app
