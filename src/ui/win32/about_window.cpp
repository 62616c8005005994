#include "ui/win32/about_window.h"

#include "platform/win32/wide.h"
#include "ui/win32/accessible.h"
#include "ui/win32/resource_ids.h"

namespace zelvo {
namespace {

enum : int { kIdIcon = 100, kIdHeadline = 101, kIdTagline = 102, kIdMaker = 103, kIdButton0 = 200 };

}  // namespace

AboutWindow::~AboutWindow() = default;

void AboutWindow::Open() {
  DialogTemplate t(L"Info", 236, 100, 7);
  t.Item(kStaticClass, L"", kIdIcon, SS_ICON, 10, 10, 21, 20);
  t.Item(kStaticClass, L"", kIdHeadline, SS_LEFT | SS_NOPREFIX, 42, 9, 186, 16);
  t.Item(kStaticClass, L"", kIdTagline, SS_LEFT | SS_NOPREFIX, 42, 28, 186, 10);
  t.Item(kStaticClass, L"", kIdMaker, SS_LEFT | SS_NOPREFIX, 42, 42, 186, 10);
  t.Item(kButtonClass, Widen(kAboutButtons[0]), kIdButton0, BS_PUSHBUTTON | WS_TABSTOP, 10, 76, 66, 14);
  t.Item(kButtonClass, Widen(kAboutButtons[1]), kIdButton0 + 1, BS_PUSHBUTTON | WS_TABSTOP, 80, 76, 88, 14);
  t.Item(kButtonClass, Widen(kAboutButtons[2]), kIdButton0 + 2, BS_DEFPUSHBUTTON | WS_TABSTOP, 172, 76, 54, 14);
  Load(main_, t);
}

void AboutWindow::SetFonts() {
  // The program's icon at the size Windows uses for icons at this DPI.
  const int size = MetricForDpi(SM_CXICON, scaler_.Dpi());
  HICON icon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_ZELVOSCRIPT), IMAGE_ICON, size, size, LR_SHARED));
  SendDlgItemMessageW(hwnd_, kIdIcon, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  LOGFONTW lf{};
  GetObjectW(scaler_.Font(), sizeof lf, &lf);
  lf.lfHeight = lf.lfHeight * 3 / 2;
  lf.lfWeight = FW_BOLD;
  FontHandle previous = std::move(headlineFont_);  // kept until the label has let go of it
  headlineFont_.Reset(CreateFontIndirectW(&lf));
  SendDlgItemMessageW(hwnd_, kIdHeadline, WM_SETFONT, reinterpret_cast<WPARAM>(headlineFont_.Get()), TRUE);
}

void AboutWindow::OnDpiChanged(int) { SetFonts(); }

void AboutWindow::OnLoad() {
  SetFonts();
  SetAccessibleName(GetDlgItem(hwnd_, kIdIcon), L"Zelvoscript");
  form_.OnLoad(caption_);
  CenterOnTheScreen();
  SetFocus(GetDlgItem(hwnd_, kIdButton0 + 2));
}

void AboutWindow::SetTexts(const std::string& headline, const std::string& tagline, const std::string& maker) {
  SetDlgItemTextW(hwnd_, kIdHeadline, Widen(headline).c_str());
  SetDlgItemTextW(hwnd_, kIdTagline, Widen(tagline).c_str());
  SetDlgItemTextW(hwnd_, kIdMaker, Widen(maker).c_str());
}

void AboutWindow::OnCommand(int id, int code) {
  if (id >= kIdButton0 && id < kIdButton0 + 3 && code == BN_CLICKED) form_.OnButton(id - kIdButton0);
}

}  // namespace zelvo
