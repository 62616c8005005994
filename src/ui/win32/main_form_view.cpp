#include "ui/win32/main_form_view.h"

#include <commctrl.h>
#include <richedit.h>
#include <windowsx.h>

#include <algorithm>

#include "mainwindow/main_form_texts.h"
#include "platform/win32/wide.h"
#include "store/codepage.h"
#include "store/fingerprint.h"
#include "ui/win32/accessible.h"
#include "ui/win32/list_box.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/window_class.h"

namespace zelvo {
namespace {

constexpr int kIdList = 2001, kIdEditor = 2002, kIdKeyRecord = 2003, kIdToolbar = 2004,
              kIdStatus = 2005, kIdPanel = 2006, kIdCombo = 2007, kIdCrypt = 2008;
constexpr int kIdDestination0 = 2020;  // +1
constexpr int kIdSendMethod0 = 2030;   // +2
constexpr int kIdMenuBase = 1000;      // + 10 * array + item
constexpr int kIdToolBase = 3000;      // + tag
constexpr UINT_PTR kClockTimer = 0x5A01;
constexpr wchar_t kPanelClass[] = L"ZelvoscriptPanel";

WindowsVersion CurrentWindowsVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  // Deprecated but still the call that reports the version the way the
  // update check has always sent it.
#ifdef __GNUC__
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  if (!GetVersionExW(&info)) return {};
#ifdef __GNUC__
#pragma GCC diagnostic pop
#endif
  return {static_cast<int>(info.dwPlatformId), info.dwMajorVersion, info.dwMinorVersion,
          info.dwBuildNumber};
}

int MenuId(MenuArray array, int item) { return kIdMenuBase + 10 * static_cast<int>(array) + item; }

// Toolbar images are 16 design pixels square; the icons hold them at the
// sizes the usual scales ask for (16, 20, 24, 32, 40, 48).
constexpr int kToolImageSize = 16;

// Option panel, in twips inside Container2 (6345 x 1005): three rows of
// options under the headings, the title box below the second one.
constexpr TwipsRect kTargetLabelRect{0, 0, 2670, 225};
constexpr TwipsRect kDestinationRects[2] = {{0, 225, 2670, 225}, {0, 450, 2670, 225}};
constexpr TwipsRect kComboRect{0, 690, 2500, 1500};
constexpr TwipsRect kSendLabelRect{2680, 0, 2130, 225};
constexpr TwipsRect kSendRects[3] = {{2680, 225, 2130, 225}, {2680, 450, 2130, 225}, {2680, 675, 2130, 225}};
constexpr TwipsRect kSecurityLabelRect{4830, 0, 1515, 225};
constexpr TwipsRect kCryptRect{4830, 225, 1515, 480};
// "&Steuertasten einfügen" on the top edge of the frame "Bearbeitung".
constexpr TwipsRect kKeyRecordRect{3400, 0, 2900, 240};

}  // namespace

MainFormWin::MainFormWin(HWND window, HINSTANCE instance, Program& program)
    : window_(window), instance_(instance), program_(program) {
  form_ = std::make_unique<MainForm>(program_, *this);
  help_ = std::make_unique<Help>(program_.services(), shell_, CurrentWindowsVersion());
}

MainFormWin::~MainFormWin() {
  KillTimer(window_, kClockTimer);
  if (windowBrush_) DeleteObject(windowBrush_);
  if (toolImages_) ImageList_Destroy(toolImages_);
}

HWND MainFormWin::Child(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int id) {
  HWND h = CreateWindowExW(0, cls, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
                           0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           instance_, nullptr);
  SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  return h;
}

