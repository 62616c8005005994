#include "ui/win32/rich_editor.h"

#include <richedit.h>

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

}  // namespace

wchar_t FromSymbolRange(wchar_t c) { return (c >= 0xF020 && c <= 0xF0FF) ? c - 0xF000 : c; }

HWND RichEditor::Create(HWND parent, int id, HINSTANCE instance) {
  static HMODULE lib = LoadLibraryW(L"msftedit.dll");
  (void)lib;
  hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | WS_CLIPSIBLINGS |
                              ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                          0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          instance, nullptr);
  SendMessageW(hwnd_, EM_SETEVENTMASK, 0, ENM_SELCHANGE);
  SendMessageW(hwnd_, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
  SetColours(HighContrast());
  Render({});
  return hwnd_;
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

void RichEditor::Insert(const EditorRun& run) { StreamRtf(EditorRunsToRtf({run}, look_), true); }

void RichEditor::SetColours(bool highContrast) {
  const EditorLook plain;
  look_.text = highContrast ? GetSysColor(COLOR_WINDOWTEXT) : plain.text;
  look_.returnSymbol = highContrast ? GetSysColor(COLOR_HOTLIGHT) : plain.returnSymbol;
  look_.tabSymbol = highContrast ? GetSysColor(COLOR_HOTLIGHT) : plain.tabSymbol;
}

void RichEditor::SetScale(int windowDpi, int systemDpi) {
  // Rich edit's own zoom misplaces characters on some systems; a larger font
  // does not.
  look_.halfPoints = MulDiv(EditorLook{}.halfPoints, windowDpi, systemDpi);
}

void RichEditor::SetInsertFormat(EditorFormat format) {
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof(cf);
  cf.dwMask = CFM_FACE | CFM_COLOR | CFM_CHARSET | CFM_SIZE;
  cf.yHeight = look_.halfPoints * 10;  // in twips
  const bool symbol = format == EditorFormat::ReturnSymbol || format == EditorFormat::TabSymbol;
  lstrcpynW(cf.szFaceName, symbol ? L"Wingdings" : L"Arial", LF_FACESIZE);
  cf.bCharSet = symbol ? SYMBOL_CHARSET : ANSI_CHARSET;
  cf.crTextColor = format == EditorFormat::ReturnSymbol ? look_.returnSymbol
                   : format == EditorFormat::TabSymbol  ? look_.tabSymbol
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
  for (wchar_t& c : text) c = FromSymbolRange(c);
  return text;
}

std::string RichEditor::PlainText() const { return Narrow(Text16()); }

std::string RichEditor::EditorText() const {
  const std::wstring text = Text16();
  std::wstring out;
  out.reserve(text.size() + 64);
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\r' || c == L'\v' || c == L'\n') {
      const bool display = c == L'\r' && i > 0 && (text[i - 1] == 0xC3 || text[i - 1] == 0xF0);
      out += display ? L"\r\n" : L"\n";
    } else {
      out += c;
    }
  }
  return Narrow(out);
}

std::string RichEditor::SelectedText() const {
  LONG start, end;
  GetSel16(start, end);
  const std::wstring text = Text16().substr(start, end - start);
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L'\r' || c == L'\v')
      out += L"\r\n";
    else
      out += c;
  }
  return Narrow(out);
}

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

int RichEditor::CharsBefore(const std::wstring& text, LONG unit) const {
  int chars = 0;
  for (LONG i = 0; i < unit && i < static_cast<LONG>(text.size()); ++i)
    if (!IS_LOW_SURROGATE(text[i])) ++chars;
  return chars;
}

LONG RichEditor::UnitOf(const std::wstring& text, int chars) const {
  LONG i = 0;
  for (int c = 0; c < chars && i < static_cast<LONG>(text.size()); ++c)
    i += IS_HIGH_SURROGATE(text[i]) ? 2 : 1;
  return i;
}

int RichEditor::SelStart() const {
  LONG start, end;
  GetSel16(start, end);
  return CharsBefore(Text16(), start);
}

int RichEditor::SelLength() const {
  LONG start, end;
  GetSel16(start, end);
  const std::wstring text = Text16();
  return CharsBefore(text, end) - CharsBefore(text, start);
}

void RichEditor::SetSelection(int start, int length) {
  const std::wstring text = Text16();
  SetSel16(UnitOf(text, start), UnitOf(text, start + length));
}

std::string RichEditor::CharBeforeCaret() const {
  LONG start, end;
  GetSel16(start, end);
  if (start <= 0) return "";
  const std::wstring text = Text16();
  if (start > static_cast<LONG>(text.size())) return "";
  LONG from = start - 1;
  if (from > 0 && IS_LOW_SURROGATE(text[from])) --from;
  return Narrow(text.substr(from, start - from));
}

void RichEditor::MoveCaretPastLineBreak() {
  LONG start, end;
  GetSel16(start, end);
  SetSel16(start + 1, start + 1);
}

void RichEditor::SetBackground(COLORREF colour) {
  SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, colour);
}

}  // namespace zelvo
