// The main window's logic: entry list, editor, option panel, menus,
// toolbar, search, the enabling rules and the entry operations. The Win32
// view forwards its events here and applies what it is told.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "mainwindow/editor_text.h"
#include "mainwindow/main_form_texts.h"
#include "mainwindow/program.h"
#include "mainwindow/snippet_editor.h"

namespace zelvo {

// What the enabling rules decide; colours follow from the enabled states
// (enabled: the system's window colour, disabled: the window's own colour).
struct ControlStates {
  bool editCut = false, editCopy = false, editPaste = false, editDelete = false;
  bool editFind = false, editFindNext = false;
  bool destinationOptions = false;  // both options and the label "Ziel:"
  bool entryList = false;
  bool renameDelete = false;  // toolbar "&Name", "&Löschen"; "&Umbenennen...", "&Löschen"
  bool editor = false;        // editor, cipher box and the three send-method options
  bool destinationTitle = false;
  friend bool operator==(const ControlStates&, const ControlStates&) = default;
};

// The entry list's rows in display order, read where they are needed.
class EntryRows {
 public:
  virtual std::size_t RowCount() const = 0;
  virtual const EntryListItem& RowAt(std::size_t row) const = 0;

 protected:
  ~EntryRows() = default;
};

class MainFormView {
 public:
  virtual ~MainFormView() = default;

  // Entry list: the rows' names; selecting fires no click.
  virtual void SetListRows(const EntryRows& rows) = 0;
  virtual void SelectListRow(int row) = 0;  // -1: none

  // The editor control, and what lies around it.
  virtual EditorSurface& Editor() = 0;
  virtual void FocusEditor() = 0;
  virtual void ShowEditMenuAt(int x, int y) = 0;

  // Option panel.
  virtual void SetDestinationTitles(const std::vector<std::string>& titles) = 0;
  virtual std::string DestinationTitle() = 0;
  virtual void SetDestinationTitle(const std::string& title) = 0;
  virtual void FocusDestinationTitle() = 0;
  virtual void SetDestinationType(int index) = 0;
  virtual void SetSendMethod(int index) = 0;
  virtual bool CryptChecked() = 0;
  virtual void SetCryptChecked(bool checked) = 0;

  virtual void ApplyControlStates(const ControlStates& states) = 0;

  // Windows and commands beyond this window.
  virtual void ShowMainWindow() = 0;  // in normal state, in front
  virtual void HideWindow() = 0;
  virtual void EndProgram() = 0;
  virtual void ShowOptionsDialog() = 0;
  virtual void ShowBackups() = 0;       // "Sicherungen", modeless
  virtual void ShowAboutBox() = 0;
  virtual void ShowDebugger() = 0;      // DebFrm, modeless
  virtual void ShowWindowList() = 0;    // QVDEBUGFRM, modeless
  virtual void ShowHelp() = 0;
  virtual void OpenMakerPage() = 0;
};

enum class FocusControl { None, Editor, Crypt, DestinationType, DestinationTitle, SendMethod };

class MainForm : public EntryRows {
 public:
  MainForm(Program& program, MainFormView& view);

  // From the program (ReloadAll).
  void ShowEntryList(const EntryList& list);
  void UpdateControlStates();

  // Events of the view.
  void OnEntryListClick(int row);
  void OnGotFocus(FocusControl control);
  void OnLostFocus(FocusControl control);
  void OnEditorRightButton(bool shift, bool ctrl, bool alt, int x, int y);
  void OnCryptClick();
  void OnDestinationTypeClick(int index);
  void OnDestinationTitleDropDown();
  void OnSendMethodClick(int index);
  void OnTextFrameMouseDown(bool shift, bool ctrl, bool alt);
  void OnToolbarClick(int tag);
  void OnMenuClick(MenuArray array, int index);
  void OnBannerClick() { view_.OpenMakerPage(); }

  // Before a reload: what the user typed into the editor or the title box
  // and has not left yet is saved by the rules of leaving it.
  void SavePendingEdits();
  // "&Beenden": saves what is pending; a text that still cannot be saved is
  // dropped only when the user says so (No shows it in the main window).
  bool MayEndProgram();
  // Log-off or shutdown: the same without any dialog, so the session end
  // gets its answer at once. True when no typed text would be lost.
  bool SaveForSessionEnd();
  // After a log-off held up for such a text: shows it and asks whether to
  // drop it. True when nothing is kept any more.
  bool AfterRefusedSessionEnd();

