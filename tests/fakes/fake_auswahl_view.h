// The chooser dialog without a window: `onShow` plays the user's part while
// the dialog is "modal".
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "delivery/chooser.h"

namespace zelvo {

class FakeAuswahlView : public AuswahlView {
 public:
  std::vector<std::string> captions;
  std::vector<std::string> lines;
  int selected = -1;
  ScreenPoint position;
  std::vector<bool> topmostCalls;
  bool shown = false, closed = false;
  std::function<void(FakeAuswahlView&)> onShow;

  void SetCaption(const std::string& c) override { captions.push_back(c); }
  void SetLines(const std::vector<std::string>& l) override { lines = l; }
  void SelectLine(int i) override { selected = i; }
  int SelectedLine() override { return selected; }
  void MoveTo(ScreenPoint p) override { position = p; }
  void SetTopmost(bool t) override { topmostCalls.push_back(t); }
  void ShowModal() override {
    shown = true;
    if (onShow) onShow(*this);
  }
  void Close() override { closed = true; }
};

}  // namespace zelvo
