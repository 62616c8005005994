// Dialogs that record every message and answer from a script.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace zelvo {

class FakeDialogs : public Dialogs {
 public:
  struct Shown {
    std::string title;
    Message message;
  };
  std::vector<Shown> shown;
  std::vector<std::string> inputPrompts, folderPrompts;
  std::vector<std::string>* log = nullptr;  // shared event log: "message" per Show
  std::function<void(const Message&)> onShow;  // runs while a message is shown

  // Answers to Yes/No questions in order; when none is left, the default button.
  std::deque<MsgResult> answers;
  std::deque<std::optional<std::string>> inputs;   // nothing left: Cancel
  std::deque<std::optional<std::string>> folders;  // nothing left: Cancel

  MsgResult Show(const std::string& title, const Message& message) override;
  std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                      const std::string& initial) override;
  std::optional<std::string> BrowseForFolder(const std::string& prompt) override;

  // Text of the last message, or "" when none was shown.
  std::string LastText() const { return shown.empty() ? "" : shown.back().message.text; }
};

}  // namespace zelvo
