#include "ui/win32/auswahl_view.h"

#include <cstring>

#include "platform/win32/wide.h"

namespace zelvo {

namespace {

enum : int { kIdList = 100, kIdLabel = 101, kIdCancel = 200, kIdOk = 201 };

// A dialog template assembled in memory (DLGTEMPLATE with its items).
class TemplateBuilder {
 public:
  TemplateBuilder(const wchar_t* title, short cx, short cy, WORD items) {
    DLGTEMPLATE t{};
    t.style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    t.cdit = items;
    t.cx = cx;
    t.cy = cy;
    Put(&t, sizeof t);
    Word(0);  // no menu
    Word(0);  // default class
    String(title);
    Word(8);
    String(L"MS Shell Dlg");
  }
  void Item(WORD classAtom, const wchar_t* text, int id, DWORD style, short x, short y, short cx,
            short cy) {
    Align();
    DLGITEMTEMPLATE item{};
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = static_cast<WORD>(id);
    Put(&item, sizeof item);
    Word(0xFFFF);
    Word(classAtom);
    String(text);
    Word(0);  // no creation data
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

 private:
  void Put(const void* p, size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    bytes_.insert(bytes_.end(), b, b + n);
  }
  void Word(WORD w) { Put(&w, sizeof w); }
  void String(const wchar_t* s) { Put(s, (std::wcslen(s) + 1) * sizeof(wchar_t)); }
  void Align() {
    while (bytes_.size() % 4) bytes_.push_back(0);
  }
  std::vector<unsigned char> bytes_;
};

constexpr WORD kButton = 0x0080, kStatic = 0x0082, kListBox = 0x0083;

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
  TemplateBuilder t(L"Auswahl", 220, 132, 4);
  t.Item(kListBox, L"", kIdList, LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 7, 206, 72);
  t.Item(kStatic, Widen(kAuswahlLabel).c_str(), kIdLabel, SS_LEFT, 7, 82, 206, 24);
  t.Item(kButton, Widen(kAuswahlCancel).c_str(), kIdCancel, BS_PUSHBUTTON | WS_TABSTOP, 7, 111,
         60, 14);
  t.Item(kButton, Widen(kAuswahlOk).c_str(), kIdOk, BS_PUSHBUTTON | WS_TABSTOP, 153, 111, 60, 14);
  DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), owner_, DialogProc,
                          reinterpret_cast<LPARAM>(this));
  dialog_ = nullptr;
}

void Win32AuswahlView::Close() {
  if (dialog_) EndDialog(dialog_, 0);
}

void Win32AuswahlView::OnInitDialog(HWND dialog) {
  dialog_ = dialog;
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
    default: return FALSE;
  }
}

}  // namespace zelvo
