// Message boxes, input boxes and the folder chooser.
#pragma once

#include <optional>
#include <string>

namespace zelvo {

enum class MsgIcon { None, Information, Exclamation, Warning = Exclamation, Error, Question };
enum class MsgButtons { Ok, YesNo, OkCancel };
enum class MsgResult { Ok, Yes, No, Cancel };

struct Message {
  std::string text;  // may contain CR or CR LF line breaks
  MsgIcon icon = MsgIcon::Information;
  MsgButtons buttons = MsgButtons::Ok;
  MsgResult defaultButton = MsgResult::Ok;  // for YesNo: Yes or No; for OkCancel: Ok or Cancel
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual MsgResult Show(const std::string& title, const Message& message) = 0;
  // Empty optional on Cancel.
  virtual std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                              const std::string& initial) = 0;
  // The chosen file-system folder, or nothing on Cancel.
  virtual std::optional<std::string> BrowseForFolder(const std::string& prompt) = 0;
};

}  // namespace zelvo
