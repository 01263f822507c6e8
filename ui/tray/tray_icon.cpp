#include "ui/tray/tray_icon.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <cstdio>
#include <utility>

#include "base/gbk.h"
#include "ui/qt_gbk.h"

namespace tolvarine {

namespace {

// Failures no owner has asked to see go to stderr as one UTF-8 line.
void WriteToStderr(const std::string& messageGbk) {
  std::fprintf(stderr, "tolvarine: %s\n", GbkToUtf8(messageGbk).c_str());
}

}  // namespace

TrayIcon::TrayIcon(QObject* owner, std::unique_ptr<TrayService> service)
    : QObject(owner),
      service_(service ? std::move(service) : std::make_unique<QtTrayService>()),
      sink_(WriteToStderr) {
  retry_.setInterval(kRetryMilliseconds);
  connect(&retry_, &QTimer::timeout, this, &TrayIcon::Retry);
  connect(service_.get(), &TrayService::activated, this, &TrayIcon::Activated);
}

TrayIcon::~TrayIcon() {
  const ErrorSink sink = sink_;
  RunGuarded(sink, [this] { SetVisible(false); });
}

std::string TrayIcon::Name() const { return ToGbk(objectName()); }

void TrayIcon::SetErrorSink(ErrorSink sink) {
  sink_ = sink ? std::move(sink) : ErrorSink(WriteToStderr);
}

QMenu* TrayIcon::PopupMenu() const { return popupMenu_; }

void TrayIcon::SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

QString TrayIcon::Tip() const { return FromGbk(hint_); }

void TrayIcon::SetIcon(const QIcon& icon) {
  if (icon.cacheKey() == icon_.cacheKey()) return;
  icon_ = icon;
  if (inArea_) Update();
}

void TrayIcon::SetHint(const std::string& hintGbk) {
  std::string cut = hintGbk.substr(0, kMaxHintBytes);
  if (cut == hint_) return;
  hint_ = std::move(cut);
  if (inArea_) Update();
}

void TrayIcon::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (visible)
    Enter();
  else
    Leave();
}

void TrayIcon::Enter() {
  bool placed = false;
  try {
    placed = service_->Available() && service_->Place(icon_, Tip());
  } catch (...) {
    throw TrayIconError(Name() + ".AddToTaskbar failed");
  }
  if (!placed) {
    // No area yet, or it refused the icon: look again later.
    retry_.start();
    return;
  }
  retry_.stop();
  inArea_ = true;
  if (OnShow) OnShow(this);
}

void TrayIcon::Leave() {
  retry_.stop();
  if (!inArea_) return;
  inArea_ = false;
  try {
    service_->Remove();
  } catch (...) {
    throw TrayIconError(Name() + ".DeleteFromTaskbar failed");
  }
  if (OnHide) OnHide(this);
}

void TrayIcon::Update() {
  try {
    service_->Place(icon_, Tip());
  } catch (...) {
    throw TrayIconError(Name() + ".UpDate failed");
  }
}

void TrayIcon::Retry() {
  if (!visible_ || inArea_) {
    retry_.stop();
    return;
  }
  // A service that fails (rather than refuses) is reported once, not every few seconds.
  const ErrorSink sink = sink_;
  if (!RunGuarded(sink, [this] { Enter(); })) retry_.stop();
}

void TrayIcon::Activated(QSystemTrayIcon::ActivationReason reason) {
  // Arrives from a Qt signal: nothing may escape.
  const ErrorSink sink = sink_;
  RunGuarded(sink, [this, reason] { Dispatch(reason); });
}

void TrayIcon::Dispatch(QSystemTrayIcon::ActivationReason reason) {
  if (!enabled_) return;
  const QPoint at = QCursor::pos();
  const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
  // A handler may destroy the icon: nothing fires after that. Each handler is copied
  // before the call, so one that reassigns itself finishes safely.
  const QPointer<TrayIcon> alive(this);
  auto mouse = [&](TrayMouseEvent TrayIcon::*event, Qt::MouseButton button) {
    if (!alive) return;
    if (const TrayMouseEvent handler = this->*event) handler(this, button, keys, at);
  };
  auto notify = [&](TrayNotifyEvent TrayIcon::*event) {
    if (!alive) return;
    if (const TrayNotifyEvent handler = this->*event) handler(this);
  };
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      mouse(&TrayIcon::OnMouseDown, Qt::LeftButton);
      mouse(&TrayIcon::OnMouseUp, Qt::LeftButton);
      notify(&TrayIcon::OnClick);
      break;
    case QSystemTrayIcon::DoubleClick:
      // The first click of the pair has already come as a Trigger.
      notify(&TrayIcon::OnDblClick);
      mouse(&TrayIcon::OnMouseUp, Qt::LeftButton);
      break;
    case QSystemTrayIcon::Context:
      mouse(&TrayIcon::OnMouseDown, Qt::RightButton);
      if (alive) OpenPopupMenu();
      mouse(&TrayIcon::OnMouseUp, Qt::RightButton);
      break;
    default:
      break;  // middle button, unknown
  }
}

void TrayIcon::OpenPopupMenu() {
  if (!popupMenu_) return;
  const QPointer<TrayIcon> alive(this);
  popupMenu_->exec(QCursor::pos());  // returns when the menu has closed
  if (!alive) return;
  if (const TrayNotifyEvent handler = OnPopupMenu) handler(this);
}

}  // namespace tolvarine
