// Creating, renaming and deleting entries from the main window, each under
// the data lock.
#include <algorithm>

#include "mainwindow/main_form.h"
#include "store/text_codes.h"

namespace zelvo {

std::optional<std::string> MainForm::AskName(const std::string& title, const std::string& prompt,
                                             const std::string& initial, int skipRow) {
  for (;;) {
    const std::optional<std::string> answer = services().dialogs.InputBox(title, prompt, initial);
    if (!answer) return std::nullopt;
    const std::string name = Trim(*answer);
    if (name.empty()) return std::nullopt;
    const std::string upper = ToUpperLocale(name);
    bool clash = false;
    for (int row = 0; row < static_cast<int>(rows_.size()) && !clash; ++row)
      clash = row != skipRow && ToUpperLocale(rows_[row].Name) == upper;
    if (!clash) return name;
    const MsgResult keep = services().Show(
        {"Es gibt bereits einen Eintrag mit dem Namen \r'" + name +
             "'.\r\rM\xC3\xB6" "chten Sie ihn dennoch verwenden?",
         MsgIcon::Question, MsgButtons::YesNo, MsgResult::No});
    if (keep == MsgResult::Yes) return name;
  }
}

void MainForm::NewEntry() {
  if (AcquireLock()) return;
  const std::optional<std::string> name =
      AskName(std::string(kProductTitle) + " - Neuen Eintrag erstellen",
              "Bitte geben Sie einen Namen f\xC3\xBCr den neuen Eintrag an:", "", -1);
  if (!name) {
    ReleaseLock();
    return;
  }
  // The list as other PCs left the file; our lock keeps them out meanwhile.
  program_.ReloadAll();
  const int number = static_cast<int>(rows_.size()) + 1;
  SnippetEntry entry;
  entry.Number = number;
  entry.Name = *name;
  entry.Crypt = true;  // the empty text, enciphered
  if (!program_.store().WriteEntry(number, entry)) {
    ReleaseLock();
    return;
  }
  const int row = InsertRow({*name, number});
  ReleaseLock();
  SelectRow(row);
  currEntryListIndex_ = row;
  ShowCurrentEntry();
  view_.FocusEditor();
}

void MainForm::RenameEntry() {
  if (selectedRow_ < 0 || selectedRow_ >= static_cast<int>(rows_.size())) return;
  if (AcquireLock()) return;
  const int row = selectedRow_;
  const EntryListItem old = rows_[row];
  const std::optional<std::string> name =
      AskName(std::string(kProductTitle) + " - Eintrag umbenennen",
              "Bitte geben Sie einen neuen Namen f\xC3\xBCr den Eintrag ''" + old.Name + "'' an:",
              old.Name, row);
  // The list changes only when the file took the new name.
  if (name && program_.dataFile().WriteIni(kFieldName, std::to_string(old.Number), *name)) {
    rows_.erase(rows_.begin() + row);
    const int newRow = InsertRow({*name, old.Number});
    SelectRow(newRow);
    currEntryListIndex_ = newRow;
    ShowCurrentEntry();
  }
  ReleaseLock();
}

void MainForm::DeleteEntry() {
  if (selectedRow_ < 0 || selectedRow_ >= static_cast<int>(rows_.size())) return;
  if (AcquireLock()) return;
  const int row = selectedRow_;
  const int hole = rows_[row].Number;
  const MsgResult answer = services().Show(
      {"Wollen Sie den Eintrag '" + rows_[row].Name + "'\rwirklich l\xC3\xB6schen?", MsgIcon::Question,
       MsgButtons::YesNo, MsgResult::Yes});
  if (answer != MsgResult::Yes) {
    ReleaseLock();
    return;
  }
  const auto highestRow = std::max_element(
      rows_.begin(), rows_.end(),
      [](const EntryListItem& a, const EntryListItem& b) { return a.Number < b.Number; });
  const int highest = highestRow->Number;
  // The highest entry fills the hole and its number ends the list, in one
  // write so that no reader ever sees the entry twice or not at all.
  const bool written = program_.dataFile().Update([&](IniDocument& doc) {
    if (highest != hole) {
      const SnippetEntry moved = SnippetStore::EntryFrom(doc, highest);
      SnippetStore::PutEntry(doc, hole, moved, services().random, services().clock);
    }
    SnippetStore::PutEntry(doc, highest, SnippetEntry{}, services().random, services().clock);
    return true;
  });
  ReleaseLock();
  if (!written) return;
  highestRow->Number = hole;
  rows_.erase(rows_.begin() + row);
  if (unsaved_ && unsaved_->number == hole) unsaved_.reset();
  if (unsaved_ && unsaved_->number == highest) unsaved_->number = hole;
  ShowRows();
  SelectRow(-1);
  UpdateControlStates();
}

}  // namespace zelvo
