// The chooser dialog AuswahlForm as a thin Win32 view: it builds its
// template in memory, forwards events to the controller and applies what
// the controller tells it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "delivery/chooser.h"
#include "platform/win32/display.h"

namespace zelvo {

class Win32AuswahlView : public AuswahlView {
 public:
  Win32AuswahlView(AuswahlForm& form, HWND owner);

  void SetCaption(const std::string& caption) override;
  void SetLines(const std::vector<std::string>& lines) override;
  void SelectLine(int index) override;
  int SelectedLine() override;
  void MoveTo(ScreenPoint topLeft) override;
  void SetTopmost(bool topmost) override;
  void ShowModal() override;
  void Close() override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void OnInitDialog(HWND dialog);
  void OnCommand(int id, int code);

  AuswahlForm& form_;
  HWND owner_;
  HWND dialog_ = nullptr;
  // What the controller set before the dialog existed.
  std::string caption_;
  std::vector<std::string> lines_;
  int selected_ = -1;
  ScreenPoint position_{};
  bool topmost_ = false;
  DialogScaler scaler_;
};

}  // namespace zelvo
