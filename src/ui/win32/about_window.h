// The about box on screen: modeless, centred on the screen.
#pragma once

#include <windows.h>

#include "support/about_box.h"
#include "ui/win32/modeless_dialog.h"

namespace zelvo {

class AboutWindow : public ModelessDialog, public AboutView {
 public:
  AboutWindow(HWND mainWindow, Help& help, std::string caption)
      : main_(mainWindow), form_(help, *this), caption_(std::move(caption)) {}
  ~AboutWindow() override;

  void Open();

  // AboutView
  void SetCaption(const std::string& caption) override { ModelessDialog::SetCaption(caption); }
  void SetTexts(const std::string& headline, const std::string& tagline, const std::string& maker) override;
  void Close() override { ModelessDialog::Close(); }

 private:
  void OnLoad() override;
  void OnDpiChanged(int dpi) override;
  void SetFonts();
  void OnCommand(int id, int code) override;

  HWND main_;
  AboutBox form_;
  std::string caption_;
  FontHandle headlineFont_;
};

}  // namespace zelvo
