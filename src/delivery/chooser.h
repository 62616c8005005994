// AuswahlForm: the modal chooser shown when several windows match a title.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "delivery/target_windows.h"

namespace zelvo {

struct ScreenPoint {
  int x = 0, y = 0;
};

// What the Win32 dialog does for the controller; it decides nothing.
class AuswahlView {
 public:
  virtual ~AuswahlView() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetLines(const std::vector<std::string>& lines) = 0;  // lbZielFenster
  virtual void SelectLine(int index) = 0;
  virtual int SelectedLine() = 0;  // -1 for none
  virtual void MoveTo(ScreenPoint topLeft) = 0;
  virtual void SetTopmost(bool topmost) = 0;
  // Runs the dialog modally, forwarding its events to the controller, and
  // returns after Close().
  virtual void ShowModal() = 0;
  virtual void Close() = 0;
};

inline constexpr const char* kAuswahlLabel =
    "Es wurden mehrere Fenster gefunden, die als Ziel in Frage kommen. Bitte wählen Sie aus "
    "der obigen Liste das entsprechende aus.";
inline constexpr const char* kAuswahlCancel = "&Abbruch";  // Btn(0)
inline constexpr const char* kAuswahlOk = "&OK";           // Btn(1)

class AuswahlForm {
 public:
  // `loadCaption` is BuildCaption("Auswahl"); `mainWindowCorner` the main
  // window's top-left corner, visible or not.
  AuswahlForm(std::string loadCaption, ScreenPoint mainWindowCorner);

  // Loads the view, fills it, shows it modally and returns the chosen window,
  // or nothing when the user cancelled. The caller sends only after the
  // dialog has gone, so no topmost dialog covers the target while typing.
  std::optional<WindowHandle> Choose(AuswahlView& view, const std::vector<TargetWindow>& candidates);

  // Events forwarded by the view.
  void OnListDoubleClick() { SelectionOK(); }
  void OnButton(int index) { index == 1 ? SelectionOK() : Unload(); }
  void OnCloseByFrame() { Unload(); }

  // The list as shown, for tests and the view.
  const std::vector<TargetWindow>& Lines() const { return lines_; }

 private:
  void SelectionOK();
  void Unload();

  std::string loadCaption_;
  ScreenPoint mainWindowCorner_;
  AuswahlView* view_ = nullptr;  // while loaded
  std::vector<TargetWindow> lines_;
  std::optional<WindowHandle> chosen_;
};

// Case-insensitive order of the list control; equal titles keep their order.
std::vector<TargetWindow> SortedForChooser(std::vector<TargetWindow> candidates);

}  // namespace zelvo
