#include "app/CommandErrors.h"

#include "platform/UserAnswers.h"

#include <QString>

#include <exception>

namespace app {

bool runCommand(const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const std::exception &e) {
        platform::showMessage(QString::fromUtf8(e.what()));
    }
    return false;
}

} // namespace app
