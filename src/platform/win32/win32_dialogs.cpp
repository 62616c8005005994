#include "platform/win32/win32_dialogs.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/win32/dialog_template.h"
#include "platform/win32/display.h"
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

// ---- The input box ----

constexpr WORD kIdPrompt = 100;
constexpr WORD kIdEdit = 101;

struct InputBoxState {
  std::wstring prompt, text;
  DialogScaler scaler;
};

INT_PTR CALLBACK InputBoxProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      auto* state = reinterpret_cast<InputBoxState*>(lp);
      SetWindowLongPtrW(dlg, DWLP_USER, lp);
      state->scaler.Attach(dlg);
      SetDlgItemTextW(dlg, kIdPrompt, state->prompt.c_str());
      HWND edit = GetDlgItem(dlg, kIdEdit);
      SetWindowTextW(edit, state->text.c_str());
      SendMessageW(edit, EM_SETSEL, 0, -1);
      SetFocus(edit);
      return FALSE;  // the focus is set
    }
    case WM_DPICHANGED:
      reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(dlg, DWLP_USER))->scaler.OnDpiChanged(wp, lp);
      return TRUE;
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
  DialogTemplate t(Widen(title), 250, 86, 4,
                   DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  // The field comes right after the prompt, which so names it for a
  // screen reader.
  t.Item(kStaticClass, L"", kIdPrompt, SS_LEFT, 7, 7, 180, 48);
  t.Item(kEditClass, L"", kIdEdit, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 63, 236, 14);
  t.Item(kButtonClass, L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 193, 7, 50, 14);
  t.Item(kButtonClass, L"Abbrechen", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 193, 25, 50, 14);

  InputBoxState state{CrLfLines(Widen(prompt)), Widen(initial), {}};
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
