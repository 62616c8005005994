#include "ui/win32/delivery_wiring.h"

#include "platform/win32/display.h"

#include "ui/win32/auswahl_view.h"

namespace zelvo {

DeliveryWiring::DeliveryWiring(HWND mainWindow, Program& program, Services& services)
    : main_(mainWindow),
      program_(program),
      targets_(windows_, program.Caption("")),
      delivery_(services, {windows_, keyboard_, clipboard_}, targets_, *this) {}

void DeliveryWiring::Connect(ActivationWiring& activation) {
  activation.delivery.deliverEntry = [this](int number, const std::string& name) {
    delivery_.DeliverEntry(number, name);
  };
  activation.delivery.captureLastUsedWindow = [this] {
    // The caption and the ignore list are those of the last reload.
    targets_.SetBaseCaption(program_.Caption(""));
    targets_.SetIgnoreList(program_.ignoreList());
    targets_.CaptureAtMenuOpening();
    if (onCapture) onCapture();
  };
  activation.delivery.isBusy = [this] { return delivery_.IsBusy(); };
  activation.delivery.lastUsedWindow = [this] { return reinterpret_cast<HWND>(targets_.LastUsedWindow()); };
}

void DeliveryWiring::OnPollTimer() {
  targets_.SetBaseCaption(program_.Caption(""));
  targets_.SetIgnoreList(program_.ignoreList());
  targets_.OnPollTimer();
  if (onCapture) onCapture();
}

std::optional<SnippetEntry> DeliveryWiring::ReadEntry(int number) {
  return program_.store().ReadEntry(number);
}

std::string DeliveryWiring::BuildCaption(const std::string& suffix) {
  return program_.Caption(suffix);
}

ScreenPoint DeliveryWiring::MainWindowCorner() {
  RECT r{};
  GetWindowRect(main_, &r);
  // The chooser adds the 50 design pixels itself; at another scale the
  // corner is shifted by the difference, so the offset scales too.
  const int extra = ScaleToDpi(kNearMainWindowOffset, WindowDpi(main_)) - kNearMainWindowOffset;
  return {r.left + extra, r.top + extra};
}

std::unique_ptr<AuswahlView> DeliveryWiring::CreateAuswahlView(AuswahlForm& form) {
  return std::make_unique<Win32AuswahlView>(form, main_);
}

}  // namespace zelvo
