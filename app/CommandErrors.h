#pragma once
// Errors of the window commands. The system's operations raise errors that
// the commands do not catch themselves; the user sees their message in a
// message box and the command ends there, as the application's handler of
// uncaught errors does. Window handlers run their work through runCommand so
// that no error leaves an event handler.

#include <functional>

namespace app {

// Runs a command; an error it raises (any std::exception, whose what() is
// UTF-8) is shown with platform::showMessage. True when it ran to its end.
bool runCommand(const std::function<void()> &command);

} // namespace app
