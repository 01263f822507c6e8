#pragma once
// A component on the recording fake, with every event writing a tag to the fake's log.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fake_notify_icon_service.h"
#include "ui/tray/ant_taskbar_icon.h"

namespace tolvarine::test {

inline std::string ShiftText(TrayShiftState s) {
  std::string t;
  if (s.Contains(TrayShift::Shift)) t += "S";
  if (s.Contains(TrayShift::Alt)) t += "A";
  if (s.Contains(TrayShift::Ctrl)) t += "C";
  if (s.Contains(TrayShift::Left)) t += "L";
  if (s.Contains(TrayShift::Right)) t += "R";
  return t;
}

class TrayTest : public ::testing::Test {
 protected:
  std::shared_ptr<TrayRecord> rec = std::make_shared<TrayRecord>();
  std::vector<std::string> errors;  // outlives icon: its destructor may report here
  std::unique_ptr<TantTaskbarIcon> icon;

  void SetUp() override {
    icon = std::make_unique<TantTaskbarIcon>(nullptr,
                                             std::make_unique<FakeNotifyIconService>(rec));
    icon->setObjectName(QStringLiteral("antTaskbarIcon1"));
    icon->SetErrorSink([this](const std::string& m) { errors.push_back(m); });
  }

  // Ends loading and attaches logging handlers to every event.
  void Ready() {
    icon->Loaded();
    LogEvents();
  }

  void LogEvents() {
    TantTaskbarIcon* self = icon.get();
    auto mouse = [this, self](const char* what) {
      return [this, self, what](TantTaskbarIcon* sender, TrayMouseButton b, TrayShiftState s, int x,
                          int y) {
        EXPECT_EQ(sender, self);
        rec->log.push_back(std::string(what) + (b == TrayMouseButton::Left ? " L " : " R ") +
                           ShiftText(s) + " " + std::to_string(x) + "," + std::to_string(y));
      };
    };
    auto notify = [this, self](const char* what) {
      return [this, self, what](TantTaskbarIcon* sender) {
        EXPECT_EQ(sender, self);
        rec->log.push_back(what);
      };
    };
    icon->OnMouseDown = mouse("MouseDown");
    icon->OnMouseUp = mouse("MouseUp");
    icon->OnClick = notify("Click");
    icon->OnDblClick = notify("DblClick");
    icon->OnPopupMenu = notify("PopupMenu");
    icon->OnShow = notify("Show");
    icon->OnHide = notify("Hide");
  }

  std::intptr_t Mouse(std::uint32_t mouseMessage) {
    return rec->Send(icon->HiddenWindow(), TantTaskbarIcon::kCallbackMessage, mouseMessage);
  }

  std::vector<std::string> TakeLog() { return std::exchange(rec->log, {}); }
};

}  // namespace tolvarine::test
