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

  void Create(HWND parent, HINSTANCE instance, HFONT font, std::function<void()> onClick);
  HWND hwnd() const { return hwnd_; }
  // The width it needs to show everything at its height, in pixels.
  int PreferredWidth(int height) const;

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  void Paint(HDC dc, const RECT& r) const;
  void LoadIconSized(int size);
  static int IconSize(int height) { return height - 8; }

  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr, titleFont_ = nullptr;
  HICON icon_ = nullptr;
  int iconSize_ = 0;
  std::function<void()> onClick_;
};

}  // namespace zelvo
