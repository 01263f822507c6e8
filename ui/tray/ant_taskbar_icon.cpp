#include "ui/tray/ant_taskbar_icon.h"

#include <QMenu>
#include <algorithm>
#include <cstring>
#include <utility>

#include "base/gbk.h"
#include "ui/tray/qt_notify_icon_service.h"
#include "ui/tray/stderr_sink.h"

namespace tolvarine {

TantTaskbarIcon::TantTaskbarIcon(QObject* owner, std::unique_ptr<NotifyIconService> service)
    : QObject(owner),
      service_(service ? std::move(service) : std::make_unique<QtNotifyIconService>()),
      sink_(StderrSink()),
      alive_(std::make_shared<int>(0)) {
  hiddenWindow_ = service_->AllocateHiddenWindow([this](WindowMessage& m) { DeliverGuarded(m); });
}

TantTaskbarIcon::~TantTaskbarIcon() {
  const ErrorSink sink = sink_;
  // Removes the icon from the notification area (and fires OnHide) if it is shown.
  RunGuarded(sink, [this] { SetVisible(false); });
  QObject::disconnect(popupMenuWatch_);
  alive_.reset();
  RunGuarded(sink, [this] { service_->DeallocateHiddenWindow(hiddenWindow_); });
}

std::string TantTaskbarIcon::Name() const {
  return Utf16ToGbk(objectName().toStdU16String());
}

void TantTaskbarIcon::SetErrorSink(ErrorSink sink) {
  sink_ = sink ? std::move(sink) : StderrSink();
}

void TantTaskbarIcon::Loaded() {
  if (!loading_) return;
  loading_ = false;
  if (visible_) ShowIcon();
}

void TantTaskbarIcon::LoadStoredSettings(const TantTaskbarIconSettings& s) {
  SetIcon(s.icon);
  SetImageList(s.imageList);
  SetImageIndex(s.imageIndex);
  SetIconID(s.iconId);
  SetVisible(s.visible);
  SetEnabled(s.enabled);
  SetHint(s.hint);
  SetPopupMenu(s.popupMenu);
  OnMouseDown = s.onMouseDown;
  OnMouseUp = s.onMouseUp;
  OnClick = s.onClick;
  OnDblClick = s.onDblClick;
  OnPopupMenu = s.onPopupMenu;
  OnShow = s.onShow;
  OnHide = s.onHide;
  Loaded();
}

void TantTaskbarIcon::DeliverGuarded(WindowMessage& message) {
  // The hidden window's messages arrive from Qt signal handlers: nothing may escape.
  const ErrorSink sink = sink_;
  RunGuarded(sink, [this, &message] { IconWndProc(message); });
}

TrayShiftState TantTaskbarIcon::KeysDown() {
  TrayShiftState keys;
  if (service_->GetKeyState(kVkShift) < 0) keys = keys + TrayShift::Shift;
  if (service_->GetKeyState(kVkControl) < 0) keys = keys + TrayShift::Ctrl;
  if (service_->GetKeyState(kVkMenu) < 0) keys = keys + TrayShift::Alt;
  return keys;
}

void TantTaskbarIcon::IconWndProc(WindowMessage& message) {
  if (message.msg != kCallbackMessage || !enabled_) {
    message.result = service_->DefWindowProc(hiddenWindow_, message);
    return;
  }
  const ScreenPoint at = service_->GetCursorPos();
  // lParam carries the mouse message; wParam (the icon id) is not looked at.
  switch (static_cast<std::uint32_t>(message.lParam)) {
    case kWmLButtonDown:
      clickPending_ = true;
      DoMouseDown(TrayMouseButton::Left, KeysDown() + TrayShift::Left, at.x, at.y);
      break;
    case kWmLButtonUp: {
      // Consumed up front so a failing OnMouseUp cannot leave a stale click behind.
      const bool click = std::exchange(clickPending_, false);
      DoMouseUp(TrayMouseButton::Left, KeysDown() + TrayShift::Left, at.x, at.y);
      if (click) DoClick();
      break;
    }
    case kWmLButtonDblClk:
      DoDblClick();
      break;
    case kWmRButtonDown:
      service_->SetForegroundWindow(hiddenWindow_);
      DoMouseDown(TrayMouseButton::Right, KeysDown() + TrayShift::Right, at.x, at.y);
      break;
    case kWmRButtonUp: {
      const TrayShiftState keys = KeysDown() + TrayShift::Right;
      const std::weak_ptr<int> alive = alive_;
      DoPopupMenu();
      // The menu runs a nested event loop in which the owner may have destroyed us.
      if (alive.expired()) return;
      DoMouseUp(TrayMouseButton::Right, keys, at.x, at.y);
      break;
    }
    default:
      break;  // mouse move, middle button, right double click
  }
}

void TantTaskbarIcon::FillIconData() {
  NotifyIconData data{};
  data.cbSize = sizeof(NotifyIconData);
  data.hWnd = hiddenWindow_;
  data.uID = static_cast<std::uint32_t>(iconId_);
  data.uFlags = flags_;
  data.uCallbackMessage = kCallbackMessage;
  data.hIcon = service_->IconHandleOf(iconImage_);
  const std::size_t n = std::min(hint_.size(), kMaxHintBytes);
  std::memcpy(data.szTip, hint_.data(), n);
  data.szTip[n] = '\0';
  iconData_ = data;
}

void TantTaskbarIcon::Request(std::uint32_t operation, const char* operationName) {
  try {
    FillIconData();
    // The notification area's answer is not examined: a refusal is not a failure.
    service_->ShellNotifyIcon(operation, iconData_);
  } catch (...) {
    throw EantTaskbarIcon(Name() + "." + operationName + " failed");
  }
}

void TantTaskbarIcon::AddToTaskbar() { Request(kNimAdd, "AddToTaskbar"); }

void TantTaskbarIcon::DeleteFromTaskbar() { Request(kNimDelete, "DeleteFromTaskbar"); }

void TantTaskbarIcon::UpDate() { Request(kNimModify, "UpDate"); }

void TantTaskbarIcon::IconFromImageList() {
  if (!imageList_) return;
  iconImage_ = QIcon();
  // An index outside the list leaves the icon image empty.
  if (imageIndex_ >= 0 && imageIndex_ < imageList_->size()) iconImage_ = (*imageList_)[imageIndex_];
  UpDate();
}

void TantTaskbarIcon::DoMouseDown(TrayMouseButton button, TrayShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TantTaskbarIcon::DoMouseUp(TrayMouseButton button, TrayShiftState shift, int x, int y) {
  service_->SetForegroundWindow(service_->ApplicationWindow());
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TantTaskbarIcon::DoClick() {
  if (OnClick) OnClick(this);
}

void TantTaskbarIcon::DoDblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TantTaskbarIcon::SetIcon(const QIcon& icon) {
  if (icon.cacheKey() == iconImage_.cacheKey()) return;
  iconImage_ = icon;
  // A stored image is read straight in while loading; no request goes out.
  if (loading_) return;
  UpDate();
}

void TantTaskbarIcon::SetImageList(const TrayImageList* list) {
  if (list == imageList_) return;
  imageList_ = list;
  IconFromImageList();
}

void TantTaskbarIcon::SetImageIndex(std::int32_t index) {
  if (index == imageIndex_) return;
  imageIndex_ = index;
  IconFromImageList();
}

void TantTaskbarIcon::SetIconID(std::int32_t id) {
  if (id == iconId_) return;
  const bool wasVisible = visible_;
  SetVisible(false);  // deletes the icon under the old id if it was shown
  iconId_ = id;
  SetVisible(wasVisible);  // adds it under the new id
}

void TantTaskbarIcon::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (visible)
    ShowIcon();
  else
    HideIcon();
}

void TantTaskbarIcon::SetEnabled(bool enabled) { enabled_ = enabled; }

void TantTaskbarIcon::SetHint(const std::string& hint) {
  // Cut to the tip's 63 bytes, without regard for double-byte characters.
  std::string cut = hint.substr(0, kMaxHintBytes);
  if (cut == hint_) return;
  hint_ = std::move(cut);
  UpDate();
}

void TantTaskbarIcon::SetPopupMenu(QMenu* menu) {
  if (menu == popupMenu_) return;
  QObject::disconnect(popupMenuWatch_);
  popupMenu_ = menu;
  if (!menu) return;
  popupMenuWatch_ = connect(menu, &QObject::destroyed, this, [this](QObject* gone) {
    const ErrorSink sink = sink_;
    RunGuarded(sink, [this, gone] { Notification(gone); });
  });
}

void TantTaskbarIcon::ShowIcon() {
  flags_ |= kNifIcon;
  AddToTaskbar();
  visible_ = true;
  if (OnShow) OnShow(this);
}

void TantTaskbarIcon::HideIcon() {
  flags_ &= ~kNifIcon;
  DeleteFromTaskbar();
  visible_ = false;
  if (OnHide) OnHide(this);
}

void TantTaskbarIcon::DoPopupMenu() {
  if (!popupMenu_) return;
  const ScreenPoint at = service_->GetCursorPos();
  const std::weak_ptr<int> alive = alive_;
  service_->PopupMenu(popupMenu_, at);  // returns when the menu has closed
  if (alive.expired()) return;
  service_->PostMessage(hiddenWindow_, kWmNull, 0, 0);
  if (OnPopupMenu) OnPopupMenu(this);
}

void TantTaskbarIcon::Notification(QObject* component) {
  if (component != nullptr && component == popupMenu_) {
    QObject::disconnect(popupMenuWatch_);
    popupMenu_ = nullptr;
  }
}

}  // namespace tolvarine
