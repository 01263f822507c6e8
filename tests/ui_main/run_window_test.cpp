// The windowed start refuses clearly when there is no display.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "ui/main/run_window.h"

namespace tolvarine::testing {
namespace {

std::optional<std::string> MessageFor(std::map<std::string, std::string> vars) {
  return NoDisplayMessage([&vars](const char* name) -> const char* {
    const auto it = vars.find(name);
    return it == vars.end() ? nullptr : it->second.c_str();
  });
}

TEST(RunWindow, NoDisplayGivesOneClearLine) {
  const auto message = MessageFor({});
  ASSERT_TRUE(message.has_value());
  EXPECT_EQ(message->rfind("tolvarine: no display found;", 0), 0u);
  EXPECT_EQ(message->find('\n'), std::string::npos);
  EXPECT_TRUE(MessageFor({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}).has_value());
  // Any display, or a platform chosen by hand, is enough.
  EXPECT_FALSE(MessageFor({{"DISPLAY", ":0"}}).has_value());
  EXPECT_FALSE(MessageFor({{"WAYLAND_DISPLAY", "wayland-0"}}).has_value());
  EXPECT_FALSE(MessageFor({{"QT_QPA_PLATFORM", "offscreen"}}).has_value());
}

}  // namespace
}  // namespace tolvarine::testing
