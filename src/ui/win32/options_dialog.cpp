#include "ui/win32/options_dialog.h"

#include <commdlg.h>

#include "platform/win32/display.h"
#include "platform/win32/wide.h"
#include "ui/win32/accessible.h"
#include "ui/win32/border_strip.h"
#include "ui/win32/options_dialog_ids.h"

namespace zelvo {
namespace {

bool IsColourControl(int id) {
  return id == IDC_COLSAMPLE || (id >= IDC_POS0 && id <= IDC_POS3);
}

}  // namespace

OptionsDialog::OptionsDialog(HINSTANCE instance, HWND mainWindow, OptionsForm& form)
    : instance_(instance), mainWindow_(mainWindow), form_(form) {}

OptionsDialog::~OptionsDialog() {
  form_.AttachView(nullptr);
  if (hwnd_) DestroyWindow(hwnd_);
  if (brush_) DeleteObject(brush_);
}

void OptionsDialog::Create(const std::string& caption) {
  if (hwnd_) return;
  CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_OPTIONS), mainWindow_, &OptionsDialog::DialogProc,
                     reinterpret_cast<LPARAM>(this));
  if (!hwnd_) return;
  SetWindowTextW(hwnd_, Widen(caption).c_str());
  // The program's own icon in the title bar, not the system's default.
  const auto icon = [this](int which) {
    return static_cast<LPARAM>(GetClassLongPtrW(mainWindow_, which));
  };
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, icon(GCLP_HICON));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, icon(GCLP_HICONSM));
  form_.AttachView(this);
}

void OptionsDialog::Show() {
  if (!hwnd_) return;
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

bool OptionsDialog::IsVisible() const { return hwnd_ && IsWindowVisible(hwnd_); }

void OptionsDialog::Hide() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

HBRUSH OptionsDialog::ColourBrush(int32_t colour) {
  if (!brush_ || brushColour_ != colour) {
    if (brush_) DeleteObject(brush_);
    brush_ = CreateSolidBrush(ResolveColour(colour));
    brushColour_ = colour;
  }
  return brush_;
}

void OptionsDialog::Refresh(const OptionsState& s) {
  if (!hwnd_) return;
  HWND list = GetDlgItem(hwnd_, IDC_HK_LIST);
  if (SendMessageW(list, CB_GETCOUNT, 0, 0) == 0) {
    for (const std::string& key : s.keyList)
      SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(key).c_str()));
  }
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(s.keyIndex), 0);
  CheckDlgButton(hwnd_, IDC_HK_SHIFT, s.shift ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(hwnd_, IDC_HK_ALT, s.alt ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(hwnd_, IDC_HK_STRG, s.strg ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemTextW(hwnd_, IDC_PATH, Widen(s.path).c_str());
  SetDlgItemTextW(hwnd_, IDC_DEFAULT_PATH, Widen("Standard: " + s.defaultPath).c_str());

  CheckRadioButton(hwnd_, IDC_PUMACT0, IDC_PUMACT1, IDC_PUMACT0 + (s.viaBorder != 0 ? 1 : 0));
  CheckRadioButton(hwnd_, IDC_BYCLICK0, IDC_BYCLICK1, IDC_BYCLICK0 + (s.byClick != 0 ? 1 : 0));
  CheckRadioButton(hwnd_, IDC_POS0, IDC_POS3, IDC_POS0 + (s.pos >= 0 && s.pos <= 3 ? s.pos : 0));
  const int show = s.border.positionsVisible ? SW_SHOW : SW_HIDE;
  for (int id : {IDC_POS0, IDC_POS1, IDC_POS2, IDC_POS3, IDC_BTN4, IDC_COLSAMPLE})
    ShowWindow(GetDlgItem(hwnd_, id), show);
  ShowWindow(GetDlgItem(hwnd_, IDC_REDCIRCLE), s.border.redCircleVisible ? SW_SHOW : SW_HIDE);
  EnableWindow(GetDlgItem(hwnd_, IDC_BYCLICK0), s.border.triggerEnabled);
  EnableWindow(GetDlgItem(hwnd_, IDC_BYCLICK1), s.border.triggerEnabled);

  CheckDlgButton(hwnd_, IDC_PUMMODE,
                 s.menuMode == 0 ? BST_UNCHECKED
                                 : (s.menuMode == 2 ? BST_INDETERMINATE : BST_CHECKED));
  CheckDlgButton(hwnd_, IDC_AUTOSTART, s.autoStart ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(hwnd_, IDC_SEARCHWINDOW, s.searchWindow ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(hwnd_, IDC_CHANGEBALLOON, s.changeBalloon ? BST_CHECKED : BST_UNCHECKED);

  if (s.colour != brushColour_ || !brush_) {
    ColourBrush(s.colour);
    for (int id : {IDC_POS0, IDC_POS1, IDC_POS2, IDC_POS3, IDC_COLSAMPLE})
      InvalidateRect(GetDlgItem(hwnd_, id), nullptr, TRUE);
  }
}

std::optional<int32_t> OptionsDialog::ChooseColour(int32_t current) {
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = hwnd_;
  cc.rgbResult = ResolveColour(current);
  cc.lpCustColors = customColours_;
  cc.Flags = CC_RGBINIT;
  if (!ChooseColorW(&cc)) return std::nullopt;  // cancel and errors alike
  return static_cast<int32_t>(cc.rgbResult & 0x00FFFFFF);
}

void OptionsDialog::PlaceNearMainWindow() { MoveNearMainWindow(hwnd_, mainWindow_); }

void OptionsDialog::NameControls() {
  // Controls without a caption of their own.
  SetAccessibleName(GetDlgItem(hwnd_, IDC_HK_LIST), L"Funktionstaste");
  SetAccessibleName(GetDlgItem(hwnd_, IDC_PATH), L"Ablage der Textbausteine");
  const wchar_t* edges[] = {L"Position oben", L"Position unten", L"Position links", L"Position rechts"};
  for (int i = 0; i < 4; ++i) SetAccessibleName(GetDlgItem(hwnd_, IDC_POS0 + i), edges[i]);
  SetAccessibleName(GetDlgItem(hwnd_, IDC_COLSAMPLE), L"Farbe des Bildschirmrands");
  SetAccessibleName(GetDlgItem(hwnd_, IDC_PICTURE), L"Bildschirm");
  // An owner-drawn picture draws no text: its window text is its name.
  SetDlgItemTextW(hwnd_, IDC_REDCIRCLE, L"Kein Bildschirmrand");
}

INT_PTR CALLBACK OptionsDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<OptionsDialog*>(lp);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, DWLP_USER, lp);
  }
  auto* self = reinterpret_cast<OptionsDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  return self ? self->OnMessage(msg, wp, lp) : FALSE;
}

INT_PTR OptionsDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      scaler_.Attach(hwnd_);
      NameControls();
      return TRUE;
    case WM_DPICHANGED:
      scaler_.OnDpiChanged(wp, lp);
      return TRUE;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
      if (IsColourChange(msg, wp)) InvalidateRect(hwnd_, nullptr, TRUE);
      return FALSE;
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return TRUE;
    case WM_CLOSE:
      form_.OnClose();
      return TRUE;
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE) PlaceNearMainWindow();
      return FALSE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lp));
      // In high contrast only the sample shows the chosen colour.
      if (!IsColourControl(id) || (id != IDC_COLSAMPLE && HighContrast())) return FALSE;
      SetBkColor(reinterpret_cast<HDC>(wp), ResolveColour(form_.State().colour));
      return reinterpret_cast<INT_PTR>(ColourBrush(form_.State().colour));
    }
    case WM_DRAWITEM: {
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (di->CtlID != IDC_REDCIRCLE) return FALSE;
      HBRUSH red = CreateSolidBrush(HighContrast() ? GetSysColor(COLOR_WINDOWTEXT) : RGB(255, 0, 0));
      HGDIOBJ oldBrush = SelectObject(di->hDC, red);
      HGDIOBJ oldPen = SelectObject(di->hDC, GetStockObject(NULL_PEN));
      FillRect(di->hDC, &di->rcItem, GetSysColorBrush(COLOR_BTNFACE));
      Ellipse(di->hDC, di->rcItem.left, di->rcItem.top, di->rcItem.right, di->rcItem.bottom);
      SelectObject(di->hDC, oldPen);
      SelectObject(di->hDC, oldBrush);
      DeleteObject(red);
      return TRUE;
    }
  }
  return FALSE;
}