void MainFormWin::Create() {
  dpi_ = WindowDpi(window_);
  font_.Reset(CreateMessageFont(dpi_));
  windowBrush_ = CreateSolidBrush(GetSysColor(COLOR_WINDOW));

  CreateMenus();
  CreateToolbar();
  banner_.Create(window_, instance_, font_.Get(), dpi_, [this] { form_->OnBannerClick(); });
  // Above the toolbar, whose design width reaches under it.
  SetWindowPos(banner_.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  listFrame_ = Child(window_, L"BUTTON", std::string(kListFrameCaption), BS_GROUPBOX, 0);
  textFrame_ = Child(window_, L"BUTTON", std::string(kTextFrameCaption), BS_GROUPBOX, 0);
  list_ = Child(window_, L"LISTBOX", "",
                WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER, kIdList);
  editor_.Create(window_, kIdEditor, instance_);
  editor_.Attach(&form_->editor());
  editor_.onRightButton = [this](KeyModifiers m, int x, int y) {
    form_->OnEditorRightButton(m.shift, m.ctrl, m.alt, x, y);
  };
  // Shown but never read, so Tab passes it by (Alt+S still reaches it).
  keyRecord_ = Child(window_, L"BUTTON", std::string(kKeyRecordCaption), BS_AUTOCHECKBOX, kIdKeyRecord);
  CreateOptionPanel();
  // The frames lie below the controls they hold.
  for (HWND frame : {listFrame_, textFrame_})
    SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                            window_, reinterpret_cast<HMENU>(kIdStatus), instance_, nullptr);
  SetTimer(window_, kClockTimer, 1000, nullptr);
  NameControls();
  ApplyDpi();

  const RECT r = DesignWindowRect();
  SetWindowPos(window_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyLayout();
  UpdateStatusClock();  // after the status bar has its panels
}

RECT MainFormWin::DesignWindowRect() const {
  // Client area 9480 x 6510 twips plus the frame, both at the window's DPI.
  return AdjustWindowRectForDpi({0, 0, Px(kDesignClientWidth), Px(kDesignClientHeight)},
                                static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), true,
                                static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)), dpi_);
}

void MainFormWin::ApplyDpi() {
  // The rich editor keeps its own character formats.
  for (HWND parent : {window_, panel_}) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (child != editor_.hwnd()) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  }
  banner_.SetFont(font_.Get(), dpi_);
  UpdateListExtent();
  SetToolbarImages();
  editor_.SetScale(dpi_, SystemDpi());
  editor_.Render(BuildEditorRuns(form_->editor().Text()));
  Place(targetLabel_, kTargetLabelRect);
  for (int i = 0; i < 2; ++i) Place(destination_[i], kDestinationRects[i]);
  Place(combo_, kComboRect);
  Place(sendLabel_, kSendLabelRect);
  for (int i = 0; i < 3; ++i) Place(sendMethod_[i], kSendRects[i]);
  Place(securityLabel_, kSecurityLabelRect);
  Place(crypt_, kCryptRect);
  // The window's own icons, sharp at this scale.
  for (auto [which, metric] : {std::pair{ICON_SMALL, SM_CXSMICON}, std::pair{ICON_BIG, SM_CXICON}}) {
    const int size = MetricForDpi(metric, dpi_);
    HICON icon = static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(IDI_ZELVOSCRIPT), IMAGE_ICON, size, size, LR_SHARED));
    if (icon) SendMessageW(window_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
  }
}

void MainFormWin::SetToolbarImages() {
  const int size = ScaleToDpi(kToolImageSize, dpi_);
  HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, kToolbarButtons.size(), 0);
  for (size_t i = 0; i < kToolbarButtons.size(); ++i) {
    HICON icon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_TOOL_FIRST + static_cast<int>(i)),
                                               IMAGE_ICON, size, size, 0));
    ImageList_AddIcon(images, icon);
    if (icon) DestroyIcon(icon);
  }
  SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(size, size));
  SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
  if (toolImages_) ImageList_Destroy(toolImages_);
  toolImages_ = images;
  SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

