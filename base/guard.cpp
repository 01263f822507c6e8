#include "base/guard.h"

#include <new>

#include "base/errors.h"

namespace tolvarine {

bool RunGuarded(const ErrorSink& sink, const std::function<void()>& handler) noexcept {
  std::string message;
  try {
    handler();
    return true;
  } catch (const std::bad_alloc&) {
    message = OutOfMemoryError().what();
  } catch (const std::exception& e) {
    message = e.what();
  } catch (...) {
    message = "Unknown failure";
  }
  try {
    if (sink) sink(message);
  } catch (...) {
    // A failing sink has nowhere left to report to; the handler's failure is dropped.
  }
  return false;
}

}  // namespace tolvarine