  // Operations.
  void ShowCurrentEntry();
  void FindNext();
  void AskSearchText();
  void NewEntry();
  void RenameEntry();
  void DeleteEntry();
  bool SaveEditorText();
  // Writes into the current entry when it still is what the list shows.
  bool WriteCurrentEntryField(const char* field, const std::string& value);
  // Several fields of the current entry in one write.
  bool WriteCurrentEntryFields(const std::vector<std::pair<const char*, std::string>>& fields);
  void RenderEditorText(const std::string& editorText);
  void DebuggerAction();
  void HideWindowReleasingLock();

  // State, for the view and tests.
  std::size_t RowCount() const override;
  const EntryListItem& RowAt(std::size_t row) const override;
  std::vector<EntryListItem> Rows() const;  // all of them, as a list of their own
  int SelectedRow() const { return selectedRow_; }
  int CurrEntryListIndex() const { return currEntryListIndex_; }
  const std::string& SearchText() const { return searchText_; }
  bool ShowingEntry() const { return showingEntry_; }
  bool TitleModePending() const { return titleModePending_; }
  const std::vector<std::string>& DestinationTitles() const { return destinationTitles_; }
  bool HasUnsavedText() const { return unsaved_.has_value(); }
  SnippetEditor& editor() { return editor_; }

 private:
  // A text that could not be saved. It belongs to the entry's name: the
  // number is only where the entry was last seen.
  struct UnsavedText {
    int number;
    std::string name;
    std::string editorText;
    bool crypt;
  };

  Services& services() { return program_.services(); }
  bool AcquireLock(bool quiet = false) { return program_.lock().AcquireLock(quiet); }
  void ReleaseLock() { program_.lock().ReleaseLock(false); }
  void SelectRow(int row);
  void ShowRows();
  int InsertRow(const EntryListItem& item);
  int RowOf(const EntryListItem& item) const;
  int RowOfName(const std::string& name) const;  // the first row of that name
  int RowOfUnsavedText() const;
  EntryListItem CurrentEntry() const;
  bool SaveText(EntryListItem entry, std::string editorText, bool crypt);
  // Another PC changed the entry since the list was loaded: says so and
  // reloads (unless a reload is about to run anyway).
  void EntryChangedElsewhere(const std::string& name, bool textKept);
  void OfferUnsavedTextAsNewEntry();
  void OfferDestinationTitle(const std::string& text);
  std::optional<std::string> AskName(const std::string& title, const std::string& prompt,
                                     const std::string& initial, int skipRow);
  bool MayLeaveUnsavedText();
  bool AskToDropUnsavedText();
  void ShowUnsavedText();

  Program& program_;
  MainFormView& view_;
  SnippetEditor editor_;
  // The rows are the loaded list in sorted order, read from the program's
  // list through `sortedOrder_`, until an entry is added, renamed or
  // deleted here: from then until the next load they are a list of their
  // own. A list of many thousand names is not kept twice while nobody
  // changes it.
  std::vector<EntryListItem>& OwnRows();
  const EntryList* loaded_ = nullptr;
  std::vector<EntryListItem> ownRows_;
  bool rowsOwned_ = false;
  // A fingerprint of the list as last loaded from the file, and the order
  // that sorts it by name.
  uint64_t loadedEntries_ = 0;
  std::vector<uint32_t> sortedOrder_;
  std::vector<std::string> destinationTitles_;
  int selectedRow_ = -1;
  int currEntryListIndex_ = 0;
  std::string searchText_;
  bool showingEntry_ = false;
  bool titleModePending_ = false;
  int destinationType_ = 0, sendMethod_ = 0;  // the options as shown
  bool inFocusHandler_ = false;
  bool shownEntryUnread_ = false;
  bool savingPending_ = false;
  bool healingList_ = false;
  bool quiet_ = false;  // session end: no dialogs
  FocusControl focused_ = FocusControl::None;
  FocusControl refocusAfterRefusal_ = FocusControl::None;
  std::optional<UnsavedText> unsaved_;
};

// The entry list's order, as the system's sorted list box has it: by name
// with accented letters beside their base letters, ignoring case, and
// hyphens and apostrophes counting only between otherwise equal names.
bool EntryNameLess(const std::string& a, const std::string& b);

// The control an access key (upper case) reaches among the captions of the
// usable controls in tab order: the only one with that letter is pressed; of
// several, the next one after `focused` (-1: none) only gets the focus.
struct AccessKeyHit {
  int index;
  bool press;
  friend bool operator==(const AccessKeyHit&, const AccessKeyHit&) = default;
};
std::optional<AccessKeyHit> FindAccessKey(const std::vector<std::string>& captions, int focused, char32_t key);

// The toolbar button (its tag) that an access key (upper case) presses, or
// -1. The controls and the menu bar keep their letters; of two buttons with
// one letter the first takes it.
int ToolbarAccessKeyTag(char32_t key);

}  // namespace zelvo
