#pragma once
// Sets an environment variable (or removes it, for nullptr) for one scope.
#include <cstdlib>
#include <optional>
#include <string>

namespace tolvarine::testing {

class EnvVar {
 public:
  EnvVar(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~EnvVar() { Set(old_ ? old_->c_str() : nullptr); }
  EnvVar(const EnvVar&) = delete;
  EnvVar& operator=(const EnvVar&) = delete;

 private:
  void Set(const char* value) {
    if (value) {
      setenv(name_, value, 1);
    } else {
      unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace tolvarine::testing
