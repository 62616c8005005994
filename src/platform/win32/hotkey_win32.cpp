#include "platform/win32/hotkey_win32.h"

#include "activation/hotkey.h"
#include "platform/win32/wide.h"

namespace zelvo {

bool Win32HotkeyRegistrar::Install(unsigned virtualKey, unsigned modifiers) {
  Remove();
  id_ = GlobalAddAtomW(Widen(kHotkeyAtomName).c_str());
  if (id_ == 0) return false;
  if (!RegisterHotKey(window_, id_, modifiers, virtualKey)) {
    GlobalDeleteAtom(id_);
    id_ = 0;
    return false;
  }
  return true;
}

void Win32HotkeyRegistrar::Remove() {
  if (id_ == 0) return;
  UnregisterHotKey(window_, id_);
  GlobalDeleteAtom(id_);
  id_ = 0;
}

}  // namespace zelvo
