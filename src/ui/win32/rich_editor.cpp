#include "ui/win32/rich_editor.h"

#include <commctrl.h>
#include <richedit.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "mainwindow/editor_rtf.h"
#include "platform/win32/display.h"
#include "platform/win32/wide.h"

namespace zelvo {
namespace {

struct StreamSource {
  const std::string* data;
  size_t pos;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) {
  auto* s = reinterpret_cast<StreamSource*>(cookie);
  const size_t n = std::min<size_t>(static_cast<size_t>(size), s->data->size() - s->pos);
  memcpy(buffer, s->data->data() + s->pos, n);
  s->pos += n;
  *read = static_cast<LONG>(n);
  return 0;
}

int CharsBefore(const std::wstring& text, LONG unit) {
  int chars = 0;
  for (LONG i = 0; i < unit && i < static_cast<LONG>(text.size()); ++i)
    if (!IS_LOW_SURROGATE(text[i])) ++chars;
  return chars;
}

LONG UnitOf(const std::wstring& text, int chars) {
  LONG i = 0;
  for (int c = 0; c < chars && i < static_cast<LONG>(text.size()); ++c)
    i += IS_HIGH_SURROGATE(text[i]) ? 2 : 1;
  return i;
}

KeyModifiers CurrentModifiers() {
  return {GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0};
}

}  // namespace

HWND RichEditor::Create(HWND parent, int id, HINSTANCE instance) {
  static HMODULE lib = LoadLibraryW(L"msftedit.dll");
  (void)lib;
  hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | WS_CLIPSIBLINGS |
                              ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                          0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          instance, nullptr);
  SendMessageW(hwnd_, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
  SendMessageW(hwnd_, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
  // The editor keeps its own history: the control's would undo a symbol
  // without its break.
  SendMessageW(hwnd_, EM_SETUNDOLIMIT, 0, 0);
  SetWindowSubclass(hwnd_, &RichEditor::Proc, 1, reinterpret_cast<DWORD_PTR>(this));
  SetColours(HighContrast());
  Render({});
  return hwnd_;
}

LRESULT CALLBACK RichEditor::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
  auto* view = reinterpret_cast<RichEditor*>(self);
  SnippetEditor* editor = view->editor_;
  switch (msg) {
    case WM_GETDLGCODE:
      return DefSubclassProc(hwnd, msg, wp, lp) | DLGC_WANTALLKEYS | DLGC_WANTTAB;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (editor) return view->OnKey(hwnd, msg, wp, lp);
      break;
    case WM_CHAR:
      if (editor && editor->OnChar(static_cast<char32_t>(wp))) return 0;
      break;
    case WM_SYSCHAR:
      if (wp == L'\r') return 0;  // Alt+Enter was recorded at key-down
      break;
    case WM_PASTE:
      if (editor) editor->Paste();
      return 0;
    case WM_COPY:
      if (editor) editor->Copy();
      return 0;
    case WM_CUT:
      if (editor) editor->Cut();
      return 0;
    case WM_CLEAR:
      if (editor) editor->DeleteSelection();
      return 0;
    case WM_UNDO:
    case EM_UNDO:
      if (editor) editor->Undo();
      return TRUE;
    case EM_REDO:
      if (editor) editor->Redo();
      return TRUE;
    case EM_CANUNDO:
      return editor && editor->CanUndo();
    case WM_RBUTTONDOWN:
      if (view->onRightButton) {
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(hwnd, &pt);
        view->onRightButton(CurrentModifiers(), pt.x, pt.y);
        return 0;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, &RichEditor::Proc, 1);
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT RichEditor::OnKey(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const EditorKeyAction action = editor_->OnKeyDown(static_cast<int>(wp), CurrentModifiers());
  switch (action) {
    case EditorKeyAction::PassOn:
      return DefSubclassProc(hwnd, msg, wp, lp);
    case EditorKeyAction::Done:
      return 0;
    case EditorKeyAction::NextControl:
    case EditorKeyAction::PreviousControl: {
      const BOOL back = action == EditorKeyAction::PreviousControl;
      if (HWND next = GetNextDlgTabItem(GetAncestor(hwnd, GA_ROOT), hwnd, back)) SetFocus(next);
      return 0;
    }
    case EditorKeyAction::Close:
      SendMessageW(GetAncestor(hwnd, GA_ROOT), WM_COMMAND, IDCANCEL, 0);
      return 0;
  }
  return 0;
}

void RichEditor::StreamRtf(const std::string& rtf, bool selectionOnly) {
  StreamSource source{&rtf, 0};
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  es.pfnCallback = &ReadStream;
  SendMessageW(hwnd_, EM_STREAMIN, SF_RTF | (selectionOnly ? SFF_SELECTION : 0),
               reinterpret_cast<LPARAM>(&es));
}

void RichEditor::Render(const std::vector<EditorRun>& runs) {
  const int caret = SelStart();
  SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
  std::string rtf = EditorRunsToRtf(runs, look_);
  // Replacing the whole content swallows a final paragraph end, which would
  // put the caret behind a trailing symbol instead of on the line after it.
  if (rtf.ends_with("\\par }")) rtf.insert(rtf.size() - 1, "\\par ");
  StreamRtf(rtf, false);
  // An empty editor still types in the text format.
  SetSelection(caret, 0);
  if (runs.empty()) SetInsertFormat(EditorFormat::Text);
  SendMessageW(hwnd_, EM_EMPTYUNDOBUFFER, 0, 0);
  SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void RichEditor::Replace(int start, int length, const std::vector<EditorRun>& runs) {
  const std::wstring text = Text16();
  SetSel16(UnitOf(text, start), UnitOf(text, start + length));
  if (runs.empty())
    SendMessageW(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
  else
    StreamRtf(EditorRunsToRtf(runs, look_), true);
}

void RichEditor::SetColours(bool highContrast) {
  const EditorLook plain;
  look_.text = highContrast ? GetSysColor(COLOR_WINDOWTEXT) : plain.text;
  look_.returnSymbol = highContrast ? GetSysColor(COLOR_HOTLIGHT) : plain.returnSymbol;
  look_.tabSymbol = highContrast ? GetSysColor(COLOR_HOTLIGHT) : plain.tabSymbol;
  look_.lineFeedSymbol = highContrast ? GetSysColor(COLOR_GRAYTEXT) : plain.lineFeedSymbol;
}

void RichEditor::SetScale(int windowDpi, int systemDpi) {
  // Rich edit's own zoom misplaces characters on some systems; a larger font
  // does not.
  look_.halfPoints = MulDiv(EditorLook{}.halfPoints, windowDpi, systemDpi);
}

void RichEditor::SetInsertFormat(EditorFormat format) {
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof(cf);
  cf.dwMask = CFM_FACE | CFM_COLOR | CFM_CHARSET | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE;
  cf.yHeight = look_.halfPoints * 10;  // in twips
  const bool symbol = format != EditorFormat::Text;
  lstrcpynW(cf.szFaceName, symbol ? L"Wingdings" : L"Arial", LF_FACESIZE);
  cf.bCharSet = symbol ? SYMBOL_CHARSET : ANSI_CHARSET;
  cf.crTextColor = format == EditorFormat::ReturnSymbol     ? look_.returnSymbol
                   : format == EditorFormat::TabSymbol      ? look_.tabSymbol
                   : format == EditorFormat::LineFeedSymbol ? look_.lineFeedSymbol
                                                            : look_.text;
  SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
}

std::wstring RichEditor::Text16() const {
  GETTEXTLENGTHEX len{GTL_NUMCHARS | GTL_PRECISE, 1200};
  const LRESULT n = SendMessageW(hwnd_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len), 0);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  GETTEXTEX get{};
  get.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  get.flags = GT_DEFAULT;
  get.codepage = 1200;
  const LRESULT got = SendMessageW(hwnd_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                   reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(got));
  return text;
}

std::u32string RichEditor::Picture() { return ToCodePoints(Narrow(Text16())); }

void RichEditor::GetSel16(LONG& start, LONG& end) const {
  CHARRANGE cr{};
  SendMessageW(hwnd_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr));
  start = cr.cpMin;
  end = cr.cpMax;
}

void RichEditor::SetSel16(LONG start, LONG end) {
  CHARRANGE cr{start, end};
  SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
}

int RichEditor::SelStart() {
  LONG start, end;
  GetSel16(start, end);
  return CharsBefore(Text16(), start);
}

int RichEditor::SelLength() {
  LONG start, end;
  GetSel16(start, end);
  const std::wstring text = Text16();
  return CharsBefore(text, end) - CharsBefore(text, start);
}

void RichEditor::SetSelection(int start, int length) {
  const std::wstring text = Text16();
  SetSel16(UnitOf(text, start), UnitOf(text, start + length));
}

std::string RichEditor::ClipboardText() {
  std::wstring text;
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(hwnd_)) return {};
  if (HANDLE mem = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const wchar_t*>(GlobalLock(mem))) {
      text = p;
      GlobalUnlock(mem);
    }
  }
  CloseClipboard();
  return Narrow(text);
}

void RichEditor::SetClipboardText(const std::string& utf8) {
  const std::wstring text = Widen(utf8);
  if (!OpenClipboard(hwnd_)) return;
  EmptyClipboard();
  if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t))) {
    memcpy(GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(mem);
    if (!SetClipboardData(CF_UNICODETEXT, mem)) GlobalFree(mem);
  }
  CloseClipboard();
}

void RichEditor::SetBackground(COLORREF colour) {
  SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, colour);
}

}  // namespace zelvo