void MainFormWin::OnDpiChanged(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  font_.Reset(CreateMessageFont(dpi_));
  ApplyDpi();
  // The minimum size is the design size at the new scale.
  if (layout_.Captured()) CaptureLayout();
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyLayout();
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainFormWin::OnColoursChanged() {
  if (windowBrush_) DeleteObject(windowBrush_);
  windowBrush_ = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
  // The symbols take the theme's colours; the text and caret stay.
  editor_.SetColours(HighContrast());
  editor_.Render(BuildEditorRuns(form_->editor().Text()));
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainFormWin::NameControls() {
  SetWindowTextW(toolbar_, L"Symbolleiste");
  SetWindowTextW(panel_, L"Ziel, \u00dcbergabe und Sicherheit");
  SetAccessibleName(list_, SpokenCaption(std::string(kListFrameCaption)), [this] {
    const LRESULT row = SendMessageW(list_, LB_GETCURSEL, 0, 0);
    return row == LB_ERR ? std::wstring() : ListRowText(list_, row);
  });
  SetAccessibleName(editor_.hwnd(), SpokenCaption(std::string(kTextFrameCaption)),
                    [this] { return Widen(SpokenEditorText(form_->editor().Text())); });
  SetAccessibleName(combo_, SpokenCaption(std::string(kDestinationOptions[1])));
  SetAccessibleName(status_, L"Statusleiste");
}

void MainFormWin::CreateMenus() {
  menuBar_ = CreateMenu();
  for (const MenuText& m : kMenus) {
    HMENU popup = CreatePopupMenu();
    for (int i = 0; i < static_cast<int>(m.items.size()) && !m.items[i].empty(); ++i) {
      if (m.items[i] == "-")
        AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
      else
        AppendMenuW(popup, MF_STRING, MenuId(m.array, i + 1), Widen(std::string(m.items[i])).c_str());
    }
    popups_[static_cast<int>(m.array)] = popup;
    AppendMenuW(menuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                Widen(std::string(m.caption)).c_str());
  }
  SetMenu(window_, menuBar_);
}

void MainFormWin::CreateToolbar() {
  toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                 CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                             0, 0, 10, 10, window_, reinterpret_cast<HMENU>(kIdToolbar), instance_,
                             nullptr);
  SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  TBBUTTON buttons[kToolbarButtons.size()] = {};
  std::wstring captions[kToolbarButtons.size()];
  for (size_t i = 0; i < kToolbarButtons.size(); ++i) {
    captions[i] = Widen(std::string(kToolbarButtons[i].caption));
    buttons[i].iBitmap = static_cast<int>(i);
    buttons[i].idCommand = kIdToolBase + kToolbarButtons[i].tag;
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
    buttons[i].iString = reinterpret_cast<INT_PTR>(captions[i].c_str());
  }
  SendMessageW(toolbar_, TB_ADDBUTTONSW, kToolbarButtons.size(), reinterpret_cast<LPARAM>(buttons));
}

LRESULT CALLBACK MainFormWin::PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return SendMessageW(GetParent(hwnd), msg, wp, lp);
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void MainFormWin::CreateOptionPanel() {
  // The panel has the window's background colour.
  RegisterWindowClass(instance_, {kPanelClass, &MainFormWin::PanelProc, IDC_ARROW,
                                  reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});
  panel_ = Child(window_, kPanelClass, "", WS_CLIPCHILDREN | WS_EX_CONTROLPARENT, kIdPanel);
  SetWindowLongPtrW(panel_, GWL_EXSTYLE, WS_EX_CONTROLPARENT);

  // Placed by ApplyDpi.
  targetLabel_ = Child(panel_, L"STATIC", std::string(kTargetLabel), SS_LEFT, 0);
  for (int i = 0; i < 2; ++i) {
    destination_[i] = Child(panel_, L"BUTTON", std::string(kDestinationOptions[i]),
                            BS_AUTORADIOBUTTON | BS_NOTIFY | WS_TABSTOP | (i == 0 ? WS_GROUP : 0),
                            kIdDestination0 + i);
  }
  // A group of its own, so the arrow keys of the options above stay there.
  combo_ = Child(panel_, L"COMBOBOX", "", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                 kIdCombo);
  sendLabel_ = Child(panel_, L"STATIC", std::string(kSendLabel), SS_LEFT | WS_GROUP, 0);
  for (int i = 0; i < 3; ++i) {
    sendMethod_[i] = Child(panel_, L"BUTTON", std::string(kSendMethodOptions[i]),
                           BS_AUTORADIOBUTTON | BS_NOTIFY | WS_TABSTOP | (i == 0 ? WS_GROUP : 0),
                           kIdSendMethod0 + i);
  }
  securityLabel_ = Child(panel_, L"STATIC", std::string(kSecurityLabel), SS_LEFT | WS_GROUP, 0);
  crypt_ = Child(panel_, L"BUTTON", std::string(kCryptCaption),
                 BS_AUTOCHECKBOX | BS_NOTIFY | BS_MULTILINE | BS_TOP | WS_TABSTOP | WS_GROUP, kIdCrypt);
}

void MainFormWin::Place(HWND control, const TwipsRect& r, float dx, float dy) {
  const PixelRect p = ToPixels(r, dpi_, dx, dy);
  MoveWindow(control, p.left, p.top, p.width, p.height, TRUE);
}

TwipsRect MainFormWin::WindowTwips() const {
  RECT r;
  GetWindowRect(window_, &r);
  return PlacementToTwips({r.left, r.top, r.right - r.left, r.bottom - r.top}, SystemDpi(), dpi_);
}

void MainFormWin::CaptureLayout() {
  const RECT r = DesignWindowRect();
  layout_.Capture(PlacementToTwips({0, 0, r.right - r.left, r.bottom - r.top}, dpi_, dpi_), kDesignLayout);
}

void MainFormWin::RestoreWindowPlacement() {
  // The screen in twips at its own DPI, as the corner is stored.
  const int screenDpi = SystemDpi();
  const TwipsRect r = ::zelvo::RestoreWindowPlacement(
      program_.services().settings, WindowTwips(), PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), screenDpi),
      PixelsToTwips(GetSystemMetrics(SM_CYSCREEN), screenDpi));
  const PixelRect p = PlacementToPixels(r, screenDpi, dpi_);
  SetWindowPos(window_, nullptr, p.left, p.top, p.width, p.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainFormWin::SaveWindowPlacement() {
  ::zelvo::SaveWindowPlacement(program_.services().settings, WindowTwips());
}

void MainFormWin::ApplyLayout() {
  LayoutRects c = kDesignLayout;
  if (layout_.Captured()) {
    const TwipsRect w = WindowTwips();
    const WindowLayout::Result r = layout_.Apply(w.width, w.height);
    if (r.snapWidth || r.snapHeight) {
      // Back to the design size; the resize this causes lays out again.
      SetWindowPos(window_, nullptr, 0, 0, Px(r.snapWidth.value_or(w.width)), Px(r.snapHeight.value_or(w.height)),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      return;
    }
    c = r.controls;
  }
  const TwipsRect& bar = c[kToolbarFrame];
  // The toolbar ends after its last button, so the banner beside it never
  // lies over it, whatever room the buttons take at this scale.
  const PixelRect tools = ToPixels(kDesignToolbar, dpi_, bar.left, bar.top);
  RECT last{};
  SendMessageW(toolbar_, TB_GETITEMRECT, SendMessageW(toolbar_, TB_BUTTONCOUNT, 0, 0) - 1,
               reinterpret_cast<LPARAM>(&last));
  MoveWindow(toolbar_, tools.left, tools.top, last.right > 0 ? std::min<int>(tools.width, last.right) : tools.width,
             tools.height, TRUE);
  Place(listFrame_, c[kListenFrame]);
  Place(list_, c[kEntryList], c[kListenFrame].left, c[kListenFrame].top);
  const TwipsRect& text = c[kTextFrame];
  Place(textFrame_, text);
  Place(editor_.hwnd(), c[kEditor], text.left, text.top);
  Place(panel_, c[kContainer2], text.left, text.top);
  Place(keyRecord_, kKeyRecordRect, text.left, text.top);
  SendMessageW(status_, WM_SIZE, 0, 0);
  RECT client;
  GetClientRect(window_, &client);
  PlaceBanner(bar, client.right);
  const int inch = Px(kTwipsPerInch);
  int parts[3] = {std::max(0, static_cast<int>(client.right) - 2 * inch - 20),
                  std::max(0, static_cast<int>(client.right) - inch - 20), -1};
  SendMessageW(status_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
}

void MainFormWin::PlaceBanner(const TwipsRect& strip, int clientRight) {
  // Right-aligned in the strip, never over a toolbar button; hidden when the
  // room left is too small for more than its icon.
  RECT last{};
  const LRESULT buttons = SendMessageW(toolbar_, TB_BUTTONCOUNT, 0, 0);
  SendMessageW(toolbar_, TB_GETITEMRECT, buttons - 1, reinterpret_cast<LPARAM>(&last));
  const PixelRect bar = ToPixels(kDesignToolbar, dpi_, strip.left, strip.top);
  const int top = bar.top, height = bar.height;
  const int free = bar.left + last.right + Px(120);
  const int right = clientRight - Px(120);
  const int width = std::min(banner_.PreferredWidth(height), right - free);
  ShowWindow(banner_.hwnd(), width > 2 * height ? SW_SHOWNA : SW_HIDE);
  MoveWindow(banner_.hwnd(), right - width, top, std::max(width, 0), height, TRUE);
}

void MainFormWin::UpdateStatusClock() {
  wchar_t time[64] = L"", date[64] = L"";
  GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, time, 64);
  GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 64, nullptr);
  SendMessageW(status_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(time));
  SendMessageW(status_, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(date));
}

// ---- messages -----------------------------------------------------------------

bool MainFormWin::PreTranslate(const MSG& msg) {
  if (msg.hwnd != window_ && !IsChild(window_, msg.hwnd)) return false;
  if (msg.message == WM_KEYDOWN) {
    int item = 0;
    if (msg.wParam == VK_F3) item = menu_item::kWeitersuchen;
    if (msg.wParam == 'F' && GetKeyState(VK_CONTROL) < 0) item = menu_item::kSuchen;
    if (item) {
      const UINT id = MenuId(MenuArray::Bearbeiten, item);
      if (!(GetMenuState(menuBar_, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)))
        form_->OnMenuClick(MenuArray::Bearbeiten, item);
      return true;
    }
  }
  if (!IsWindowVisible(window_) || !IsWindowEnabled(window_)) return false;
  // Only keys need the dialog handling; everything else takes the usual way.
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  return OnDialogKey(msg);
}

bool MainFormWin::OnAccessKey(char32_t key) {
  std::vector<HWND> controls;
  std::vector<std::string> captions;
  for (HWND h : {keyRecord_, destination_[0], destination_[1], sendMethod_[0], sendMethod_[1], sendMethod_[2], crypt_}) {
    if (!IsWindowEnabled(h) || !IsWindowVisible(h)) continue;
    wchar_t text[128] = L"";
    GetWindowTextW(h, text, 128);
    controls.push_back(h);
    captions.push_back(Narrow(text));
  }
  const auto focused = std::find(controls.begin(), controls.end(), GetFocus());
  const int at = focused == controls.end() ? -1 : static_cast<int>(focused - controls.begin());
  if (const auto hit = FindAccessKey(captions, at, key)) {
    SetFocus(controls[hit->index]);
    if (hit->press) SendMessageW(controls[hit->index], BM_CLICK, 0, 0);
    return true;
  }
  // Letters no control has press a toolbar button, or else open a menu.
  const int tag = ToolbarAccessKeyTag(key);
  if (tag < 0 || !SendMessageW(toolbar_, TB_ISBUTTONENABLED, kIdToolBase + tag, 0)) return false;
  form_->OnToolbarClick(tag);
  return true;
}

bool MainFormWin::OnDialogKey(const MSG& msg) {
  if (msg.message == WM_SYSCHAR && GetKeyState(VK_CONTROL) >= 0 && OnAccessKey(UpperLatin(static_cast<char32_t>(msg.wParam))))
    return true;
  HWND focus = GetFocus();
  const bool inCombo = focus == combo_ || IsChild(combo_, focus);
  const bool dropped = inCombo && SendMessageW(combo_, CB_GETDROPPEDSTATE, 0, 0);
  if (msg.message == WM_KEYDOWN && focus != editor_.hwnd() && !dropped &&
      (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
    // A tool window: Esc hides it, Enter on the list opens the entry in
    // the editor, Enter in the title box takes the title and moves on.
    if (msg.wParam == VK_ESCAPE)
      SendMessageW(window_, WM_COMMAND, IDCANCEL, 0);
    else if (focus == list_)
      FocusEditor();
    else if (inCombo)
      SetFocus(GetNextDlgTabItem(window_, combo_, FALSE));
    return true;
  }
  MSG copy = msg;
  return IsDialogMessageW(window_, &copy) != FALSE;
}

bool MainFormWin::HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_COMMAND:
      return OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lp);
      if (hdr->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
        for (const ToolbarButtonText& b : kToolbarButtons) {
          if (static_cast<UINT_PTR>(kIdToolBase + b.tag) != hdr->idFrom || b.tooltip.empty()) continue;
          static std::wstring tip;
          tip = Widen(std::string(b.tooltip));
          info->lpszText = tip.data();
        }
        return true;
      }
      return false;
    }
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED && toolbar_) ApplyLayout();
      return false;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      return true;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
      if (IsColourChange(msg, wp)) OnColoursChanged();
      return false;
    case WM_GETMINMAXINFO:
      if (layout_.Captured()) {
        // Dragging stops at the design size (a smaller size would snap back).
        const WindowLayout::Result design = layout_.Apply(0, 0);
        auto* info = reinterpret_cast<MINMAXINFO*>(lp);
        info->ptMinTrackSize = {Px(*design.snapWidth), Px(*design.snapHeight)};
      }
      return false;
    case WM_TIMER:
      if (wp != kClockTimer) return false;
      UpdateStatusClock();
      return true;
    case WM_SHOWWINDOW:
      if (wp) lastFocus_ = nullptr;  // a window shown anew starts at the list
      if (wp && listPending_ && form_) FillListRows(*form_);
      return false;
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) lastFocus_ = focus;
        return false;
      }
      // Keys need a control with the focus; a hidden window (the snippet
      // menu's owner) takes none, so it never takes the data lock.
      if (!IsWindowVisible(window_)) return false;
      for (HWND h : {lastFocus_, list_}) {
        if (h && IsWindow(h) && IsWindowVisible(h) && IsWindowEnabled(h)) {
          SetFocus(h);
          return true;
        }
      }
      return false;
    case WM_INITMENUPOPUP:
      if (reinterpret_cast<HMENU>(wp) == popups_[static_cast<int>(MenuArray::Bearbeiten)])
        form_->UpdateControlStates();
      return false;
    case WM_CTLCOLORLISTBOX:
      if (reinterpret_cast<HWND>(lp) != list_) return false;
      SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(listEnabled_ ? COLOR_WINDOW : COLOR_BTNFACE));
      result = reinterpret_cast<LRESULT>(listEnabled_ ? windowBrush_ : GetSysColorBrush(COLOR_BTNFACE));
      return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      // The frame "Bearbeitung" lets clicks through to the window.
      POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      RECT frame;
      GetWindowRect(textFrame_, &frame);
      MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&frame), 2);
      if (PtInRect(&frame, pt))
        form_->OnTextFrameMouseDown((wp & MK_SHIFT) != 0, (wp & MK_CONTROL) != 0, GetKeyState(VK_MENU) < 0);
      return false;
    }
  }
  return false;
}

