// How the display shows the program: the DPI of the monitor a window is on,
// metrics and fonts for that DPI, and the high-contrast setting. Windows
// before 10 lack the per-monitor functions; they are looked up at run time
// and replaced by the system DPI there.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "mainwindow/layout.h"

namespace zelvo {

int SystemDpi();
// The DPI of the monitor the window is on (the system DPI where Windows
// cannot tell).
int WindowDpi(HWND window);
// A system metric (SM_CXICON, SM_CXVSCROLL, ...) at the DPI.
int MetricForDpi(int index, int dpi);
// The outer size of a window whose client area is `client`, at the DPI.
RECT AdjustWindowRectForDpi(RECT client, DWORD style, bool menu, DWORD exStyle, int dpi);
// The user's message font (the main window's font) at the DPI.
HFONT CreateMessageFont(int dpi);
// Lets Windows 10 1607 scale the title bar and menu of a top-level window;
// later versions do it by themselves. Call at WM_NCCREATE.
void EnableNonClientScaling(HWND window);

// A program-wide high-contrast theme is on: owner-drawn parts then take the
// system colours instead of their own.
bool HighContrast();
// True for the messages after which the colours may have changed.
bool IsColourChange(UINT msg, WPARAM wp);

// Moves a dialog 50 design pixels right of and below the main window's
// top-left corner, whether the main window is visible or not.
void MoveNearMainWindow(HWND dialog, HWND mainWindow);
// Centres a window on the primary screen.
void MoveToScreenCentre(HWND window);

// An owned font handle.
class FontHandle {
 public:
  FontHandle() = default;
  explicit FontHandle(HFONT f) : font_(f) {}
  FontHandle(FontHandle&& other) noexcept : font_(std::exchange(other.font_, nullptr)) {}
  FontHandle& operator=(FontHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.font_, nullptr));
    return *this;
  }
  ~FontHandle() { Reset(); }
  void Reset(HFONT f = nullptr) {
    if (font_) DeleteObject(font_);
    font_ = f;
  }
  HFONT Get() const { return font_; }

 private:
  HFONT font_ = nullptr;
};

// Keeps a dialog built from a template in step with its DPI: the controls
// and the dialog font are scaled from what the template gave them at the
// DPI the dialog was created at, never from the previous scale, so moving
// between monitors does not drift. Windows' own dialog rescaling is switched
// off where it exists, so the two never both scale.
class DialogScaler {
 public:
  // At WM_INITDIALOG, after the dialog has set up its controls.
  void Attach(HWND dialog);
  // WM_DPICHANGED: rescales and moves the dialog to Windows' suggested
  // rectangle. Returns the new DPI.
  int OnDpiChanged(WPARAM wp, LPARAM lp);
  int Dpi() const { return dpi_; }
  // A length of the dialog as created, at the current DPI.
  int Scale(int created) const { return MulDiv(created, dpi_, createdDpi_); }
  HFONT Font() const { return font_.Get() ? font_.Get() : createdFont_; }

 private:
  struct Control {
    HWND hwnd;
    RECT rect;  // in the dialog's client area, as created
    bool dialogFont;
  };
  HWND dialog_ = nullptr;
  int createdDpi_ = kDesignDpi, dpi_ = kDesignDpi;
  HFONT createdFont_ = nullptr;  // owned by the dialog manager
  LOGFONTW createdLogFont_{};
  FontHandle font_;
  std::vector<Control> controls_;
};

}  // namespace zelvo
