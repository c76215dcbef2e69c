// The notification-area icon: keeps the program's picture and tip in the
// desktop's tray, turns the tray's mouse notifications into events and opens
// the tray menu. It talks to the desktop through a small shell interface, so
// that its logic runs the same over QSystemTrayIcon and over a test fake.
#pragma once

#include <QIcon>
#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace brivano {

// The tray's messages, as the desktop numbers them.
inline constexpr std::uint32_t kTrayCallbackMessage = 0x0401;  // the first user message + 1
inline constexpr std::uint32_t kWmLButtonDown = 0x0201;
inline constexpr std::uint32_t kWmLButtonUp = 0x0202;
inline constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kWmRButtonDown = 0x0204;
inline constexpr std::uint32_t kWmRButtonUp = 0x0205;

enum class TrayRequest { Add = 0, Modify = 1, Delete = 2 };

// Flags of the icon record.
inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;

// What the component hands the tray with every request.
struct NotifyIconData {
  std::uint32_t size = 88;
  std::int32_t iconId = 0;
  std::uint32_t flags = 0;
  std::uint32_t callbackMessage = kTrayCallbackMessage;
  QIcon icon;
  std::string tip;  // GBK, at most 63 bytes
};

enum class MouseButton { Left, Right };

// The shift state of a mouse event.
struct ShiftState {
  bool shift = false, alt = false, ctrl = false, left = false, right = false;
  bool operator==(const ShiftState&) const = default;
};

class TrayShell {
 public:
  virtual ~TrayShell() = default;
  // Whether the desktop has a notification area at all.
  virtual bool Available() const = 0;
  virtual void CreateMessageWindow() = 0;
  virtual void DestroyMessageWindow() = 0;
  // Add, modify or delete the icon; false when the desktop refuses.
  virtual bool NotifyIcon(TrayRequest request, const NotifyIconData& data) = 0;
  virtual QPoint CursorPos() const = 0;
  virtual ShiftState KeyboardState() const = 0;  // shift, alt and ctrl only
  virtual void SetForegroundWindow() = 0;        // the hidden message window
  virtual void BringApplicationToFront() = 0;
  // Shows the menu at a screen position and returns once it has closed.
  virtual void PopupMenu(QMenu* menu, QPoint position) = 0;
  virtual void PostNullMessage() = 0;
  // A short message beside the icon, where the desktop shows one.
  virtual void ShowBalloon(const QString& title, const QString& text) = 0;
};

class EantTaskbarIcon : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TantTaskbarIcon {
 public:
  using MouseEvent = std::function<void(TantTaskbarIcon& sender, MouseButton button,
                                        ShiftState shift, int x, int y)>;
  using NotifyEvent = std::function<void(TantTaskbarIcon& sender)>;

  TantTaskbarIcon(TrayShell& shell, std::string name);
  ~TantTaskbarIcon();
  TantTaskbarIcon(const TantTaskbarIcon&) = delete;
  TantTaskbarIcon& operator=(const TantTaskbarIcon&) = delete;

  // Runs once the owner has set the properties: shows the icon when Visible
  // was set. Until then setting Visible only stores it.
  void Loaded();

  const QIcon& Icon() const { return icon_; }
  void SetIcon(const QIcon& icon);
  const std::vector<QIcon>* ImageList() const { return imageList_; }
  void SetImageList(const std::vector<QIcon>* list);
  std::int32_t ImageIndex() const { return imageIndex_; }
  void SetImageIndex(std::int32_t index);
  std::int32_t IconID() const { return iconId_; }
  void SetIconID(std::int32_t id);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& gbkHint);  // cut to 63 bytes
  QMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(QMenu* menu);  // cleared when the menu goes away
  // A short message beside the icon while it is shown.
  void ShowBalloon(const QString& title, const QString& text) {
    if (visible_) shell_.ShowBalloon(title, text);
  }
  const std::string& Name() const { return name_; }
  std::uint32_t NotifyFlags() const { return flags_; }

  MouseEvent OnMouseDown;
  MouseEvent OnMouseUp;
  NotifyEvent OnClick;
  NotifyEvent OnDblClick;
  NotifyEvent OnPopupMenu;
  NotifyEvent OnShow;
  NotifyEvent OnHide;

  // The hidden window's procedure: the tray's callback message with the
  // mouse action in `lParam`. Returns whether the message was handled here
  // (otherwise it belongs to the default procedure).
  bool WndProc(std::uint32_t message, std::uintptr_t wParam, std::uintptr_t lParam);

  void UpDate();
  void Show();
  void Hide();

 protected:
  NotifyIconData FillNotifyData() const;
  void AddToTaskbar();
  void DeleteFromTaskbar();
  void LoadFromImageList();
  void MouseDown(MouseButton button, ShiftState shift, QPoint at);
  void MouseUp(MouseButton button, ShiftState shift, QPoint at);
  void Click();
  void DblClick();
  void DoPopupMenu();

 private:
  void Request(TrayRequest request, const char* operation);

  TrayShell& shell_;
  std::string name_;
  QIcon icon_;
  const std::vector<QIcon>* imageList_ = nullptr;
  std::int32_t imageIndex_ = 0;
  std::int32_t iconId_ = 0;
  std::uint32_t flags_ = kNifMessage | kNifTip;
  bool visible_ = false;
  bool enabled_ = true;
  std::string hint_;
  QPointer<QMenu> popupMenu_;
  bool leftPressed_ = false;
  bool loading_ = true;
};

}  // namespace brivano