bool MainFormWin::OnCommand(WORD id, WORD code, HWND control) {
  if (id == IDCANCEL && !control) {
    form_->HideWindowReleasingLock();
    return true;
  }
  if (!control && id >= kIdMenuBase && id < kIdMenuBase + 50) {
    form_->OnMenuClick(static_cast<MenuArray>((id - kIdMenuBase) / 10), (id - kIdMenuBase) % 10);
    return true;
  }
  if (control == toolbar_) {
    form_->OnToolbarClick(id - kIdToolBase);
    return true;
  }
  switch (id) {
    case kIdList:
      if (code == LBN_SELCHANGE) form_->OnEntryListClick(static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0)));
      return true;
    case kIdEditor:
      if (code == EN_CHANGE) editor_.Changed();
      if (code == EN_SETFOCUS) form_->OnGotFocus(FocusControl::Editor);
      if (code == EN_KILLFOCUS) form_->OnLostFocus(FocusControl::Editor);
      return true;
    case kIdCombo:
      if (code == CBN_SETFOCUS) form_->OnGotFocus(FocusControl::DestinationTitle);
      if (code == CBN_KILLFOCUS) form_->OnLostFocus(FocusControl::DestinationTitle);
      if (code == CBN_DROPDOWN) form_->OnDestinationTitleDropDown();
      return true;
    case kIdCrypt:
      if (code == BN_SETFOCUS) form_->OnGotFocus(FocusControl::Crypt);
      if (code == BN_KILLFOCUS) form_->OnLostFocus(FocusControl::Crypt);
      if (code == BN_CLICKED) form_->OnCryptClick();
      return true;
  }
  const bool destination = id >= kIdDestination0 && id < kIdDestination0 + 2;
  const bool method = id >= kIdSendMethod0 && id < kIdSendMethod0 + 3;
  if (!destination && !method) return false;
  const FocusControl focus = destination ? FocusControl::DestinationType : FocusControl::SendMethod;
  if (code == BN_SETFOCUS) form_->OnGotFocus(focus);
  if (code == BN_KILLFOCUS) form_->OnLostFocus(focus);
  if (code == BN_CLICKED) {
    if (destination) form_->OnDestinationTypeClick(id - kIdDestination0);
    if (method) form_->OnSendMethodClick(id - kIdSendMethod0);
  }
  return true;
}

