#pragma once
// The one guard every command, timer and browser-event handler runs through: a failure
// ends the handler and its message goes to the sink (the standard error dialog), then the
// program carries on. No exception leaves RunGuarded.
#include <functional>
#include <string>

namespace tolvarine {

using ErrorSink = std::function<void(const std::string& messageGbk)>;

// Runs handler; returns false when it failed (and the sink was told).
bool RunGuarded(const ErrorSink& sink, const std::function<void()>& handler) noexcept;

}  // namespace tolvarine
