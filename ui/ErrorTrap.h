#pragma once
// The error trap of every window command: an error that escapes the logic is logged and shown
// through the central reporter instead of leaving the event loop; a ProcessExit ends the program.

#include <functional>

namespace pf {

// Runs the action; offerClose lets the user close the active window after an error.
void RunTrapped(const std::function<void()>& action, bool offerClose = true);

// A window's command method as a slot that runs trapped.
template <class Window> std::function<void()> Trapped(Window* window, void (Window::*command)())
{
    return [window, command] { RunTrapped([window, command] { (window->*command)(); }); };
}

} // namespace pf
