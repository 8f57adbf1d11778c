#include "app/SmsControls.h"

namespace app {

std::unique_ptr<SmsControl> GsmOut;
std::unique_ptr<SmsControl> GsmIn;

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
