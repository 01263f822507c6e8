// The windowed start refuses clearly when there is no display.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/platform/display.h"
#include "ui/main/run_window.h"

namespace tolvarine::testing {
namespace {

std::optional<std::string> MessageFor(std::map<std::string, std::string> vars) {
  return NoDisplayMessage([&vars](const std::string& name) -> std::optional<std::string> {
    const auto it = vars.find(name);
    if (it == vars.end()) return std::nullopt;
    return it->second;
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

TEST(RunWindow, AnUnreachableXDisplayGivesOneClearLine) {
  std::vector<std::string> probed;
  const DisplayProbe unreachable = [&probed](const std::string& display) {
    probed.push_back(display);
    return false;
  };
  auto message = [&](std::map<std::string, std::string> vars) {
    return UnreachableDisplayMessage(
        [&vars](const std::string& name) -> std::optional<std::string> {
          const auto it = vars.find(name);
          if (it == vars.end()) return std::nullopt;
          return it->second;
        },
        unreachable);
  };
  const auto refused = message({{"DISPLAY", ":99"}});
  ASSERT_TRUE(refused.has_value());
  EXPECT_EQ(refused->rfind("tolvarine: cannot connect to the display \":99\"", 0), 0u);
  EXPECT_EQ(refused->find('\n'), std::string::npos);
  EXPECT_TRUE(message({{"DISPLAY", ":99"}, {"QT_QPA_PLATFORM", "xcb"}}).has_value());
  EXPECT_EQ(probed, (std::vector<std::string>{":99", ":99"}));
  // Platforms other than X are not probed.
  EXPECT_FALSE(message({{"DISPLAY", ":99"}, {"QT_QPA_PLATFORM", "offscreen"}}).has_value());
  EXPECT_FALSE(message({{"DISPLAY", ":99"}, {"WAYLAND_DISPLAY", "wayland-0"}}).has_value());
  EXPECT_EQ(probed.size(), 2u);
  EXPECT_TRUE(UnreachableDisplayMessage([](const std::string&) { return std::string(":99"); },
                                        [](const std::string&) { return true; }) == std::nullopt);
  // No X server listens on display 4321 here.
  EXPECT_FALSE(platform::DisplayReachable(":4321"));
}

}  // namespace
}  // namespace tolvarine::testing
