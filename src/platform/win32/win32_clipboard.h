// Clipboard over user32: CF_UNICODETEXT, plus the formats that keep a secret
// text out of clipboard history, cloud clipboard and clipboard monitors.
#pragma once

#include <string>

#include "platform/clipboard.h"

namespace zelvo {

class Win32Clipboard : public Clipboard {
 public:
  Win32Clipboard() = default;
  ~Win32Clipboard() override;
  Win32Clipboard(const Win32Clipboard&) = delete;
  Win32Clipboard& operator=(const Win32Clipboard&) = delete;

  // A secret is offered by delayed rendering: the system asks us for the
  // text when a program reads it, which is how we know it has been taken.
  bool SetText(const std::string& text, bool secret) override;
  std::optional<std::string> Text() override;
  // Handles the system's requests for the text waiting for this thread.
  bool SecretTaken() override;
  bool HoldsOurText() override;
  bool Clear() override;

  // The owner window's clipboard messages.
  void OnOwnerMessage(unsigned message);

 private:
  void* Owner();
  void ForgetSecret();

  void* owner_ = nullptr;  // a message-only window that owns what we put there
  std::wstring secret_;    // offered, not yet handed over
  bool taken_ = false;
};

}  // namespace zelvo
