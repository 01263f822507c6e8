#pragma once
// The program's windowed start: display check, QApplication, the three windows in their
// order (main window, about box, generator), the message loop, and orderly shutdown.
#include <functional>
#include <optional>
#include <string>

namespace tolvarine {

// Reads an environment variable; nullptr when unset.
using EnvironmentReader = std::function<const char*(const char* name)>;

// The line to print when there is no display to open windows on (no DISPLAY, no
// WAYLAND_DISPLAY and no QT_QPA_PLATFORM chosen); nullopt when windows can be shown.
std::optional<std::string> NoDisplayMessage(const EnvironmentReader& env);

// Runs the window program; returns the process exit status (2 when there is no display).
int RunWindow(int argc, char** argv);

}  // namespace tolvarine
