#include "mainwindow/main_form.h"

#include <algorithm>
#include <string_view>

#include "store/cipher.h"
#include "store/codepage.h"
#include "store/heap_blocks.h"
#include "store/text_codes.h"

namespace zelvo {
namespace {

// The base letters of an upper-case Windows-1252 letter, or none.
std::string_view BaseLetters(char32_t c) {
  if (c >= 'A' && c <= 'Z') return std::string_view("ABCDEFGHIJKLMNOPQRSTUVWXYZ").substr(c - 'A', 1);
  switch (c) {
    case 0xC0: case 0xC1: case 0xC2: case 0xC3: case 0xC4: case 0xC5: return "A";
    case 0xC6: return "AE";
    case 0xC7: return "C";
    case 0xC8: case 0xC9: case 0xCA: case 0xCB: return "E";
    case 0xCC: case 0xCD: case 0xCE: case 0xCF: return "I";
    case 0xD0: return "D";
    case 0xD1: return "N";
    case 0xD2: case 0xD3: case 0xD4: case 0xD5: case 0xD6: case 0xD8: return "O";
    case 0xD9: case 0xDA: case 0xDB: case 0xDC: return "U";
    case 0xDD: case 0x0178: return "Y";
    case 0xDE: return "TH";
    case 0xDF: return "SS";
    case 0x0152: return "OE";
    case 0x0160: return "S";
    case 0x017D: return "Z";
    case 0x0192: return "F";
    default: return {};
  }
}

// Appends the name's sort key: bytes whose plain comparison orders names
// level by level, as the system's string comparison does: letters without
// accents, then the accents, then the case, then hyphens and apostrophes
// (which only count between otherwise equal names). Each level is a run of
// three-byte units, one more than the code, ended by three zero bytes, so
// that a level that ends first sorts first. At most 12 bytes per byte of
// the name, plus 12.
void AppendSortKey(std::string& out, const std::string& name) {
  std::u32string rest = ToCodePoints(name);
  std::u32string letters, accents, cases;
  for (char32_t& c : rest) {
    if (c == U'-' || c == U'\'') {
      c = 0x10FFFF;  // "coop" before "co-op"
      continue;
    }
    const char32_t upper = UpperLatin(c);
    const std::string_view base = BaseLetters(upper);
    for (char b : base) {
      letters += 0x30000 + static_cast<char32_t>(b);
      accents += base.size() == 1 && upper == static_cast<char32_t>(b) ? U'\0' : upper;
      cases += upper == c ? U'\1' : U'\0';  // lower case first
    }
    if (!base.empty()) continue;
    // Blanks and punctuation before digits, digits before letters.
    letters += (c >= U'0' && c <= U'9' ? char32_t{0x20000} : char32_t{0x10000}) + c;
    accents += U'\0';
    cases += U'\0';
  }
  for (const std::u32string* level : {&letters, &accents, &cases, &rest}) {
    for (char32_t c : *level) {
      const uint32_t unit = static_cast<uint32_t>(c) + 1;
      out += static_cast<char>(unit >> 16);
      out += static_cast<char>(unit >> 8);
      out += static_cast<char>(unit);
    }
    out.append(3, '\0');
  }
}

std::string SortKeyOf(const std::string& name) {
  std::string key;
  AppendSortKey(key, name);
  return key;
}

// Focus events while it lives come from our own message boxes.
class FocusHandlerScope {
 public:
  explicit FocusHandlerScope(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
  ~FocusHandlerScope() { flag_ = was_; }
  FocusHandlerScope(const FocusHandlerScope&) = delete;
  FocusHandlerScope& operator=(const FocusHandlerScope&) = delete;

 private:
  bool& flag_;
  bool was_;
};

bool IsGuardedByReload(FocusControl c) {
  return c == FocusControl::DestinationType || c == FocusControl::DestinationTitle ||
         c == FocusControl::SendMethod;
}

}  // namespace

bool EntryNameLess(const std::string& a, const std::string& b) {
  return SortKeyOf(a) < SortKeyOf(b);
}

namespace {

char32_t AccessKey(std::string_view caption) {
  const std::size_t amp = caption.find('&');
  if (amp == std::string_view::npos || amp + 1 >= caption.size()) return 0;
  return UpperLatin(ToCodePoints(std::string(caption.substr(amp + 1)))[0]);
}

}  // namespace

std::optional<AccessKeyHit> FindAccessKey(const std::vector<std::string>& captions, int focused, char32_t key) {
  std::vector<int> hits;
  for (std::size_t i = 0; i < captions.size(); ++i)
    if (AccessKey(captions[i]) == key) hits.push_back(static_cast<int>(i));
  if (hits.empty()) return std::nullopt;
  if (hits.size() == 1) return AccessKeyHit{hits[0], true};
  for (int i : hits)
    if (i > focused) return AccessKeyHit{i, false};
  return AccessKeyHit{hits[0], false};
}

int ToolbarAccessKeyTag(char32_t key) {
  std::vector<std::string_view> taken{kKeyRecordCaption, kCryptCaption};
  for (const MenuText& m : kMenus) taken.push_back(m.caption);
  for (std::string_view o : kDestinationOptions) taken.push_back(o);
  for (std::string_view o : kSendMethodOptions) taken.push_back(o);
  for (std::string_view caption : taken)
    if (AccessKey(caption) == key) return -1;
  for (const ToolbarButtonText& b : kToolbarButtons)
    if (AccessKey(b.caption) == key) return b.tag;
  return -1;
}

MainForm::MainForm(Program& program, MainFormView& view)
    : program_(program), view_(view), editor_(view.Editor()) {}

// ---- entry list -----------------------------------------------------------

void MainForm::ShowEntryList(const EntryList& list) {
  // Every menu showing reloads the list; sorting tens of thousands of names
  // each time would dominate it, so an unchanged list keeps its sorted copy.
  const uint64_t fingerprint = EntryListFingerprint(list.entries);
  if (fingerprint != loadedEntries_ || sortedOrder_.size() != list.entries.size()) {
    loadedEntries_ = fingerprint;
    // All keys in one buffer: a separate key per name would scatter tens
    // of thousands of small blocks over the heap.
    const std::vector<EntryListItem>& entries = list.entries;
    std::size_t bound = 0;
    for (const EntryListItem& e : entries) bound += 12 * (e.Name.size() + 1);
    std::string keys;
    ReserveHeapFriendly(keys, bound);
    std::vector<uint32_t> starts;
    ReserveHeapFriendly(starts, entries.size() + 1);
    for (const EntryListItem& e : entries) {
      starts.push_back(static_cast<uint32_t>(keys.size()));
      AppendSortKey(keys, e.Name);
    }
    starts.push_back(static_cast<uint32_t>(keys.size()));
    const auto key = [&](uint32_t i) { return std::string_view(keys).substr(starts[i], starts[i + 1] - starts[i]); };
    sortedOrder_.resize(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) sortedOrder_[i] = static_cast<uint32_t>(i);
    std::stable_sort(sortedOrder_.begin(), sortedOrder_.end(),
                     [&](uint32_t a, uint32_t b) { return key(a) < key(b); });
  }
  loaded_ = &list;
  std::vector<EntryListItem>().swap(ownRows_);
  rowsOwned_ = false;
  for (const std::string& title : list.destinationTitles)
    if (std::find(destinationTitles_.begin(), destinationTitles_.end(), title) ==
        destinationTitles_.end())
      destinationTitles_.push_back(title);
  view_.SetDestinationTitles(destinationTitles_);
  ShowRows();
  SelectRow(-1);
  // A text that could not be saved stays on screen with its entry, wherever
  // the entry's name now is; when the name is gone, the user decides.
  if (unsaved_) {
    const int row = RowOfUnsavedText();
    if (row < 0) {
      OfferUnsavedTextAsNewEntry();
      return;
    }
    unsaved_->number = RowAt(row).Number;
    SelectRow(row);
    currEntryListIndex_ = row;
    ShowCurrentEntry();
  }
}

void MainForm::SelectRow(int row) {
  selectedRow_ = row;
  view_.SelectListRow(row);
}

std::size_t MainForm::RowCount() const {
  if (rowsOwned_) return ownRows_.size();
  return loaded_ && loaded_->entries.size() == sortedOrder_.size() ? sortedOrder_.size() : 0;
}

const EntryListItem& MainForm::RowAt(std::size_t row) const {
  return rowsOwned_ ? ownRows_[row] : loaded_->entries[sortedOrder_[row]];
}

std::vector<EntryListItem> MainForm::Rows() const {
  std::vector<EntryListItem> rows;
  rows.reserve(RowCount());
  for (std::size_t i = 0; i < RowCount(); ++i) rows.push_back(RowAt(i));
  return rows;
}

std::vector<EntryListItem>& MainForm::OwnRows() {
  if (!rowsOwned_) {
    ownRows_ = Rows();
    rowsOwned_ = true;
  }
  return ownRows_;
}

int MainForm::RowOf(const EntryListItem& item) const {
  for (std::size_t i = 0; i < RowCount(); ++i)
    if (RowAt(i) == item) return static_cast<int>(i);
  return -1;
}

int MainForm::RowOfName(const std::string& name) const {
  for (std::size_t i = 0; i < RowCount(); ++i)
    if (RowAt(i).Name == name) return static_cast<int>(i);
  return -1;
}

int MainForm::RowOfUnsavedText() const {
  if (!unsaved_) return -1;
  const int same = RowOf({unsaved_->name, unsaved_->number});
  return same >= 0 ? same : RowOfName(unsaved_->name);
}

EntryListItem MainForm::CurrentEntry() const {
  return RowAt(std::clamp(currEntryListIndex_, 0, static_cast<int>(RowCount()) - 1));
}

void MainForm::ShowRows() {
  view_.SetListRows(*this);
}

int MainForm::InsertRow(const EntryListItem& item) {
  std::vector<EntryListItem>& rows = OwnRows();
  const auto at = std::upper_bound(rows.begin(), rows.end(), item,
                                   [](const EntryListItem& a, const EntryListItem& b) {
                                     return EntryNameLess(a.Name, b.Name);
                                   });
  const int row = static_cast<int>(at - rows.begin());
  rows.insert(at, item);
  ShowRows();
  return row;
}

void MainForm::OnEntryListClick(int row) {
  if (row < 0 || row >= static_cast<int>(RowCount())) return;
  if (unsaved_ && row != RowOfUnsavedText()) {
    const EntryListItem wanted = RowAt(row);
    if (!MayLeaveUnsavedText()) {
      SelectRow(RowOfUnsavedText());
      return;
    }
    row = RowOf(wanted);  // saving may have reloaded the list
    if (row < 0) return;
  }
  selectedRow_ = row;
  currEntryListIndex_ = row;
  ShowCurrentEntry();
}

void MainForm::ShowCurrentEntry() {
  if (selectedRow_ < 0 || selectedRow_ >= static_cast<int>(RowCount())) return;
  const EntryListItem shown = RowAt(selectedRow_);
  const std::optional<SnippetEntry> read = program_.store().ReadEntry(shown.Number);
  // Another PC moved entries since the list was loaded: another entry's text
  // must not appear under this name. The list as the file now is, then the
  // entry the user chose, wherever it is now.
  if (read && read->Name != shown.Name && program_.ReloadFinished() && !healingList_) {
    healingList_ = true;
    program_.ReloadAll();
    const int row = RowOfName(shown.Name);
    if (row < 0) {
      services().Show({"Den Eintrag '" + shown.Name +
                           "' gibt es nicht mehr: Er wurde auf einem anderen PC gel\xC3\xB6scht oder "
                           "umbenannt. Die Liste wurde neu geladen.",
                       MsgIcon::Information});
    } else if (row != selectedRow_) {
      SelectRow(row);
      currEntryListIndex_ = row;
      ShowCurrentEntry();
    }
    healingList_ = false;
    return;
  }
  // An unreadable entry shows empty and is never saved back over the file.
  shownEntryUnread_ = !read;
  const SnippetEntry entry = read.value_or(SnippetEntry{});
  if (unsaved_ && RowOfUnsavedText() == selectedRow_) {
    RenderEditorText(unsaved_->editorText);
    view_.SetCryptChecked(unsaved_->crypt);
  } else {
    RenderEditorText(StoredTextToEditor(entry.Text));
    view_.SetCryptChecked(entry.Crypt);
  }
  view_.SetDestinationTitle(Trim(entry.Title));
  sendMethod_ = entry.DosBox;
  view_.SetSendMethod(entry.DosBox);
  showingEntry_ = true;
  UpdateControlStates();
  showingEntry_ = false;
}

void MainForm::UpdateControlStates() {
  ControlStates s;
  if (RowCount() > 0) {
    if (selectedRow_ < 0) {
      SelectRow(0);
      OnEntryListClick(0);
    }
    const bool selection = editor_.SelLength() > 0;
    s.editCut = s.editCopy = s.editDelete = selection;
    s.editPaste = !view_.Editor().ClipboardText().empty();
    s.editFind = true;
    s.editFindNext = !searchText_.empty();
    s.destinationOptions = s.entryList = s.renameDelete = s.editor = true;
    const bool titleMode = !view_.DestinationTitle().empty() || titleModePending_;
    destinationType_ = titleMode ? 1 : 0;
    view_.SetDestinationType(destinationType_);
    s.destinationTitle = titleMode;
  } else {
    RenderEditorText("");
  }
  view_.ApplyControlStates(s);
}

// ---- focus and the data lock ------------------------------------------------

void MainForm::OnGotFocus(FocusControl control) {
  focused_ = control;
  if (inFocusHandler_) return;  // focus moving to and from our own message box
  // Focus coming back when the lock message closes asks nothing again.
  if (control == refocusAfterRefusal_) {
    refocusAfterRefusal_ = FocusControl::None;
    return;
  }
  if (IsGuardedByReload(control) && !program_.ReloadFinished()) return;
  const FocusHandlerScope scope(inFocusHandler_);
  // Nothing uses the result, so a file that cannot be written (a read-only
  // share merely browsed) stays quiet here; a lock of someone else is named.
  if (AcquireLock(true)) refocusAfterRefusal_ = control;
}

void MainForm::OnLostFocus(FocusControl control) {
  if (focused_ == control) focused_ = FocusControl::None;
  if (inFocusHandler_) return;
  refocusAfterRefusal_ = FocusControl::None;
  if (IsGuardedByReload(control) && !program_.ReloadFinished()) return;
  const FocusHandlerScope scope(inFocusHandler_);
  switch (control) {
    case FocusControl::Editor:
      SaveEditorText();
      ReleaseLock();
      break;
    case FocusControl::DestinationTitle: {
      titleModePending_ = false;
      const std::string title = view_.DestinationTitle();
      OfferDestinationTitle(title);
      UpdateControlStates();
      WriteCurrentEntryField(kFieldTitle, title);  // as typed; delivery trims
      ReleaseLock();
      break;
    }
    case FocusControl::Crypt:
    case FocusControl::DestinationType:
    case FocusControl::SendMethod:
      ReleaseLock();
      break;
    case FocusControl::None:
      break;
  }
}

// ---- option panel -----------------------------------------------------------

void MainForm::OnCryptClick() {
  if (program_.ReloadFinished()) SaveEditorText();
}

void MainForm::OnDestinationTypeClick(int index) {
  // Clicking the option that is already chosen changes nothing.
  if (!program_.ReloadFinished() || showingEntry_ || index == destinationType_) return;
  if (index == 1) {
    titleModePending_ = true;
    UpdateControlStates();
    view_.FocusDestinationTitle();
  } else {
    view_.SetDestinationTitle("");
    UpdateControlStates();
    // The last used window also means keystrokes; show what is stored.
    if (WriteCurrentEntryFields({{kFieldTitle, ""}, {kFieldDosBox, "0"}})) {
      sendMethod_ = 0;
      view_.SetSendMethod(0);
    }
  }
}

void MainForm::OnDestinationTitleDropDown() {
  if (program_.ReloadFinished()) OfferDestinationTitle(view_.DestinationTitle());
}

void MainForm::OfferDestinationTitle(const std::string& text) {
  const std::string title = Trim(text);
  if (title.empty() ||
      std::find(destinationTitles_.begin(), destinationTitles_.end(), title) !=
          destinationTitles_.end())
    return;
  destinationTitles_.push_back(title);
  view_.SetDestinationTitles(destinationTitles_);
}

void MainForm::OnSendMethodClick(int index) {
  if (!program_.ReloadFinished() || index == sendMethod_) return;
  sendMethod_ = index;
  WriteCurrentEntryField(kFieldDosBox, std::to_string(index));
  ReleaseLock();
}

bool MainForm::WriteCurrentEntryField(const char* field, const std::string& value) {
  return WriteCurrentEntryFields({{field, value}});
}

bool MainForm::WriteCurrentEntryFields(const std::vector<std::pair<const char*, std::string>>& fields) {
  if (RowCount() == 0) return true;
  const EntryListItem entry = CurrentEntry();
  switch (program_.store().WriteFields(entry, fields, quiet_)) {
    case EntryWrite::Written: return true;
    case EntryWrite::Changed: EntryChangedElsewhere(entry.Name, false); return false;
    case EntryWrite::Failed: return false;
  }
  return false;
}

void MainForm::EntryChangedElsewhere(const std::string& name, bool textKept) {
  if (quiet_) return;
  services().Show({"Der Eintrag '" + name +
                       "' wurde inzwischen auf einem anderen PC ge\xC3\xA4ndert (umbenannt, "
                       "gel\xC3\xB6scht oder verschoben).\r\rEs wurde nichts gespeichert; die Liste "
                       "wird neu geladen." +
                       (textKept ? "\r\rIhr Text geht dabei nicht verloren." : ""),
                   MsgIcon::Exclamation});
  if (!savingPending_) program_.ReloadAll();
}

void MainForm::OfferUnsavedTextAsNewEntry() {
  const UnsavedText kept = *unsaved_;
  unsaved_.reset();
  const MsgResult answer = services().Show(
      {"Den Eintrag '" + kept.name +
           "' gibt es nicht mehr: Er wurde auf einem anderen PC gel\xC3\xB6scht oder umbenannt."
           "\r\rSoll Ihr ge\xC3\xA4nderter Text als neuer Eintrag '" + kept.name +
           "' gespeichert werden?\rMit 'Nein' wird er verworfen.",
       MsgIcon::Question, MsgButtons::YesNo, MsgResult::Yes});
  if (answer != MsgResult::Yes) return;
  SnippetEntry values;
  values.Name = kept.name;
  values.Crypt = kept.crypt;
  values.Text = EditorTextToStored(kept.editorText);
  const std::optional<EntryListItem> added = program_.store().NewEntry(values);
  if (!added) {
    unsaved_ = kept;  // asked again at the next reload
    return;
  }
  const int row = InsertRow(*added);
  SelectRow(row);
  currEntryListIndex_ = row;
  ShowCurrentEntry();
}

// ---- editor -----------------------------------------------------------------

bool MainForm::SaveEditorText() {
  if (RowCount() == 0 || shownEntryUnread_) return true;
  return SaveText(CurrentEntry(), editor_.Text(), view_.CryptChecked());
}

bool MainForm::SaveText(EntryListItem entry, std::string editorText, bool crypt) {
  // Text and flag in one write, so an enciphered text never stands with a
  // clear flag; a text as it was writes nothing.
  const EntryWrite result =
      program_.store().SaveText(entry, EditorTextToStored(editorText), crypt, quiet_);
  if (result == EntryWrite::Written) {
    unsaved_.reset();
    return true;
  }
  unsaved_ = UnsavedText{entry.Number, entry.Name, editorText, crypt};
  if (result == EntryWrite::Changed) {
    EntryChangedElsewhere(entry.Name, true);
  } else if (!quiet_) {
    services().Show({"Der Text wurde nicht gespeichert. Er bleibt im Editor erhalten und wird beim "
                     "n\xC3\xA4" "chsten Verlassen des Editors erneut gespeichert.",
                     MsgIcon::Exclamation});
  }
  return false;
}

void MainForm::SavePendingEdits() {
  if (savingPending_ || RowCount() == 0) return;
  // The caret stays where it is: the focus going to our own message box and
  // back is no leaving of the editor.
  const FocusHandlerScope scope(inFocusHandler_);
  savingPending_ = true;
  if (focused_ == FocusControl::Editor) SaveEditorText();
  if (focused_ == FocusControl::DestinationTitle)
    WriteCurrentEntryField(kFieldTitle, view_.DestinationTitle());
  savingPending_ = false;
}

bool MainForm::MayEndProgram() {
  const FocusHandlerScope scope(inFocusHandler_);
  SavePendingEdits();
  if (MayLeaveUnsavedText()) return true;
  view_.ShowMainWindow();
  return false;
}

bool MainForm::SaveForSessionEnd() {
  quiet_ = true;
  SavePendingEdits();
  if (const int row = RowOfUnsavedText(); row >= 0)
    SaveText(RowAt(row), unsaved_->editorText, unsaved_->crypt);
  quiet_ = false;
  return !unsaved_;
}

bool MainForm::MayLeaveUnsavedText() {
  if (!unsaved_) return true;
  // Saving may end in a reload that shows the text again, or offers it as
  // a new entry when its name is gone.
  const int row = RowOfUnsavedText();
  if (row >= 0 && SaveText(RowAt(row), unsaved_->editorText, unsaved_->crypt)) return true;
  return AskToDropUnsavedText();
}

bool MainForm::AskToDropUnsavedText() {
  if (!unsaved_) return true;
  const MsgResult answer =
      services().Show({"Der ge\xC3\xA4nderte Text von '" + unsaved_->name +
                           "' konnte nicht gespeichert werden.\rSoll er verworfen werden?",
                       MsgIcon::Question, MsgButtons::YesNo, MsgResult::No});
  if (answer != MsgResult::Yes) return false;
  unsaved_.reset();
  return true;
}

bool MainForm::AfterRefusedSessionEnd() {
  if (!unsaved_) return true;
  const FocusHandlerScope scope(inFocusHandler_);
  view_.ShowMainWindow();
  return AskToDropUnsavedText();
}

void MainForm::RenderEditorText(const std::string& editorText) { editor_.Show(editorText); }

void MainForm::OnEditorRightButton(bool shift, bool ctrl, bool alt, int x, int y) {
  if (shift || ctrl || alt) return;
  UpdateControlStates();
  view_.FocusEditor();
  view_.ShowEditMenuAt(x, y);
}

// ---- search -----------------------------------------------------------------

void MainForm::FindNext() {
  const long from = editor_.SelStart() + editor_.SelLength();
  const long hit = FindTextIgnoringCase(FromCodePoints(editor_.Picture()), searchText_, from);
  if (hit < 0) {
    services().Show({"Die Suche ist am Ende des Textes angekommen.", MsgIcon::Information});
    return;
  }
  editor_.Select(static_cast<int>(hit), static_cast<int>(ToCodePoints(searchText_).size()));
  view_.FocusEditor();
}

void MainForm::AskSearchText() {
  searchText_ = services().dialogs.InputBox(services().appTitle, "Suchen nach:", searchText_).value_or("");
  // "&Weitersuchen" (F3) follows the new search text at once.
  UpdateControlStates();
  if (!searchText_.empty()) FindNext();
}

// ---- commands ---------------------------------------------------------------

void MainForm::DebuggerAction() {
  if (AcquireLock()) return;
  view_.ShowDebugger();
}

void MainForm::HideWindowReleasingLock() {
  ReleaseLock();
  view_.HideWindow();
}

void MainForm::OnTextFrameMouseDown(bool shift, bool ctrl, bool alt) {
  if (shift && ctrl && !alt) view_.ShowWindowList();
}

void MainForm::OnToolbarClick(int tag) {
  switch (tag) {
    case kTagNew: NewEntry(); break;
    case kTagRename: RenameEntry(); break;
    case kTagDelete: DeleteEntry(); break;
    case kTagSync: program_.ReloadAll(); break;
    case kTagOptions: view_.ShowOptionsDialog(); break;
    case kTagDebug: DebuggerAction(); break;
    case kTagHelp: view_.ShowHelp(); break;
    case kTagAbout: view_.ShowAboutBox(); break;
    case kTagHide: HideWindowReleasingLock(); break;
    default: break;
  }
}

void MainForm::OnMenuClick(MenuArray array, int index) {
  using namespace menu_item;
  switch (array) {
    case MenuArray::Datei:
      if (index == kAusblenden) HideWindowReleasingLock();
      if (index == kBeenden && MayEndProgram()) view_.EndProgram();
      break;
    case MenuArray::Bearbeiten:
      if (index == kAusschneiden) editor_.Cut();
      if (index == kKopieren) editor_.Copy();
      if (index == kEinfuegen) editor_.Paste();
      if (index == kLoeschen) editor_.DeleteSelection();
      if (index == kSuchen) AskSearchText();
      if (index == kWeitersuchen) FindNext();
      break;
    case MenuArray::Texte:
      if (index == kNeu) NewEntry();
      if (index == kUmbenennen) RenameEntry();
      if (index == kTextLoeschen) DeleteEntry();
      break;
    case MenuArray::Extras:
      if (index == kOptionen) view_.ShowOptionsDialog();
      if (index == kSicherungen) view_.ShowBackups();
      if (index == kDebugger) DebuggerAction();
      break;
    case MenuArray::Hilfe:
      if (index == kHilfe) view_.ShowHelp();
      if (index == kInfo) view_.ShowAboutBox();
      break;
  }
}

}  // namespace zelvo
