// The system clipboard as plain Unicode text.
#pragma once

#include <optional>
#include <string>

namespace zelvo {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Replaces the clipboard's content by `text`. A secret text is marked so
  // that clipboard history, cloud clipboard and clipboard monitors skip it.
  // False when the clipboard could not be written.
  virtual bool SetText(const std::string& text, bool secret) = 0;
  // The clipboard's text, or nothing when it holds no text.
  virtual std::optional<std::string> Text() = 0;
  // After SetText with a secret: true once another program has read it.
  virtual bool SecretTaken() = 0;
  // True while the clipboard still holds what our last SetText put there.
  virtual bool HoldsOurText() = 0;
  virtual bool Clear() = 0;
};

}  // namespace zelvo
