// OptionsForm on screen: a modeless dialog that forwards every control event
// to the controller and shows the state the controller hands back.
#pragma once

#include <windows.h>

#include <string>

#include "activation/options_form.h"
#include "platform/win32/display.h"

namespace zelvo {

class OptionsDialog : public OptionsView {
 public:
  OptionsDialog(HINSTANCE instance, HWND mainWindow, OptionsForm& form);
  ~OptionsDialog() override;
  OptionsDialog(const OptionsDialog&) = delete;
  OptionsDialog& operator=(const OptionsDialog&) = delete;

  // Creates the hidden dialog once.
  void Create(const std::string& caption);
  void Show();
  bool IsVisible() const;
  HWND hwnd() const { return hwnd_; }

  // OptionsView
  void Refresh(const OptionsState& state) override;
  void Hide() override;
  std::optional<int32_t> ChooseColour(int32_t current) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  void OnCommand(int id, int code);
  void PlaceNearMainWindow();
  void NameControls();
  HBRUSH ColourBrush(int32_t colour);

  HINSTANCE instance_;
  HWND mainWindow_;
  OptionsForm& form_;
  HWND hwnd_ = nullptr;
  HBRUSH brush_ = nullptr;
  int32_t brushColour_ = 0;
  COLORREF customColours_[16] = {};
  DialogScaler scaler_;
};

}  // namespace zelvo
