// The snippet editor control: a msftedit rich-text box that shows a text
// in one go and answers in characters (code points), not UTF-16 units.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "mainwindow/editor_rtf.h"
#include "mainwindow/editor_text.h"

namespace zelvo {

class RichEditor {
 public:
  // Loads msftedit.dll and creates the control ("RICHEDIT50W").
  HWND Create(HWND parent, int id, HINSTANCE instance);
  HWND hwnd() const { return hwnd_; }

  // Replaces the whole content in one RTF stream with redrawing off; the
  // caret stays where it was (within the new text).
  void Render(const std::vector<EditorRun>& runs);
  // Inserts a piece at the selection in its format.
  void Insert(const EditorRun& run);
  void SetInsertFormat(EditorFormat format);

  // The content with one character per position (a paragraph end is "\r").
  std::wstring Text16() const;
  std::string PlainText() const;
  // Editor form: CR LF after each symbol, any other line break a line feed.
  std::string EditorText() const;
  std::string SelectedText() const;  // with CR LF line breaks

  int SelStart() const;  // in characters
  int SelLength() const;
  void SetSelection(int start, int length);
  std::string CharBeforeCaret() const;
  void MoveCaretPastLineBreak();
  void SetBackground(COLORREF colour);
  // The symbols' and text's colours: the theme's when high contrast is on.
  // Takes effect at the next Render.
  void SetColours(bool highContrast);
  // Text at the window's DPI where it differs from the one the control
  // measures its points with (the system DPI). Takes effect at the next Render.
  void SetScale(int windowDpi, int systemDpi);

 private:
  void GetSel16(LONG& start, LONG& end) const;
  void SetSel16(LONG start, LONG end);
  int CharsBefore(const std::wstring& text, LONG unit) const;
  LONG UnitOf(const std::wstring& text, int chars) const;
  void StreamRtf(const std::string& rtf, bool selectionOnly);

  HWND hwnd_ = nullptr;
  EditorLook look_;
};

// Symbol-font characters may come back in the private range U+F020..F0FF.
wchar_t FromSymbolRange(wchar_t c);

}  // namespace zelvo
