#include "ui/win32/modeless_dialog.h"

#include "mainwindow/layout.h"
#include "platform/win32/wide.h"

namespace zelvo {
namespace {

TwipsRect RectTwips(HWND hwnd, float tx, float ty) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return {r.left * tx, r.top * ty, (r.right - r.left) * tx, (r.bottom - r.top) * ty};
}

void MoveToTwips(HWND hwnd, const TwipsRect& r, float tx, float ty) {
  SetWindowPos(hwnd, nullptr, static_cast<int>(r.left / tx + 0.5f), static_cast<int>(r.top / ty + 0.5f), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void ScreenTwipsPerPixel(float& x, float& y) {
  HDC dc = GetDC(nullptr);
  x = 1440.0f / static_cast<float>(GetDeviceCaps(dc, LOGPIXELSX));
  y = 1440.0f / static_cast<float>(GetDeviceCaps(dc, LOGPIXELSY));
  ReleaseDC(nullptr, dc);
}

ModelessDialog::~ModelessDialog() {
  if (!hwnd_) return;
  SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
  DestroyWindow(hwnd_);
}

void ModelessDialog::Unload() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void ModelessDialog::Load(HWND owner, const DialogTemplate& t) {
  if (hwnd_) {
    SetForegroundWindow(hwnd_);
    return;
  }
  CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), owner, &ModelessDialog::Proc,
                             reinterpret_cast<LPARAM>(this));
  if (hwnd_) ShowWindow(hwnd_, SW_SHOW);
}

void ModelessDialog::PlaceNear(HWND mainWindow) {
  float tx, ty;
  ScreenTwipsPerPixel(tx, ty);
  MoveToTwips(hwnd_, PlaceNearMainWindow(RectTwips(hwnd_, tx, ty), RectTwips(mainWindow, tx, ty), tx, ty), tx,
              ty);
}

void ModelessDialog::CenterOnTheScreen() {
  float tx, ty;
  ScreenTwipsPerPixel(tx, ty);
  MoveToTwips(hwnd_,
              CenterOnScreen(RectTwips(hwnd_, tx, ty), GetSystemMetrics(SM_CXSCREEN) * tx,
                             GetSystemMetrics(SM_CYSCREEN) * ty),
              tx, ty);
}

void ModelessDialog::SetCaption(const std::string& caption) {
  if (hwnd_) SetWindowTextW(hwnd_, Widen(caption).c_str());
}

INT_PTR CALLBACK ModelessDialog::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<ModelessDialog*>(lp);
    SetWindowLongPtrW(hwnd, DWLP_USER, lp);
    self->hwnd_ = hwnd;
    self->OnLoad();
    return TRUE;
  }
  auto* self = reinterpret_cast<ModelessDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!self) return FALSE;
  switch (msg) {
    case WM_COMMAND:
      // Escape and the close box arrive as IDCANCEL.
      if (LOWORD(wp) == IDCANCEL) self->Unload();
      else self->OnCommand(LOWORD(wp), HIWORD(wp));
      return TRUE;
    case WM_CLOSE:
      self->Unload();
      return TRUE;
    case WM_TIMER:
      self->OnTimer(wp);
      return TRUE;
    case WM_DESTROY:
      self->OnUnload();
      return TRUE;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, DWLP_USER, 0);
      self->hwnd_ = nullptr;
      return FALSE;
  }
  return FALSE;
}

}  // namespace zelvo
