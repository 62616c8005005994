#include "ui/win32/debugger_windows.h"

#include <algorithm>

#include "platform/win32/wide.h"
#include "ui/win32/accessible.h"
#include "ui/win32/list_box.h"

namespace zelvo {
namespace {

enum : int { kIdList = 100, kIdLabel = 101, kIdVisible = 102, kIdButton0 = 200 };
constexpr UINT_PTR kRefreshTimer = 1;

void SetListLines(HWND list, const std::vector<std::string>& lines) {
  // Refilled in place: the scroll position and the selection survive.
  const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
  const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
  FillList(list, lines);
  if (selected != LB_ERR && selected < static_cast<LRESULT>(lines.size()))
    SendMessageW(list, LB_SETCURSEL, selected, 0);
  SendMessageW(list, LB_SETTOPINDEX, top, 0);
  const int widest = WidestListRow(list, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
  SendMessageW(list, LB_SETHORIZONTALEXTENT, widest ? widest + 8 : 0, 0);
}

}  // namespace

// ---- DebFrm ----

void DebuggerWindow::Open() {
  DialogTemplate t(L"DebFrm", 268, 206, 5);
  t.Item(kListBoxClass, L"", kIdList,
         LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_TABSTOP, 7, 7, 254, 96);
  t.Item(kStaticClass, L"", kIdLabel, SS_LEFT, 7, 108, 254, 40);
  for (int i = 0; i < 3; ++i)
    t.Item(kButtonClass, Widen(kDebuggerButtons[i]), kIdButton0 + i, BS_PUSHBUTTON | WS_TABSTOP, 7,
           static_cast<short>(151 + 17 * i), 254, 14);
  Load(main_, t);
}

void DebuggerWindow::OnLoad() {
  SetAccessibleName(GetDlgItem(hwnd_, kIdList), L"Fenstertitel");
  form_.OnLoad();
  PlaceNear(main_);
  SetListLines(GetDlgItem(hwnd_, kIdList), titles_);
}

void DebuggerWindow::SetTitles(const std::vector<std::string>& titles) {
  titles_ = titles;
  if (hwnd_) SetListLines(GetDlgItem(hwnd_, kIdList), titles_);
}

void DebuggerWindow::SetExplanation(const std::string& text) {
  SetDlgItemTextW(hwnd_, kIdLabel, Widen(text).c_str());
}

std::optional<std::string> DebuggerWindow::SelectedTitle() {
  return SelectedListText(GetDlgItem(hwnd_, kIdList));
}

void DebuggerWindow::OnCommand(int id, int code) {
  if (id >= kIdButton0 && id < kIdButton0 + 3 && code == BN_CLICKED) form_.OnButton(id - kIdButton0);
}

// ---- QVDEBUGFRM ----

WindowListWindow::~WindowListWindow() = default;

void WindowListWindow::Open() {
  DialogTemplate t(Widen(WindowListForm::kInitialCaption), 330, 220, 3,
                   WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME);
  t.Item(kListBoxClass, L"", kIdList, LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_TABSTOP, 7,
         7, 316, 184);
  t.Item(kButtonClass, L"visible only", kIdVisible, BS_AUTOCHECKBOX | WS_TABSTOP, 7, 199, 120, 12);
  t.Item(kButtonClass, L"Exit", kIdButton0, BS_PUSHBUTTON | WS_TABSTOP, 263, 198, 60, 14);
  Load(main_, t);
}

void WindowListWindow::SetListFont() {
  FontHandle previous = std::move(font_);  // kept until the list has let go of it
  font_.Reset(CreateFontW(-MulDiv(9, scaler_.Dpi(), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                          L"Courier New"));
  SendDlgItemMessageW(hwnd_, kIdList, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
}

void WindowListWindow::OnDpiChanged(int) { SetListFont(); }

void WindowListWindow::OnLoad() {
  SetListFont();
  SetAccessibleName(GetDlgItem(hwnd_, kIdList), L"Fenster");
  CheckDlgButton(hwnd_, kIdVisible, BST_CHECKED);
  // Further down and right than DebFrm, so both can be seen at once.
  PlaceNear(main_);
  RECT r{};
  GetWindowRect(hwnd_, &r);
  const int further = ScaleToDpi(100, scaler_.Dpi());
  SetWindowPos(hwnd_, nullptr, r.left + further, r.top + further, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetTimer(hwnd_, kRefreshTimer, WindowListForm::kIntervalMs, nullptr);
}

void WindowListWindow::OnUnload() { KillTimer(hwnd_, kRefreshTimer); }

void WindowListWindow::OnCommand(int id, int code) {
  if (id == kIdButton0 && code == BN_CLICKED) Close();
}

std::vector<ListedWindow> WindowListWindow::WindowsFromMainUp() {
  std::vector<ListedWindow> out;
  for (HWND w = main_; w && out.size() < 100000; w = GetWindow(w, GW_HWNDPREV)) {
    const auto handle = reinterpret_cast<WindowHandle>(w);
    out.push_back({handle, windows_.IsVisible(handle), windows_.Title(handle)});
  }
  return out;
}

bool WindowListWindow::VisibleOnly() { return IsDlgButtonChecked(hwnd_, kIdVisible) == BST_CHECKED; }

void WindowListWindow::SetLines(const std::vector<std::string>& lines) {
  SetListLines(GetDlgItem(hwnd_, kIdList), lines);
}

}  // namespace zelvo
