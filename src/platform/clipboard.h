// The system clipboard as plain Unicode text.
#pragma once

#include <string>

namespace zelvo {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Replaces the clipboard's content by `text`. A secret text is marked so
  // that clipboard history, cloud clipboard and clipboard monitors skip it.
  // False when the clipboard could not be written.
  virtual bool SetText(const std::string& text, bool secret) = 0;
};

}  // namespace zelvo
