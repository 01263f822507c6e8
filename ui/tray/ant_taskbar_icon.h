#pragma once
// TantTaskbarIcon: one icon in the desktop's notification area with a tip text; mouse
// actions on it become events, and a right release opens the popup menu at the cursor.
//
// Configure it like a stored component: create it (it starts in the loading state), set
// the properties in the order they are declared below (Icon, ImageList, ImageIndex,
// IconID, Visible, Enabled, Hint, PopupMenu, then the events), then call Loaded(). Or
// hand all of them to LoadStoredSettings(), which keeps that order and calls Loaded().
//
// Name is the objectName (the owner sets it, e.g. "antTaskbarIcon1").
//
// Failures: a request that fails (filling the record or the platform call throws) raises
// EantTaskbarIcon "<Name>.UpDate failed" / ".AddToTaskbar failed" /
// ".DeleteFromTaskbar failed" to whoever wrote the property or called the operation,
// Loaded() included. A request the notification area merely refuses (no system tray,
// icon not present, second add) is not reported. Failures inside Qt signal handlers
// (the mouse callbacks and the events they fire, the popup menu's removal) and in the
// destructor go to the error sink instead; the default sink writes the message to stderr.
// A sink set by the owner may thus be called while the owner is being destroyed.
#include <QList>
#include <QIcon>
#include <QMetaObject>
#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/errors.h"
#include "base/guard.h"
#include "ui/tray/notify_icon_service.h"

class QMenu;

namespace tolvarine {

// The component's exception class.
class EantTaskbarIcon : public Error {
 public:
  using Error::Error;
};

enum class TrayMouseButton { Left, Right };

enum class TrayShift : std::uint8_t { Shift = 1, Alt = 2, Ctrl = 4, Left = 8, Right = 16 };

// A set of TrayShift values.
class TrayShiftState {
 public:
  constexpr TrayShiftState() = default;
  constexpr TrayShiftState(TrayShift key) : bits_(static_cast<std::uint8_t>(key)) {}
  constexpr bool Contains(TrayShift key) const {
    return (bits_ & static_cast<std::uint8_t>(key)) != 0;
  }
  constexpr TrayShiftState operator+(TrayShiftState other) const {
    return FromBits(static_cast<std::uint8_t>(bits_ | other.bits_));
  }
  constexpr bool operator==(const TrayShiftState&) const = default;
  constexpr std::uint8_t Bits() const { return bits_; }
  static constexpr TrayShiftState FromBits(std::uint8_t bits) {
    TrayShiftState s;
    s.bits_ = bits;
    return s;
  }

 private:
  std::uint8_t bits_ = 0;
};

class TantTaskbarIcon;

// sender is the component.
using TNotifyEvent = std::function<void(TantTaskbarIcon* sender)>;
using TMouseEvent = std::function<void(TantTaskbarIcon* sender, TrayMouseButton button,
                                       TrayShiftState shift, int x, int y)>;

using TrayImageList = QList<QIcon>;

// The stored properties, for LoadStoredSettings.
struct TantTaskbarIconSettings {
  QIcon icon;
  const TrayImageList* imageList = nullptr;
  std::int32_t imageIndex = 0;
  std::int32_t iconId = 0;
  bool visible = false;
  bool enabled = true;
  std::string hint;  // GBK
  QMenu* popupMenu = nullptr;
  TMouseEvent onMouseDown;
  TMouseEvent onMouseUp;
  TNotifyEvent onClick;
  TNotifyEvent onDblClick;
  TNotifyEvent onPopupMenu;
  TNotifyEvent onShow;
  TNotifyEvent onHide;
};

class TantTaskbarIcon : public QObject {
  Q_OBJECT

 public:
  static constexpr std::uint32_t kCallbackMessage = kWmUser + 1;
  static constexpr std::size_t kMaxHintBytes = 63;