void OptionsDialog::OnCommand(int id, int code) {
  auto checked = [this](int control) { return IsDlgButtonChecked(hwnd_, control) == BST_CHECKED; };
  if (id == IDC_HK_LIST) {
    if (code == CBN_SELCHANGE)
      form_.OnHotkeyKey(static_cast<int>(SendDlgItemMessageW(hwnd_, IDC_HK_LIST, CB_GETCURSEL, 0, 0)));
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_HK_SHIFT: form_.OnHotkeyShift(checked(id)); break;
    case IDC_HK_ALT: form_.OnHotkeyAlt(checked(id)); break;
    case IDC_HK_STRG: form_.OnHotkeyStrg(checked(id)); break;
    case IDC_PUMACT0:
    case IDC_PUMACT1: form_.OnPumActOpt(id - IDC_PUMACT0); break;
    case IDC_BYCLICK0:
    case IDC_BYCLICK1: form_.OnPumActBorderByClickOpt(id - IDC_BYCLICK0); break;
    case IDC_POS0:
    case IDC_POS1:
    case IDC_POS2:
    case IDC_POS3: form_.OnPumActPosOpt(id - IDC_POS0); break;
    // A user's click only ticks or clears; greyed comes from the file alone.
    case IDC_PUMMODE: form_.OnPumModeChk(form_.State().menuMode == 1 ? 0 : 1); break;
    case IDC_AUTOSTART: form_.OnAutoStartChk(checked(id)); break;
    case IDC_SEARCHWINDOW: form_.OnSearchWindowChk(checked(id)); break;
    case IDC_CHANGEBALLOON: form_.OnChangeBalloonChk(checked(id)); break;
    case IDCANCEL: form_.OnClose(); break;
    case IDOK: form_.OnBtn(kBtnOk); break;
    default:
      if (id >= IDC_BTN0 && id <= IDC_BTN6) form_.OnBtn(id - IDC_BTN0);
      return;
  }
  Refresh(form_.State());
}

}  // namespace zelvo
