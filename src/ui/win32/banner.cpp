#include "ui/win32/banner.h"

#include <algorithm>
#include <string>

#include "platform/win32/display.h"
#include "platform/win32/wide.h"
#include "support/help.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/window_class.h"

namespace zelvo {
namespace {

constexpr wchar_t kBannerClass[] = L"ZelvoscriptBanner";
constexpr wchar_t kTitle[] = L"Zelvoscript";
constexpr COLORREF kTop = RGB(52, 118, 200), kBottom = RGB(20, 64, 128);

SIZE TextSize(HDC dc, HFONT font, const std::wstring& text) {
  HGDIOBJ old = SelectObject(dc, font);
  SIZE s{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &s);
  SelectObject(dc, old);
  return s;
}

BYTE Mix(int a, int b, int i, int n) { return static_cast<BYTE>(a + (b - a) * i / (n > 1 ? n - 1 : 1)); }

}  // namespace

Banner::~Banner() {
  if (titleFont_) DeleteObject(titleFont_);
  if (icon_) DestroyIcon(icon_);
}

void Banner::Create(HWND parent, HINSTANCE instance, HFONT font, int dpi, std::function<void()> onClick) {
  RegisterWindowClass(instance, {kBannerClass, &Banner::Proc, IDC_HAND});
  onClick_ = std::move(onClick);
  SetFont(font, dpi);
  const std::wstring name = std::wstring(kTitle) + L" \u2013 " + Widen(kMakerHost);
  hwnd_ = CreateWindowExW(0, kBannerClass, name.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 10,
                          10, parent, nullptr, instance, this);
}

void Banner::SetFont(HFONT font, int dpi) {
  font_ = font;
  dpi_ = dpi;
  LOGFONTW lf{};
  GetObjectW(font_, sizeof lf, &lf);
  lf.lfHeight = lf.lfHeight * 4 / 3;
  lf.lfWeight = FW_BOLD;
  if (titleFont_) DeleteObject(titleFont_);
  titleFont_ = CreateFontIndirectW(&lf);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

int Banner::PreferredWidth(int height) const {
  HDC dc = GetDC(hwnd_);
  const int text = std::max(TextSize(dc, titleFont_, kTitle).cx, TextSize(dc, font_, Widen(kMakerHost)).cx);
  ReleaseDC(hwnd_, dc);
  return Pad() + IconSize(height) + Pad() + text + 2 * Pad();
}

LRESULT CALLBACK Banner::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = WindowObject<Banner>(hwnd, msg, lp);
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      // Drawn off screen first, so resizing the window does not flicker.
      HDC mem = CreateCompatibleDC(dc);
      HBITMAP bitmap = CreateCompatibleBitmap(dc, r.right, r.bottom);
      HGDIOBJ old = SelectObject(mem, bitmap);
      if (self) self->Paint(mem, r);
      BitBlt(dc, 0, 0, r.right, r.bottom, mem, 0, 0, SRCCOPY);
      SelectObject(mem, old);
      DeleteObject(bitmap);
      DeleteDC(mem);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SIZE:
      if (self) self->LoadIconSized(self->IconSize(HIWORD(lp)));
      return 0;
    case WM_LBUTTONUP:
      if (self && self->onClick_) self->onClick_();
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void Banner::LoadIconSized(int size) {
  if (icon_ && iconSize_ == size) return;
  if (icon_) DestroyIcon(icon_);
  // Loaded at the size shown, so Windows picks the sharpest image of the icon.
  icon_ = size > 0 ? static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_ZELVOSCRIPT),
                                                   IMAGE_ICON, size, size, 0))
                   : nullptr;
  iconSize_ = size;
}

void Banner::Paint(HDC dc, const RECT& r) const {
  const int h = r.bottom - r.top;
  // A high-contrast theme gets its own colours instead of the gradient.
  const bool plain = HighContrast();
  if (plain) FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
  for (int y = 0; y < h && !plain; ++y) {
    HBRUSH line = CreateSolidBrush(RGB(Mix(GetRValue(kTop), GetRValue(kBottom), y, h),
                                       Mix(GetGValue(kTop), GetGValue(kBottom), y, h),
                                       Mix(GetBValue(kTop), GetBValue(kBottom), y, h)));
    RECT row{r.left, y, r.right, y + 1};
    FillRect(dc, &row, line);
    DeleteObject(line);
  }
  const int size = IconSize(h);
  if (icon_) DrawIconEx(dc, Pad(), (h - size) / 2, icon_, size, size, 0, nullptr, DI_NORMAL);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, plain ? GetSysColor(COLOR_WINDOWTEXT) : RGB(255, 255, 255));
  const std::wstring host = Widen(kMakerHost);
  const SIZE title = TextSize(dc, titleFont_, kTitle), link = TextSize(dc, font_, host);
  const int left = 2 * Pad() + size, top = (h - title.cy - link.cy) / 2;
  RECT text{left, top, r.right - Pad(), top + title.cy};
  HGDIOBJ old = SelectObject(dc, titleFont_);
  DrawTextW(dc, kTitle, -1, &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, font_);
  SetTextColor(dc, plain ? GetSysColor(COLOR_HOTLIGHT) : RGB(214, 232, 255));
  text = {left, top + title.cy, r.right - Pad(), top + title.cy + link.cy};
  DrawTextW(dc, host.c_str(), -1, &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, old);
}

}  // namespace zelvo
