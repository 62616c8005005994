#include "platform/win32/win32_dialogs.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "platform/win32/wide.h"

namespace zelvo {
namespace {

UINT IconFlag(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information: return MB_ICONINFORMATION;
    case MsgIcon::Exclamation: return MB_ICONEXCLAMATION;
    case MsgIcon::Error: return MB_ICONERROR;
    case MsgIcon::Question: return MB_ICONQUESTION;
    case MsgIcon::None: break;
  }
  return 0;
}

// ---- The input box: a dialog template built in memory ----

constexpr WORD kIdPrompt = 100;
constexpr WORD kIdEdit = 101;

// Appends the pieces of a DLGTEMPLATE and its items, keeping the DWORD
// alignment each item needs.
class TemplateBuilder {
 public:
  void Dialog(DWORD style, short cx, short cy, WORD items) {
    Dword(style);
    Dword(0);  // extended style
    words_.push_back(items);
    Rect(0, 0, cx, cy);
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    words_.push_back(0);  // caption, set at WM_INITDIALOG
    words_.push_back(8);  // DS_SETFONT point size
    String(L"MS Shell Dlg");
  }
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom,
            const wchar_t* text) {
    if (words_.size() % 2) words_.push_back(0);
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    Rect(x, y, cx, cy);
    words_.push_back(id);
    words_.push_back(0xFFFF);
    words_.push_back(classAtom);
    String(text);
    words_.push_back(0);  // no creation data
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Dword(DWORD v) {
    words_.push_back(LOWORD(v));
    words_.push_back(HIWORD(v));
  }
  void Rect(short x, short y, short cx, short cy) {
    for (short v : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(v));
  }
  void String(const wchar_t* s) {
    while (*s) words_.push_back(static_cast<WORD>(*s++));
    words_.push_back(0);
  }
  // WORD storage from operator new is DWORD-aligned, as the template must be.
  std::vector<WORD> words_;
};

constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;

struct InputBoxState {
  std::wstring title, prompt, text;
};

INT_PTR CALLBACK InputBoxProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      auto* state = reinterpret_cast<InputBoxState*>(lp);
      SetWindowLongPtrW(dlg, DWLP_USER, lp);
      SetWindowTextW(dlg, state->title.c_str());
      SetDlgItemTextW(dlg, kIdPrompt, state->prompt.c_str());
      HWND edit = GetDlgItem(dlg, kIdEdit);
      SetWindowTextW(edit, state->text.c_str());
      SendMessageW(edit, EM_SETSEL, 0, -1);
      SetFocus(edit);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK) {
        auto* state = reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(dlg, DWLP_USER));
        HWND edit = GetDlgItem(dlg, kIdEdit);
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
        state->text = text;
        EndDialog(dlg, IDOK);
        return TRUE;
      }
      if (LOWORD(wp) == IDCANCEL) {
        EndDialog(dlg, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

// Initialises COM for the folder chooser on this thread, as long as it lives.
struct ComScope {
  HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ~ComScope() {
    if (SUCCEEDED(hr)) CoUninitialize();
  }
};

}  // namespace

std::wstring CrLfLines(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    wchar_t c = text[i];
    if (c == L'\r' || c == L'\n') {
      out += L"\r\n";
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

MsgResult Win32Dialogs::Show(const std::string& title, const Message& message) {
  UINT flags = IconFlag(message.icon) | MB_SETFOREGROUND;
  if (message.buttons == MsgButtons::OkCancel) {
    flags |= MB_OKCANCEL;
    if (message.defaultButton == MsgResult::Cancel) flags |= MB_DEFBUTTON2;
  }
  if (message.buttons == MsgButtons::YesNo) {
    flags |= MB_YESNO;
    if (message.defaultButton == MsgResult::No) flags |= MB_DEFBUTTON2;
  }
  int answer = MessageBoxW(GetActiveWindow(), CrLfLines(Widen(message.text)).c_str(),
                           Widen(title).c_str(), flags);
  switch (answer) {
    case IDYES: return MsgResult::Yes;
    case IDNO: return MsgResult::No;
    case IDCANCEL: return MsgResult::Cancel;
    default: return MsgResult::Ok;
  }
}

std::optional<std::string> Win32Dialogs::InputBox(const std::string& title,
                                                   const std::string& prompt,
                                                   const std::string& initial) {
  // Laid out like the classic input box: the prompt beside the buttons, the
  // field across the bottom.
  TemplateBuilder t;
  t.Dialog(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU, 250, 86, 4);
  t.Item(SS_LEFT, 7, 7, 180, 48, kIdPrompt, kStatic, L"");
  t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 193, 7, 50, 14, IDOK, kButton, L"OK");
  t.Item(BS_PUSHBUTTON | WS_TABSTOP, 193, 25, 50, 14, IDCANCEL, kButton, L"Abbrechen");
  t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 63, 236, 14, kIdEdit, kEdit, L"");

  InputBoxState state{Widen(title), CrLfLines(Widen(prompt)), Widen(initial)};
  INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), GetActiveWindow(),
                                           InputBoxProc, reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return std::nullopt;
  return Narrow(state.text);
}

std::optional<std::string> Win32Dialogs::BrowseForFolder(const std::string& prompt) {
  ComScope com;
  const std::wstring title = Widen(prompt);
  BROWSEINFOW info{};
  info.hwndOwner = GetActiveWindow();
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (!chosen) return std::nullopt;
  wchar_t path[MAX_PATH] = L"";
  BOOL ok = SHGetPathFromIDListW(chosen, path);
  CoTaskMemFree(chosen);
  if (!ok || path[0] == L'\0') return std::nullopt;
  return Narrow(std::wstring(path));
}

}  // namespace zelvo
