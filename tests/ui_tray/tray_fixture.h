#pragma once
// An icon on the fake service, every event writing a tag to one log, and a popup menu
// that closes itself once it has opened.
#include <gtest/gtest.h>

#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fake_tray_service.h"
#include "ui/tray/tray_icon.h"

namespace tolvarine {

using Log = std::vector<std::string>;

class TrayTest : public ::testing::Test {
 protected:
  std::shared_ptr<TrayRecord> rec = std::make_shared<TrayRecord>();
  Log log;
  Log errors;  // declared before icon: its destructor may report here
  std::unique_ptr<TrayIcon> icon;

  void SetUp() override {
    icon = std::make_unique<TrayIcon>(nullptr, std::make_unique<FakeTrayService>(rec));
    icon->setObjectName(QStringLiteral("trayIcon"));
    icon->SetErrorSink([this](const std::string& m) { errors.push_back(m); });
    TrayIcon* self = icon.get();
    auto mouse = [this, self](std::string what) {
      return [this, self, what](TrayIcon* sender, Qt::MouseButton b, Qt::KeyboardModifiers,
                                QPoint at) {
        EXPECT_EQ(sender, self);
        log.push_back(what + (b == Qt::LeftButton ? " L " : " R ") + std::to_string(at.x()) +
                      "," + std::to_string(at.y()));
      };
    };
    auto notify = [this, self](std::string what) {
      return [this, self, what](TrayIcon* sender) {
        EXPECT_EQ(sender, self);
        log.push_back(what);
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

  // Logs "popup@x,y" once the menu is open, runs whileOpen, then closes the menu.
  void CloseWhenOpen(QMenu* menu, std::function<void()> whileOpen = {}) {
    QObject::connect(menu, &QMenu::aboutToShow, menu, [this, menu, whileOpen] {
      const QPointer<QMenu> open(menu);
      QTimer::singleShot(0, [this, open, whileOpen] {
        log.push_back("popup@" + std::to_string(open->x()) + "," + std::to_string(open->y()));
        if (whileOpen) whileOpen();
        if (open) open->close();
      });
    });
  }

  Log TakeLog() { return std::exchange(log, {}); }
};

}  // namespace tolvarine
