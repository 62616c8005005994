// Clipboard over user32: CF_UNICODETEXT, plus the formats that keep a secret
// text out of clipboard history, cloud clipboard and clipboard monitors.
#pragma once

#include "platform/clipboard.h"

namespace zelvo {

class Win32Clipboard : public Clipboard {
 public:
  Win32Clipboard() = default;
  ~Win32Clipboard() override;
  Win32Clipboard(const Win32Clipboard&) = delete;
  Win32Clipboard& operator=(const Win32Clipboard&) = delete;

  bool SetText(const std::string& text, bool secret) override;

 private:
  void* owner_ = nullptr;  // a message-only window that owns what we put there
};

}  // namespace zelvo
