#include "ui/win32/auswahl_view.h"

#include "platform/win32/dialog_template.h"
#include "platform/win32/wide.h"
#include "ui/win32/accessible.h"

namespace zelvo {

namespace {

enum : int { kIdList = 100, kIdLabel = 101, kIdCancel = 200, kIdOk = 201 };

}  // namespace

Win32AuswahlView::Win32AuswahlView(AuswahlForm& form, HWND owner) : form_(form), owner_(owner) {}

void Win32AuswahlView::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (dialog_) SetWindowTextW(dialog_, Widen(caption).c_str());
}

void Win32AuswahlView::SetLines(const std::vector<std::string>& lines) { lines_ = lines; }

void Win32AuswahlView::SelectLine(int index) {
  selected_ = index;
  if (dialog_) SendDlgItemMessageW(dialog_, kIdList, LB_SETCURSEL, index, 0);
}

int Win32AuswahlView::SelectedLine() {
  if (!dialog_) return selected_;
  LRESULT sel = SendDlgItemMessageW(dialog_, kIdList, LB_GETCURSEL, 0, 0);
  return sel == LB_ERR ? -1 : static_cast<int>(sel);
}

void Win32AuswahlView::MoveTo(ScreenPoint topLeft) {
  position_ = topLeft;
  if (dialog_)
    SetWindowPos(dialog_, nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void Win32AuswahlView::SetTopmost(bool topmost) {
  topmost_ = topmost;
  if (dialog_)
    SetWindowPos(dialog_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32AuswahlView::ShowModal() {
  DialogTemplate t(L"Auswahl", 220, 137, 4);
  t.Item(kListBoxClass, L"", kIdList, LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 7, 206, 72);
  t.Item(kStaticClass, Widen(kAuswahlLabel), kIdLabel, SS_LEFT, 7, 82, 206, 30);
  t.Item(kButtonClass, Widen(kAuswahlCancel), kIdCancel, BS_PUSHBUTTON | WS_TABSTOP, 7, 116,
         60, 14);
  t.Item(kButtonClass, Widen(kAuswahlOk), kIdOk, BS_PUSHBUTTON | WS_TABSTOP, 153, 116, 60, 14);
  DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), owner_, DialogProc,
                          reinterpret_cast<LPARAM>(this));
  dialog_ = nullptr;
}

void Win32AuswahlView::Close() {
  if (dialog_) EndDialog(dialog_, 0);
}

void Win32AuswahlView::OnInitDialog(HWND dialog) {
  dialog_ = dialog;
  scaler_.Attach(dialog);
  SetAccessibleName(GetDlgItem(dialog, kIdList), L"Zielfenster");
  for (const std::string& line : lines_)
    SendDlgItemMessageW(dialog, kIdList, LB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(Widen(line).c_str()));
  SetCaption(caption_);
  SelectLine(selected_);
  MoveTo(position_);
  SetTopmost(topmost_);
}

void Win32AuswahlView::OnCommand(int id, int code) {
  switch (id) {
    case kIdList:
      if (code == LBN_DBLCLK) form_.OnListDoubleClick();
      break;
    case kIdOk: form_.OnButton(1); break;
    case kIdCancel: form_.OnButton(0); break;
    case IDCANCEL: form_.OnCloseByFrame(); break;  // Escape and the close box
    default: break;
  }
}

INT_PTR CALLBACK Win32AuswahlView::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<Win32AuswahlView*>(lParam)->OnInitDialog(dialog);
    return TRUE;
  }
  auto* view = reinterpret_cast<Win32AuswahlView*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (!view) return FALSE;
  switch (message) {
    case WM_COMMAND: view->OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_CLOSE: view->form_.OnCloseByFrame(); return TRUE;
    case WM_DPICHANGED: view->scaler_.OnDpiChanged(wParam, lParam); return TRUE;
    default: return FALSE;
  }
}

}  // namespace zelvo
