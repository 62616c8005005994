#include "ui/win32/border_strip.h"

#include "platform/win32/display.h"
#include "platform/win32/wide.h"
#include "ui/win32/window_class.h"

namespace zelvo {
namespace {

constexpr wchar_t kStripClass[] = L"ZelvoscriptBorderStrip";
// While the strip waits for the pointer to leave it, it looks this often.
constexpr UINT_PTR kLeaveTimer = 1;
constexpr UINT kLeaveCheckMs = 100;

}  // namespace

COLORREF ResolveColour(int32_t colour) {
  const StripColour c = DecodeColour(colour);
  return c.isSystem ? GetSysColor(c.systemIndex) : static_cast<COLORREF>(c.rgb);
}

void SetWindowTopmost(HWND window, bool on) {
  SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

BorderStripWindow::BorderStripWindow(HINSTANCE instance,
                                     std::function<void(StripMouseEvent, MouseButton)> onMouse)
    : instance_(instance), onMouse_(std::move(onMouse)) {}

BorderStripWindow::~BorderStripWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (brush_) DeleteObject(brush_);
}

void BorderStripWindow::Create(const std::string& caption) {
  if (hwnd_) return;
  RegisterWindowClass(instance_, {kStripClass, &BorderStripWindow::WndProc});
  // A tool window stays off the taskbar and out of Alt+Tab; it never takes
  // the focus, so the window the user worked in stays the last used one.
  CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kStripClass,
                  Widen(caption).c_str(), WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance_, this);
}

void BorderStripWindow::Place(const StripPlacement& p) {
  if (!hwnd_) return;
  if (!p.visible) {
    SetWindowTopmost(hwnd_, false);
    ShowWindow(hwnd_, SW_HIDE);
    return;
  }
  ShowWindow(hwnd_, SW_HIDE);
  SetWindowPos(hwnd_, HWND_TOPMOST, p.rect.left, p.rect.top, p.rect.width, p.rect.height,
               SWP_NOACTIVATE);
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

void BorderStripWindow::SetColour(int32_t colour) {
  colour_ = colour;
  if (brush_) DeleteObject(brush_);
  // A high-contrast theme's text colour stands out against its desktop.
  brush_ = CreateSolidBrush(HighContrast() ? GetSysColor(COLOR_WINDOWTEXT) : ResolveColour(colour));
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

// A timer rather than TrackMouseEvent, whose leave report did not arrive
// under Wine once a menu had been open.
void BorderStripWindow::TrackLeave() {
  if (hwnd_) SetTimer(hwnd_, kLeaveTimer, kLeaveCheckMs, nullptr);
}

LRESULT CALLBACK BorderStripWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = WindowObject<BorderStripWindow>(hwnd, msg, lp);
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCCREATE) self->hwnd_ = hwnd;
  return self->OnMessage(msg, wp, lp);
}

LRESULT BorderStripWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd_, &r);
      FillRect(reinterpret_cast<HDC>(wp), &r,
               brush_ ? brush_ : GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_DPICHANGED:
      return 0;  // one physical pixel at every scale: the suggested size would grow it
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
      if (IsColourChange(msg, wp)) SetColour(colour_);
      break;
    case WM_MOUSEMOVE:
      onMouse_(StripMouseEvent::Move, MouseButton::None);
      return 0;
    case WM_TIMER: {
      if (wp != kLeaveTimer) break;
      POINT pointer;
      RECT strip;
      if (GetCursorPos(&pointer) && GetWindowRect(hwnd_, &strip) && PtInRect(&strip, pointer)) return 0;
      KillTimer(hwnd_, kLeaveTimer);
      onMouse_(StripMouseEvent::Leave, MouseButton::None);
      return 0;
    }
    case WM_LBUTTONDOWN:
      onMouse_(StripMouseEvent::ButtonDown, MouseButton::Left);
      return 0;
    case WM_RBUTTONDOWN:
      onMouse_(StripMouseEvent::ButtonDown, MouseButton::Right);
      return 0;
    case WM_MBUTTONDOWN:
      onMouse_(StripMouseEvent::ButtonDown, MouseButton::Middle);
      return 0;
    case WM_NCDESTROY: {
      HWND gone = hwnd_;
      SetWindowLongPtrW(gone, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      return DefWindowProcW(gone, msg, wp, lp);
    }
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace zelvo
