#include "platform/win32/display.h"

namespace zelvo {
namespace {

// The per-monitor DPI functions of Windows 10, or null on older systems.
struct DpiFunctions {
  UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;
  UINT(WINAPI* getDpiForSystem)() = nullptr;
  int(WINAPI* getSystemMetricsForDpi)(int, UINT) = nullptr;
  BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  BOOL(WINAPI* systemParametersInfoForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;
  BOOL(WINAPI* enableNonClientDpiScaling)(HWND) = nullptr;
  BOOL(WINAPI* setDialogDpiChangeBehavior)(HWND, int, int) = nullptr;

  DpiFunctions() {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    if (!user) return;
    Load(user, "GetDpiForWindow", getDpiForWindow);
    Load(user, "GetDpiForSystem", getDpiForSystem);
    Load(user, "GetSystemMetricsForDpi", getSystemMetricsForDpi);
    Load(user, "AdjustWindowRectExForDpi", adjustWindowRectExForDpi);
    Load(user, "SystemParametersInfoForDpi", systemParametersInfoForDpi);
    Load(user, "EnableNonClientDpiScaling", enableNonClientDpiScaling);
    Load(user, "SetDialogDpiChangeBehavior", setDialogDpiChangeBehavior);
  }
  template <typename F>
  static void Load(HMODULE module, const char* name, F& f) {
    f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
};

const DpiFunctions& Functions() {
  static const DpiFunctions functions;
  return functions;
}

// DDC_DISABLE_ALL of SetDialogDpiChangeBehavior (Windows 10 1703).
constexpr int kDialogDpiChangeDisableAll = 1;

bool IsDialogFont(HWND control, HFONT dialogFont) {
  return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)) == dialogFont;
}

}  // namespace

int SystemDpi() {
  if (Functions().getDpiForSystem) return static_cast<int>(Functions().getDpiForSystem());
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : kDesignDpi;
}

int WindowDpi(HWND window) {
  if (Functions().getDpiForWindow && window) {
    if (const UINT dpi = Functions().getDpiForWindow(window)) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

int MetricForDpi(int index, int dpi) {
  if (Functions().getSystemMetricsForDpi) return Functions().getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

RECT AdjustWindowRectForDpi(RECT client, DWORD style, bool menu, DWORD exStyle, int dpi) {
  if (Functions().adjustWindowRectExForDpi)
    Functions().adjustWindowRectExForDpi(&client, style, menu, exStyle, static_cast<UINT>(dpi));
  else
    AdjustWindowRectEx(&client, style, menu, exStyle);
  return client;
}

HFONT CreateMessageFont(int dpi) {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  if (Functions().systemParametersInfoForDpi &&
      Functions().systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0, static_cast<UINT>(dpi))) {
    return CreateFontIndirectW(&ncm.lfMessageFont);
  }
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
  ncm.lfMessageFont.lfHeight = MulDiv(ncm.lfMessageFont.lfHeight, dpi, SystemDpi());
  return CreateFontIndirectW(&ncm.lfMessageFont);
}

void EnableNonClientScaling(HWND window) {
  if (Functions().enableNonClientDpiScaling) Functions().enableNonClientDpiScaling(window);
}

bool HighContrast() {
  HIGHCONTRASTW hc{};
  hc.cbSize = sizeof(hc);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

bool IsColourChange(UINT msg, WPARAM wp) {
  return msg == WM_SYSCOLORCHANGE || msg == WM_THEMECHANGED ||
         (msg == WM_SETTINGCHANGE && wp == SPI_SETHIGHCONTRAST);
}

namespace {

PixelRect PixelsOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void MoveTo(HWND window, const PixelRect& r) {
  SetWindowPos(window, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void MoveNearMainWindow(HWND dialog, HWND mainWindow) {
  MoveTo(dialog, PlaceNearMainWindow(PixelsOf(dialog), PixelsOf(mainWindow), WindowDpi(mainWindow)));
}

void MoveToScreenCentre(HWND window) {
  const PixelRect r = PixelsOf(window);
  const TwipsRect centred =
      CenterOnScreen({0, 0, static_cast<float>(r.width), static_cast<float>(r.height)},
                     static_cast<float>(GetSystemMetrics(SM_CXSCREEN)), static_cast<float>(GetSystemMetrics(SM_CYSCREEN)));
  MoveTo(window, {static_cast<int>(centred.left), static_cast<int>(centred.top), r.width, r.height});
}

void DialogScaler::Attach(HWND dialog) {
  dialog_ = dialog;
  if (Functions().setDialogDpiChangeBehavior)
    Functions().setDialogDpiChangeBehavior(dialog, kDialogDpiChangeDisableAll, kDialogDpiChangeDisableAll);
  createdDpi_ = dpi_ = WindowDpi(dialog);
  createdFont_ = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  if (createdFont_) GetObjectW(createdFont_, sizeof createdLogFont_, &createdLogFont_);
  controls_.clear();
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    controls_.push_back({c, r, createdFont_ && IsDialogFont(c, createdFont_)});
  }
}

int DialogScaler::OnDpiChanged(WPARAM wp, LPARAM lp) {
  dpi_ = HIWORD(wp);
  if (createdFont_) {
    LOGFONTW lf = createdLogFont_;
    lf.lfHeight = MulDiv(lf.lfHeight, dpi_, createdDpi_);
    lf.lfWidth = MulDiv(lf.lfWidth, dpi_, createdDpi_);
    font_.Reset(dpi_ == createdDpi_ ? nullptr : CreateFontIndirectW(&lf));
  }
  for (const Control& c : controls_) {
    const RECT& r = c.rect;
    SetWindowPos(c.hwnd, nullptr, Scale(r.left), Scale(r.top), Scale(r.right) - Scale(r.left),
                 Scale(r.bottom) - Scale(r.top), SWP_NOZORDER | SWP_NOACTIVATE);
    if (c.dialogFont) SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
  }
  const RECT* suggested = reinterpret_cast<const RECT*>(lp);
  SetWindowPos(dialog_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(dialog_, nullptr, TRUE);
  return dpi_;
}

}  // namespace zelvo
