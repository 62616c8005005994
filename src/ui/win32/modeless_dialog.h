// A modeless dialog from an in-memory template: the window procedure hands
// its messages to virtual members; closing destroys the window, and the
// object stays for the next opening.
#pragma once

#include <windows.h>

#include "platform/win32/dialog_template.h"
#include "platform/win32/display.h"

namespace zelvo {

class ModelessDialog {
 public:
  ModelessDialog() = default;
  ModelessDialog(const ModelessDialog&) = delete;
  ModelessDialog& operator=(const ModelessDialog&) = delete;
  // Ends the window without its unload handling; owners call Unload() first.
  virtual ~ModelessDialog();

  HWND hwnd() const { return hwnd_; }
  bool IsOpen() const { return hwnd_ != nullptr; }
  // Unloads the window (its OnUnload runs), if it is open.
  void Unload();
  // Tab and Escape for the dialog; true when the message was used.
  bool PreTranslate(MSG* msg) const { return hwnd_ && IsDialogMessageW(hwnd_, msg); }

 protected:
  // Creates the window from the template and shows it; OnLoad runs before
  // it becomes visible. An open window only comes to the front.
  void Load(HWND owner, const DialogTemplate& t);
  void Close() { Unload(); }
  // 50 pixels right of and below the main window's top-left corner.
  void PlaceNear(HWND mainWindow);
  void CenterOnTheScreen();
  void SetCaption(const std::string& caption);

  virtual void OnLoad() {}
  virtual void OnCommand(int id, int code) {}
  virtual void OnTimer(UINT_PTR id) {}
  virtual void OnUnload() {}
  // After the controls and the dialog font followed a new DPI: fonts of the
  // window's own follow here.
  virtual void OnDpiChanged(int dpi) {}

  HWND hwnd_ = nullptr;
  DialogScaler scaler_;

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

}  // namespace zelvo
