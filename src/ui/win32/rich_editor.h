// The snippet editor control: a msftedit rich-text box that shows a text
// in one go, answers in characters (code points), not UTF-16 units, and
// hands its keys and changes to the SnippetEditor that keeps it consistent.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "mainwindow/editor_rtf.h"
#include "mainwindow/snippet_editor.h"

namespace zelvo {

class RichEditor : public EditorSurface {
 public:
  // Loads msftedit.dll and creates the control ("RICHEDIT50W").
  HWND Create(HWND parent, int id, HINSTANCE instance);
  HWND hwnd() const { return hwnd_; }
  // The editor that gets the control's keys, characters and clipboard
  // commands; the parent passes EN_CHANGE on through Changed().
  void Attach(SnippetEditor* editor) { editor_ = editor; }
  void Changed() {
    if (editor_) editor_->OnChange();
  }
  // Right mouse button, at screen coordinates.
  std::function<void(KeyModifiers, int x, int y)> onRightButton;

  // EditorSurface
  std::u32string Picture() override;
  int SelStart() override;
  int SelLength() override;
  void SetSelection(int start, int length) override;
  // Replaces the whole content in one RTF stream with redrawing off; the
  // caret stays where it was (within the new text).
  void Render(const std::vector<EditorRun>& runs) override;
  void Replace(int start, int length, const std::vector<EditorRun>& runs) override;
  void SetInsertFormat(EditorFormat format) override;
  std::string ClipboardText() override;
  void SetClipboardText(const std::string& text) override;

  void SetBackground(COLORREF colour);
  // The symbols' and text's colours: the theme's when high contrast is on.
  // Takes effect at the next Render.
  void SetColours(bool highContrast);
  // Text at the window's DPI where it differs from the one the control
  // measures its points with (the system DPI). Takes effect at the next Render.
  void SetScale(int windowDpi, int systemDpi);

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  LRESULT OnKey(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  // The content with one UTF-16 unit per element (a paragraph end is "\r").
  std::wstring Text16() const;
  void GetSel16(LONG& start, LONG& end) const;
  void SetSel16(LONG start, LONG end);
  void StreamRtf(const std::string& rtf, bool selectionOnly);

  HWND hwnd_ = nullptr;
  EditorLook look_;
  SnippetEditor* editor_ = nullptr;
};

}  // namespace zelvo
