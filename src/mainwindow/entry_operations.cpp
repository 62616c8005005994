// Creating, renaming and deleting entries from the main window, each under
// the data lock.
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
    for (int row = 0; row < static_cast<int>(RowCount()) && !clash; ++row)
      clash = row != skipRow && ToUpperLocale(RowAt(row).Name) == upper;
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
  // The list as other PCs left the file. The number itself is taken from
  // the file as it is at the write: an older version ignores our lock.
  program_.ReloadAll();
  SnippetEntry entry;
  entry.Name = *name;
  entry.Crypt = true;  // the empty text, enciphered
  const std::optional<EntryListItem> added = program_.store().NewEntry(entry);
  if (!added) {
    ReleaseLock();
    return;
  }
  const int row = InsertRow(*added);
  ReleaseLock();
  SelectRow(row);
  currEntryListIndex_ = row;
  ShowCurrentEntry();
  view_.FocusEditor();
}

void MainForm::RenameEntry() {
  if (selectedRow_ < 0 || selectedRow_ >= static_cast<int>(RowCount())) return;
  if (AcquireLock()) return;
  const int row = selectedRow_;
  const EntryListItem old = RowAt(row);
  const std::optional<std::string> name =
      AskName(std::string(kProductTitle) + " - Eintrag umbenennen",
              "Bitte geben Sie einen neuen Namen f\xC3\xBCr den Eintrag ''" + old.Name + "'' an:",
              old.Name, row);
  EntryListItem renamed = old;
  const EntryWrite result = name ? program_.store().RenameEntry(renamed, *name) : EntryWrite::Failed;
  ReleaseLock();
  if (result == EntryWrite::Changed) {
    EntryChangedElsewhere(old.Name, false);
    return;
  }
  // The list changes only when the file took the new name.
  if (result != EntryWrite::Written) return;
  if (unsaved_ && unsaved_->number == old.Number && unsaved_->name == old.Name)
    unsaved_->name = renamed.Name;
  std::vector<EntryListItem>& rows = OwnRows();
  rows.erase(rows.begin() + row);
  const int newRow = InsertRow(renamed);
  SelectRow(newRow);
  currEntryListIndex_ = newRow;
  ShowCurrentEntry();
}

void MainForm::DeleteEntry() {
  if (selectedRow_ < 0 || selectedRow_ >= static_cast<int>(RowCount())) return;
  if (AcquireLock()) return;
  const EntryListItem entry = RowAt(selectedRow_);
  const MsgResult answer = services().Show(
      {"Wollen Sie den Eintrag '" + entry.Name + "'\rwirklich l\xC3\xB6schen?", MsgIcon::Question,
       MsgButtons::YesNo, MsgResult::Yes});
  if (answer != MsgResult::Yes) {
    ReleaseLock();
    return;
  }
  const EntryWrite result = program_.store().DeleteEntry(entry);
  ReleaseLock();
  if (result == EntryWrite::Changed) {
    EntryChangedElsewhere(entry.Name, false);
    return;
  }
  if (result != EntryWrite::Written) return;
  if (unsaved_ && unsaved_->number == entry.Number && unsaved_->name == entry.Name) unsaved_.reset();
  // The entry that filled the hole is the file's highest, which need not be
  // the highest this list knows: the list as the file now is.
  program_.ReloadAll();
}

}  // namespace zelvo