// ---- MainFormView ------------------------------------------------------------------

void MainFormWin::SetListRows(const EntryRows& rows) {
  // The list box holds every name once more. The program mostly waits in
  // the tray, so a window nobody sees fills it only once it is shown.
  if (!IsWindowVisible(window_)) {
    listPending_ = true;
    return;
  }
  FillListRows(rows);
}

void MainFormWin::FillListRows(const EntryRows& rows) {
  listPending_ = false;
  // Refilling a list box of many thousand rows costs far more than this
  // compare, and the list is set again before every menu showing.
  // A fingerprint of the names tells them unchanged.
  Fingerprinter fingerprint;
  const std::size_t count = rows.RowCount();
  for (std::size_t i = 0; i < count; ++i) fingerprint.Add(rows.RowAt(i).Name);
  if (fingerprint.Value() == listRows_ && SendMessageW(list_, LB_GETCOUNT, 0, 0) == static_cast<LRESULT>(count))
    return;
  listRows_ = fingerprint.Value();
  FillList(list_, count, [&](std::size_t i) -> const std::string& { return rows.RowAt(i).Name; });
  UpdateListExtent();
  SendMessageW(list_, LB_SETCURSEL, listSelection_, 0);
}

void MainFormWin::UpdateListExtent() {
  // A name longer than the list is wide can be scrolled to instead of being
  // cut off; the scroll bar shows only when some name needs it.
  const int widest = WidestListRow(list_, font_.Get());
  SendMessageW(list_, LB_SETHORIZONTALEXTENT, widest ? widest + ScaleToDpi(4, dpi_) : 0, 0);
}

