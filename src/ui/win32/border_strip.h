// MoveOverFrm: the one-pixel, topmost strip along a screen edge whose mouse
// events open the snippet menu.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "activation/activation_sources.h"

namespace zelvo {

class BorderStripWindow {
 public:
  // onMouse gets each mouse event; the owner decides what it means.
  BorderStripWindow(HINSTANCE instance, std::function<void(StripMouseEvent, MouseButton)> onMouse);
  ~BorderStripWindow();
  BorderStripWindow(const BorderStripWindow&) = delete;
  BorderStripWindow& operator=(const BorderStripWindow&) = delete;

  // Created on first use, hidden, with the given caption.
  void Create(const std::string& caption);
  bool Created() const { return hwnd_ != nullptr; }
  void Place(const StripPlacement& placement);
  void SetColour(int32_t colour);
  // Reports StripMouseEvent::Leave once the pointer is off the strip (soon
  // when it is not on it now).
  void TrackLeave();
  HWND hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);

  HINSTANCE instance_;
  std::function<void(StripMouseEvent, MouseButton)> onMouse_;
  HWND hwnd_ = nullptr;
  HBRUSH brush_ = nullptr;
  int32_t colour_ = 0;
};

// The colour value as a COLORREF, system colours resolved.
COLORREF ResolveColour(int32_t colour);
// SetWindowTopmost: HWND_TOPMOST or HWND_NOTOPMOST, position and size kept.
void SetWindowTopmost(HWND window, bool on);

}  // namespace zelvo
