#pragma once
// A notification area under the test's control. Its state lives in a shared record, so a
// test can read it after the icon (which owns the service) is gone and click the icon
// through it. Requests go to `requests` as "add", "update", "remove" or "refused".
#include <QIcon>
#include <QString>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ui/tray/tray_service.h"

namespace tolvarine {

class FakeTrayService;

struct TrayRecord {
  bool available = true;     // whether the desktop has an area
  bool refuse = false;       // the area refuses the icon
  bool failRequests = false; // every request throws
  std::vector<std::string> requests;
  bool present = false;
  QIcon icon;
  QString tip;
  FakeTrayService* service = nullptr;  // while it exists

  // A click on the icon, as the desktop reports it.
  void Activate(QSystemTrayIcon::ActivationReason reason);
};

class FakeTrayService final : public TrayService {
 public:
  using Shared = TrayRecord;

  explicit FakeTrayService(std::shared_ptr<TrayRecord> record) : r_(std::move(record)) {
    r_->service = this;
  }
  ~FakeTrayService() override { r_->service = nullptr; }

  bool Available() override {
    if (r_->failRequests) throw std::runtime_error("no notification area");
    return r_->available;
  }
  bool Place(const QIcon& icon, const QString& tip) override {
    if (r_->failRequests) throw std::runtime_error("no notification area");
    if (r_->refuse) {
      r_->requests.push_back("refused");
      return false;
    }
    r_->requests.push_back(r_->present ? "update" : "add");
    r_->present = true;
    r_->icon = icon;
    r_->tip = tip;
    return true;
  }
  void Remove() override {
    if (r_->failRequests) throw std::runtime_error("no notification area");
    r_->requests.push_back("remove");
    r_->present = false;
  }

 private:
  std::shared_ptr<TrayRecord> r_;
};

inline void TrayRecord::Activate(QSystemTrayIcon::ActivationReason reason) {
  if (!service) throw std::logic_error("no tray service");
  emit service->activated(reason);
}

}  // namespace tolvarine
