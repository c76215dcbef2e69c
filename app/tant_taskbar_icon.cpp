#include "app/tant_taskbar_icon.h"

#include <QMenu>

namespace brivano {
namespace {
constexpr std::size_t kHintBytes = 63;
}  // namespace

TantTaskbarIcon::TantTaskbarIcon(TrayShell& shell, std::string name)
    : shell_(shell), name_(std::move(name)) {
  shell_.CreateMessageWindow();
}

TantTaskbarIcon::~TantTaskbarIcon() {
  // Remove a shown icon first, then the window its notifications went to.
  try {
    SetVisible(false);
  } catch (const EantTaskbarIcon&) {
    // Nothing can be reported while the window goes away.
  }
  shell_.DestroyMessageWindow();
}

void TantTaskbarIcon::Loaded() {
  loading_ = false;
  if (visible_) Show();
}

void TantTaskbarIcon::SetIcon(const QIcon& icon) {
  icon_ = icon;
  UpDate();
}

void TantTaskbarIcon::SetImageList(const std::vector<QIcon>* list) {
  imageList_ = list;
  LoadFromImageList();
}

void TantTaskbarIcon::SetImageIndex(std::int32_t index) {
  imageIndex_ = index;
  LoadFromImageList();
}

void TantTaskbarIcon::SetIconID(std::int32_t id) {
  if (id == iconId_) return;
  // The icon leaves the tray under its old identifier and comes back under
  // the new one.
  const bool wasVisible = visible_;
  SetVisible(false);
  iconId_ = id;
  SetVisible(wasVisible);
}

void TantTaskbarIcon::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (loading_) return;
  if (visible) {
    Show();
  } else {
    Hide();
  }
}

void TantTaskbarIcon::SetHint(const std::string& gbkHint) {
  hint_ = gbkHint.substr(0, kHintBytes);
  UpDate();
}

void TantTaskbarIcon::SetPopupMenu(QMenu* menu) {
  popupMenu_ = menu;
}

void TantTaskbarIcon::LoadFromImageList() {
  if (imageList_ == nullptr) return;
  icon_ = QIcon();
  if (imageIndex_ >= 0 && static_cast<std::size_t>(imageIndex_) < imageList_->size()) {
    icon_ = (*imageList_)[static_cast<std::size_t>(imageIndex_)];
  }
  UpDate();
}

NotifyIconData TantTaskbarIcon::FillNotifyData() const {
  NotifyIconData data;
  data.iconId = iconId_;
  data.flags = flags_;
  data.icon = icon_;
  data.tip = hint_;
  return data;
}

void TantTaskbarIcon::Request(TrayRequest request, const char* operation) {
  try {
    // The desktop's answer is not looked at: a refused request changes
    // nothing here.
    shell_.NotifyIcon(request, FillNotifyData());
  } catch (...) {
    throw EantTaskbarIcon(name_ + "." + operation + " failed");
  }
}

void TantTaskbarIcon::UpDate() {
  Request(TrayRequest::Modify, "UpDate");
}
void TantTaskbarIcon::AddToTaskbar() {
  Request(TrayRequest::Add, "AddToTaskbar");
}
void TantTaskbarIcon::DeleteFromTaskbar() {
  Request(TrayRequest::Delete, "DeleteFromTaskbar");
}

void TantTaskbarIcon::Show() {
  flags_ |= kNifIcon;
  AddToTaskbar();
  visible_ = true;
  if (OnShow) OnShow(*this);
}

void TantTaskbarIcon::Hide() {
  flags_ &= ~kNifIcon;
  DeleteFromTaskbar();
  visible_ = false;
  if (OnHide) OnHide(*this);
}

bool TantTaskbarIcon::WndProc(std::uint32_t message, std::uintptr_t, std::uintptr_t lParam) {
  if (message != kTrayCallbackMessage || !enabled_) return false;
  const QPoint at = shell_.CursorPos();
  ShiftState shift = shell_.KeyboardState();
  switch (lParam) {
    case kWmLButtonDown:
      leftPressed_ = true;
      shift.left = true;
      MouseDown(MouseButton::Left, shift, at);
      break;
    case kWmLButtonUp:
      shift.left = true;
      MouseUp(MouseButton::Left, shift, at);
      if (leftPressed_) Click();
      leftPressed_ = false;
      break;
    case kWmLButtonDblClk:
      DblClick();
      break;
    case kWmRButtonDown:
      shell_.SetForegroundWindow();
      shift.right = true;
      MouseDown(MouseButton::Right, shift, at);
      break;
    case kWmRButtonUp:
      DoPopupMenu();
      shift.right = true;
      MouseUp(MouseButton::Right, shift, at);
      break;
    default:
      break;  // pointer movement, middle button
  }
  return true;
}

void TantTaskbarIcon::MouseDown(MouseButton button, ShiftState shift, QPoint at) {
  if (OnMouseDown) OnMouseDown(*this, button, shift, at.x(), at.y());
}

void TantTaskbarIcon::MouseUp(MouseButton button, ShiftState shift, QPoint at) {
  shell_.BringApplicationToFront();
  if (OnMouseUp) OnMouseUp(*this, button, shift, at.x(), at.y());
}

void TantTaskbarIcon::Click() {
  if (OnClick) OnClick(*this);
}

void TantTaskbarIcon::DblClick() {
  if (OnDblClick) OnDblClick(*this);
}

void TantTaskbarIcon::DoPopupMenu() {
  if (popupMenu_.isNull()) return;
  shell_.PopupMenu(popupMenu_, shell_.CursorPos());
  shell_.PostNullMessage();
  if (OnPopupMenu) OnPopupMenu(*this);
}

}  // namespace brivano
