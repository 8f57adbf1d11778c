#pragma once
// Errors of the window commands. The system's operations raise errors that
// the commands do not catch themselves; the user sees their message in a
// message box and the command ends there. The project commands run their work
// through runCommand, which shows the error as the application's handler
// does (app::showException), also when the command is called directly rather
// than from an event.

#include <functional>

namespace app {

// Runs a command; an error it raises (any std::exception, whose what() is
// UTF-8) is shown. True when it ran to its end.
bool runCommand(const std::function<void()> &command);

} // namespace app
