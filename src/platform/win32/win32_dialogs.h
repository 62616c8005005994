// Message boxes, the input box and the folder chooser on Windows.
#pragma once

#include "platform/dialogs.h"

namespace zelvo {

class Win32Dialogs : public Dialogs {
 public:
  MsgResult Show(const std::string& title, const Message& message) override;
  std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                      const std::string& initial) override;
  std::optional<std::string> BrowseForFolder(const std::string& prompt) override;
};

// Lone CR and lone LF become CR LF, the line break every control shows.
std::wstring CrLfLines(const std::wstring& text);

}  // namespace zelvo