void MainFormWin::SelectListRow(int row) {
  listSelection_ = row;
  SendMessageW(list_, LB_SETCURSEL, row, 0);
}

void MainFormWin::ShowEditMenuAt(int x, int y) {
  TrackPopupMenu(popups_[static_cast<int>(MenuArray::Bearbeiten)], TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y,
                 0, window_, nullptr);
}

void MainFormWin::SetDestinationTitles(const std::vector<std::string>& titles) {
  const std::string text = DestinationTitle();
  SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
  for (const std::string& t : titles)
    SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(t).c_str()));
  SetDestinationTitle(text);
}

std::string MainFormWin::DestinationTitle() {
  const int n = GetWindowTextLengthW(combo_);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(combo_, text.data(), n + 1);
  text.resize(static_cast<size_t>(n));
  return Narrow(text);
}

void MainFormWin::SetDestinationTitle(const std::string& title) {
  SetWindowTextW(combo_, Widen(title).c_str());
}

void MainFormWin::SetDestinationType(int index) {
  CheckRadioButton(panel_, kIdDestination0, kIdDestination0 + 1, kIdDestination0 + (index == 1 ? 1 : 0));
}

void MainFormWin::SetSendMethod(int index) {
  CheckRadioButton(panel_, kIdSendMethod0, kIdSendMethod0 + 2,
                   kIdSendMethod0 + ((index >= 0 && index <= 2) ? index : 0));
}

