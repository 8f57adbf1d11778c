#include "app/CommandErrors.h"

#include "app/Application.h"

#include <exception>

namespace app {

bool runCommand(const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const std::exception &e) {
        showException(e);
    }
    return false;
}

} // namespace app