  // owner: the QObject parent (it destroys the component). service: nullptr for the
  // QSystemTrayIcon implementation. No request is sent.
  explicit TantTaskbarIcon(QObject* owner, std::unique_ptr<NotifyIconService> service = nullptr);
  ~TantTaskbarIcon() override;

  TantTaskbarIcon(const TantTaskbarIcon&) = delete;
  TantTaskbarIcon& operator=(const TantTaskbarIcon&) = delete;

  // Events: assigning one just stores it.
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnPopupMenu;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

  // The component's Name (its objectName, as GBK), used in failure messages.
  std::string Name() const;
  // Where failures inside Qt signal handlers are reported (default: stderr).
  void SetErrorSink(ErrorSink sink);

  // True from construction until Loaded(). While loading, the Icon writer only stores.
  bool Loading() const { return loading_; }
  // End of loading: leaves the loading state and, when Visible is true, runs ShowIcon
  // once more (its refusal is not reported; OnShow fires). Runs once; later calls do
  // nothing. May raise EantTaskbarIcon.
  virtual void Loaded();
  // Applies the stored properties in declaration order, then Loaded().
  void LoadStoredSettings(const TantTaskbarIconSettings& settings);

  // Property readers.
  const QIcon& Icon() const { return iconImage_; }
  const TrayImageList* ImageList() const { return imageList_; }
  std::int32_t ImageIndex() const { return imageIndex_; }
  std::int32_t IconID() const { return iconId_; }
  bool Visible() const { return visible_; }
  bool Enabled() const { return enabled_; }
  const std::string& Hint() const { return hint_; }
  QMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(QMenu* menu);

  // The record as last filled, and the flags field.
  const NotifyIconData& IconData() const { return iconData_; }
  std::uint32_t Flags() const { return flags_; }
  WindowHandle HiddenWindow() const { return hiddenWindow_; }

  // The operations, in slot order.
  virtual void IconWndProc(WindowMessage& message);
  virtual void FillIconData();
  virtual void AddToTaskbar();
  virtual void DeleteFromTaskbar();
  virtual void IconFromImageList();
  virtual void DoMouseDown(TrayMouseButton button, TrayShiftState shift, int x, int y);
  virtual void DoMouseUp(TrayMouseButton button, TrayShiftState shift, int x, int y);
  virtual void DoClick();
  virtual void DoDblClick();
  virtual void SetIcon(const QIcon& icon);
  virtual void SetImageList(const TrayImageList* list);
  virtual void SetImageIndex(std::int32_t index);
  virtual void SetIconID(std::int32_t id);
  virtual void SetVisible(bool visible);
  virtual void SetEnabled(bool enabled);
  virtual void SetHint(const std::string& hint);
  virtual void UpDate();
  virtual void ShowIcon();
  virtual void HideIcon();
  virtual void DoPopupMenu();

 protected:
  // Removal notification: a component this one refers to is being destroyed.
  virtual void Notification(QObject* component);

 private:
  void Request(std::uint32_t operation, const char* operationName);
  TrayShiftState KeysDown();
  void DeliverGuarded(WindowMessage& message);

  // Fields, in declaration order (the events above come first).
  WindowHandle hiddenWindow_ = 0;
  NotifyIconData iconData_{};
  QIcon iconImage_;
  const TrayImageList* imageList_ = nullptr;
  std::int32_t imageIndex_ = 0;
  std::int32_t iconId_ = 0;
  std::uint32_t flags_ = kNifMessage + kNifTip;
  bool visible_ = false;
  bool enabled_ = true;
  std::string hint_;
  QMenu* popupMenu_ = nullptr;
  bool clickPending_ = false;

  std::unique_ptr<NotifyIconService> service_;
  ErrorSink sink_;
  bool loading_ = true;
  // Expires when the component is destroyed; checked after the popup menu's nested loop.
  std::shared_ptr<int> alive_;
  QMetaObject::Connection popupMenuWatch_;
};

}  // namespace tolvarine