bool MainFormWin::CryptChecked() { return SendMessageW(crypt_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void MainFormWin::SetCryptChecked(bool checked) {
  SendMessageW(crypt_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainFormWin::ApplyControlStates(const ControlStates& s) {
  using namespace menu_item;
  auto menu = [&](MenuArray a, int item, bool on) {
    EnableMenuItem(menuBar_, MenuId(a, item), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  };
  menu(MenuArray::Bearbeiten, kAusschneiden, s.editCut);
  menu(MenuArray::Bearbeiten, kKopieren, s.editCopy);
  menu(MenuArray::Bearbeiten, kEinfuegen, s.editPaste);
  menu(MenuArray::Bearbeiten, kLoeschen, s.editDelete);
  menu(MenuArray::Bearbeiten, kSuchen, s.editFind);
  menu(MenuArray::Bearbeiten, kWeitersuchen, s.editFindNext);
  menu(MenuArray::Texte, kUmbenennen, s.renameDelete);
  menu(MenuArray::Texte, kTextLoeschen, s.renameDelete);
  SendMessageW(toolbar_, TB_ENABLEBUTTON, kIdToolBase + kTagRename, s.renameDelete);
  SendMessageW(toolbar_, TB_ENABLEBUTTON, kIdToolBase + kTagDelete, s.renameDelete);
  EnableWindow(targetLabel_, s.destinationOptions);
  for (HWND h : destination_) EnableWindow(h, s.destinationOptions);
  listEnabled_ = s.entryList;
  EnableWindow(list_, s.entryList);
  InvalidateRect(list_, nullptr, TRUE);
  EnableWindow(editor_.hwnd(), s.editor);
  editor_.SetBackground(GetSysColor(s.editor ? COLOR_WINDOW : COLOR_BTNFACE));
  EnableWindow(crypt_, s.editor);
  for (HWND h : sendMethod_) EnableWindow(h, s.editor);
  EnableWindow(combo_, s.destinationTitle);
}

}  // namespace zelvo
