#include "platform/win32/dialog_template.h"

namespace zelvo {

DialogTemplate::DialogTemplate(const std::wstring& title, short cx, short cy, WORD items, DWORD style) {
  bytes_.reserve(512);  // a whole small dialog without reallocating
  DLGTEMPLATE t{};
  t.style = style | DS_SETFONT;
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

void DialogTemplate::Item(WORD classAtom, const std::wstring& text, int id, DWORD style, short x, short y,
                          short cx, short cy) {
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

void DialogTemplate::Put(const void* p, size_t n) {
  const auto* b = static_cast<const unsigned char*>(p);
  bytes_.insert(bytes_.end(), b, b + n);
}

void DialogTemplate::Align() {
  while (bytes_.size() % 4) bytes_.push_back(0);
}

}  // namespace zelvo
