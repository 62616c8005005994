#include "fakes/fake_dialogs.h"

namespace zelvo {

MsgResult FakeDialogs::Show(const std::string& title, const Message& message) {
  if (log) log->push_back("message");
  shown.push_back({title, message});
  if (onShow) onShow(message);
  if (message.buttons == MsgButtons::Ok) return MsgResult::Ok;
  if (answers.empty()) return message.defaultButton;
  const MsgResult r = answers.front();
  answers.pop_front();
  return r;
}

std::optional<std::string> FakeDialogs::InputBox(const std::string& title, const std::string& prompt,
                                                 const std::string& initial) {
  inputPrompts.push_back(prompt);
  if (inputs.empty()) return std::nullopt;
  auto r = inputs.front();
  inputs.pop_front();
  return r;
}

std::optional<std::string> FakeDialogs::BrowseForFolder(const std::string& prompt) {
  folderPrompts.push_back(prompt);
  if (folders.empty()) return std::nullopt;
  auto r = folders.front();
  folders.pop_front();
  return r;
}

}  // namespace zelvo
