// Ties delivery to the Win32 program: the real window system, keyboard and
// clipboard, the last used window, and the chooser dialog.
#pragma once

#include <windows.h>

#include <functional>

#include "delivery/delivery.h"
#include "delivery/target_windows.h"
#include "mainwindow/program.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_keyboard.h"
#include "platform/win32/win32_window_system.h"
#include "ui/win32/activation_wiring.h"

namespace zelvo {

class DeliveryWiring : public DeliveryHost {
 public:
  DeliveryWiring(HWND mainWindow, Program& program, Services& services);

  // Lets the snippet menu deliver and capture the last used window.
  void Connect(ActivationWiring& activation);
  // Older Windows: the poll timer keeps the last used window up to date.
  void OnPollTimer();

  // DeliveryHost
  std::optional<SnippetEntry> ReadEntry(int number) override;
  std::string BuildCaption(const std::string& suffix) override;
  ScreenPoint MainWindowCorner() override;
  std::unique_ptr<AuswahlView> CreateAuswahlView(AuswahlForm& form) override;

  TargetWindows& targets() { return targets_; }
  // Runs after each capture of the last used window (the debugger's list).
  std::function<void()> onCapture;

 private:
  HWND main_;
  Program& program_;
  Win32WindowSystem windows_;
  Win32Keyboard keyboard_;
  Win32Clipboard clipboard_;
  TargetWindows targets_;
  Delivery delivery_;
};

}  // namespace zelvo
