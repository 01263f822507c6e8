#pragma once
// The program's windowed start: display check, QApplication, the three windows in their
// order (main window, about box, generator), the message loop, and orderly shutdown.
#include <functional>
#include <optional>
#include <string>

namespace tolvarine {

// Reads an environment variable; nullopt when unset.
using EnvironmentReader = std::function<std::optional<std::string>(const std::string& name)>;

// The line to print when there is no display to open windows on (no DISPLAY, no
// WAYLAND_DISPLAY and no QT_QPA_PLATFORM chosen); nullopt when windows can be shown.
std::optional<std::string> NoDisplayMessage(const EnvironmentReader& env);

// Tells whether the X display of that name (as DISPLAY gives it) accepts a connection.
using DisplayProbe = std::function<bool(const std::string& display)>;

// The line to print when Qt would open its windows on an X display (DISPLAY set, and the
// platform left to Qt's choice without WAYLAND_DISPLAY, or chosen as "xcb") that cannot
// be connected to; nullopt otherwise. Qt itself would abort there with several lines.
std::optional<std::string> UnreachableDisplayMessage(const EnvironmentReader& env,
                                                     const DisplayProbe& reachable);

// Runs the window program; returns the process exit status (2 when there is no display or
// it cannot be reached).
int RunWindow(int argc, char** argv);

}  // namespace tolvarine
