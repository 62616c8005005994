#include "ui/win32/modeless_dialog.h"

#include "platform/win32/wide.h"

namespace zelvo {

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

void ModelessDialog::PlaceNear(HWND mainWindow) { MoveNearMainWindow(hwnd_, mainWindow); }

void ModelessDialog::CenterOnTheScreen() { MoveToScreenCentre(hwnd_); }

void ModelessDialog::SetCaption(const std::string& caption) {
  if (hwnd_) SetWindowTextW(hwnd_, Widen(caption).c_str());
}

INT_PTR CALLBACK ModelessDialog::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<ModelessDialog*>(lp);
    SetWindowLongPtrW(hwnd, DWLP_USER, lp);
    self->hwnd_ = hwnd;
    self->scaler_.Attach(hwnd);
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
    case WM_DPICHANGED:
      self->OnDpiChanged(self->scaler_.OnDpiChanged(wp, lp));
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
