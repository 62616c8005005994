// The banner at the right end of the toolbar strip: the program's icon, its
// name and the maker's address, drawn by us so it follows the screen's DPI
// without shipping bitmaps. A click runs `onClick`.
#pragma once

#include <windows.h>

#include <functional>

namespace zelvo {

class Banner {
 public:
  Banner() = default;
  Banner(const Banner&) = delete;
  Banner& operator=(const Banner&) = delete;
  ~Banner();

  void Create(HWND parent, HINSTANCE instance, HFONT font, int dpi, std::function<void()> onClick);
  HWND hwnd() const { return hwnd_; }
  // The parent's font and DPI; the title is drawn a third larger.
  void SetFont(HFONT font, int dpi);
  // The width it needs to show everything at its height, in pixels.
  int PreferredWidth(int height) const;

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  void Paint(HDC dc, const RECT& r) const;
  void LoadIconSized(int size);
  int Pad() const { return MulDiv(6, dpi_, 96); }
  int IconSize(int height) const { return height - MulDiv(8, dpi_, 96); }

  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr, titleFont_ = nullptr;
  HICON icon_ = nullptr;
  int iconSize_ = 0;
  int dpi_ = 96;
  std::function<void()> onClick_;
};

}  // namespace zelvo
