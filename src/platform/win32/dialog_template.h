// Dialog templates assembled in memory (DLGTEMPLATE with its items), so the
// small windows need no resource script.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zelvo {

inline constexpr WORD kButtonClass = 0x0080, kEditClass = 0x0081, kStaticClass = 0x0082,
                      kListBoxClass = 0x0083;

class DialogTemplate {
 public:
  DialogTemplate(const std::wstring& title, short cx, short cy, WORD items,
                 DWORD style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  void Item(WORD classAtom, const std::wstring& text, int id, DWORD style, short x, short y, short cx,
            short cy);
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

 private:
  void Put(const void* p, size_t n);
  void Word(WORD w) { Put(&w, sizeof w); }
  void String(const std::wstring& s) { Put(s.c_str(), (s.size() + 1) * sizeof(wchar_t)); }
  void Align();
  std::vector<unsigned char> bytes_;
};

}  // namespace zelvo
