#include <sys/stat.h>

#include "unit/mainwindow/main_form_fixture.h"

namespace zelvo {
namespace {

const std::string R = kReturnSymbol, T = kTabSymbol;

TEST_F(MainFormTest, EmptyFileDisablesEverythingButNew) {
  Load("");
  EXPECT_TRUE(form.Rows().empty());
  EXPECT_EQ(view.states, ControlStates{});  // all disabled, search included
  EXPECT_EQ(view.editor.RenderedText(), "");
  form.OnToolbarClick(kTagRename);
  form.OnToolbarClick(kTagDelete);
  EXPECT_TRUE(env.dialogs.inputPrompts.empty());
  EXPECT_FALSE(Locked());
}

TEST_F(MainFormTest, FilledListIsSortedIgnoringCaseAndShowsTheFirstEntry) {
  LoadEntries({{"zahlung", "z"}, {"Anrede", "Sehr geehrte Damen\\Nund Herren"}, {"\xC3\x84rger", "a"},
               {"brief", "b", "  Editor  ", 2}});
  ASSERT_EQ(view.listRows, (std::vector<std::string>{"Anrede", "\xC3\x84rger", "brief", "zahlung"}));
  EXPECT_EQ(form.Rows()[0].Number, 2);
  EXPECT_EQ(form.Rows()[3].Number, 1);
  EXPECT_EQ(view.listSelection, 0);
  EXPECT_EQ(form.CurrEntryListIndex(), 0);
  EXPECT_EQ(view.editor.RenderedText(), "Sehr geehrte Damen" + R + "\r\nund Herren");
  EXPECT_EQ(view.destinationType, 0);
  EXPECT_FALSE(view.states.destinationTitle);
  EXPECT_EQ(view.destinationTitles, std::vector<std::string>{"Editor"});

  form.OnEntryListClick(Row("brief"));
  EXPECT_EQ(view.destinationTitle, "Editor");  // trimmed
  EXPECT_EQ(view.destinationType, 1);
  EXPECT_TRUE(view.states.destinationTitle);
  EXPECT_EQ(view.sendMethod, 2);
}

TEST_F(MainFormTest, EditCommandsFollowSelectionClipboardAndSearchText) {
  LoadEntries({{"A", "Hallo Welt"}});
  ControlStates s = view.states;
  EXPECT_TRUE(s.editFind && s.editor && s.entryList && s.renameDelete && s.destinationOptions);
  EXPECT_FALSE(s.editCut || s.editCopy || s.editDelete || s.editPaste || s.editFindNext);

  view.editor.picture = U"Hallo Welt";
  view.editor.SetSelection(0, 5);
  view.editor.clipboard = "x";
  form.UpdateControlStates();
  s = view.states;
  EXPECT_TRUE(s.editCut && s.editCopy && s.editDelete && s.editPaste);
  EXPECT_FALSE(s.editFindNext);

  // F3 follows a new search text at once.
  env.dialogs.inputs.push_back("welt");
  form.OnMenuClick(MenuArray::Bearbeiten, menu_item::kSuchen);
  EXPECT_TRUE(view.states.editFindNext);
  EXPECT_EQ(view.editor.selStart, 6);
}

TEST_F(MainFormTest, ClipboardCommandsGoToTheEditor) {
  view.editor.picture = U"Hallo Welt";
  LoadEntries({{"A", "Hallo Welt"}});
  view.editor.SetSelection(0, 6);
  form.OnMenuClick(MenuArray::Bearbeiten, menu_item::kAusschneiden);
  EXPECT_EQ(view.editor.clipboard, "Hallo ");
  view.editor.picture = U"Welt";
  view.editor.SetSelection(4, 0);
  view.editor.clipboard = "a\r\nb";
  form.OnMenuClick(MenuArray::Bearbeiten, menu_item::kEinfuegen);
  using F = EditorFormat;
  const std::vector<RecordingEditorSurface::Replacement> expected{
      {0, 6, {}}, {4, 0, {{"a", F::Text}, {R + "\r\n", F::ReturnSymbol}, {"b", F::Text}}}};
  EXPECT_EQ(view.editor.replacements, expected);
}

TEST_F(MainFormTest, FindNextSearchesForwardIgnoringCaseWithoutWrapping) {
  LoadEntries({{"A", "x"}});
  view.editor.picture = ToCodePoints("Gr\xC3\x9C\xC3\x9F" "e an alle" + R + "\rgr\xC3\xBC\xC3\x9F" "e");
  env.dialogs.inputs.push_back("GR\xC3\x9C\xC3\x9F" "E");
  form.OnMenuClick(MenuArray::Bearbeiten, menu_item::kSuchen);
  EXPECT_EQ(form.SearchText(), "GR\xC3\x9C\xC3\x9F" "E");
  EXPECT_EQ(view.editor.selStart, 0);
  EXPECT_EQ(view.editor.selLength, 5);
  EXPECT_EQ(view.focused, FocusControl::Editor);

  form.OnMenuClick(MenuArray::Bearbeiten, menu_item::kWeitersuchen);
  EXPECT_EQ(view.editor.selStart, 15);  // after the symbol and its line break
  EXPECT_TRUE(env.dialogs.shown.empty());

  form.FindNext();
  EXPECT_EQ(env.dialogs.LastText(), "Die Suche ist am Ende des Textes angekommen.");
  EXPECT_EQ(env.dialogs.shown.back().message.icon, MsgIcon::Information);
  EXPECT_EQ(view.editor.selStart, 15);  // selection unchanged, no wrap

  env.dialogs.inputs.push_back(std::nullopt);  // Cancel empties the search text
  form.AskSearchText();
  EXPECT_EQ(form.SearchText(), "");
  EXPECT_EQ(env.dialogs.shown.size(), 1u);
}

TEST_F(MainFormTest, WhatTheEditorShowsIsStoredOnLeavingIt) {
  LoadEntries({{"A", ""}});
  view.Focus(FocusControl::Editor);
  EXPECT_TRUE(Locked());
  view.editor.picture = ToCodePoints("ab" + R + "\rc" + T + "\rd" + kLineFeedSymbol + "\r\xC3\x83");
  view.Focus(FocusControl::None);
  EXPECT_EQ(Value("Text", "1"), "ab\\Nc\\Td\\L\xC3\x83");
  EXPECT_EQ(Value("Crypt", "1"), "0");
  EXPECT_FALSE(Locked());
}

// Leaving the editor with the text as it was writes nothing but the lock
// and its release; an enciphered text keeps its ciphertext although the
// clock (and with it the seed) has moved on.
TEST_F(MainFormTest, LeavingAnUnchangedEncipheredTextKeepsItsCiphertext) {
  LoadEntries({{"PIN", "4711"}});
  view.editor.picture = U"4711";
  view.Focus(FocusControl::Crypt);
  view.crypt = true;
  form.OnCryptClick();
  view.Focus(FocusControl::None);
  const std::string ciphertext = Value("Text", "1");
  ASSERT_NE(ciphertext, "4711");

  for (int minute : {6, 7}) {
    env.clock.Set(2026, 12, 7, 14, minute, 0);
    const int replaces = env.files.replaces;
    view.Focus(FocusControl::Editor);
    view.Focus(FocusControl::Crypt);
    view.Focus(FocusControl::None);
    EXPECT_EQ(Value("Text", "1"), ciphertext);
    EXPECT_EQ(env.files.replaces, replaces + 4);  // twice the lock taken and released
  }
  view.Focus(FocusControl::Editor);
  view.editor.picture = U"04711";
  view.Focus(FocusControl::None);
  EXPECT_EQ(program.store().ReadEntry(1)->Text, "04711");
  EXPECT_TRUE(env.dialogs.shown.empty());
}

// Clicking through entries and controls on a share where the user may
// only read: nothing to save, so nothing to complain about.
TEST_F(MainFormTest, BrowsingAReadOnlyShareShowsNoMessage) {
  LoadEntries({{"A", "a", "Word", 1}, {"B", "b"}});
  ::chmod(program.dataFile().Path().c_str(), 0444);
  for (const char* name : {"A", "B", "A"}) {
    form.OnEntryListClick(Row(name));
    view.editor.picture = ToCodePoints(view.editor.RenderedText());  // what the control shows
    for (FocusControl c : {FocusControl::Editor, FocusControl::Crypt, FocusControl::DestinationType,
                           FocusControl::DestinationTitle, FocusControl::SendMethod, FocusControl::Editor})
      view.Focus(c);
    view.Focus(FocusControl::None);
    form.OnToolbarClick(kTagSync);
    form.OnToolbarClick(kTagHide);
  }
  EXPECT_EQ(Messages(), std::vector<std::string>{});
  EXPECT_FALSE(form.HasUnsavedText());
  // A real change is still refused aloud, and kept.
  view.Focus(FocusControl::Editor);
  view.editor.picture = ToCodePoints("x" + view.editor.RenderedText());
  view.Focus(FocusControl::None);
  EXPECT_EQ(Messages().size(), 2u);  // not saved; kept
  EXPECT_TRUE(form.HasUnsavedText());
}

// A reload (Lan-Sync, the menu from the hotkey, the tray or the border
// strip) while the caret is still in the editor saves the typing first.
TEST_F(MainFormTest, EveryReloadSavesWhatIsTypedFirst) {
  LoadEntries({{"A", "a"}, {"B", "b"}});
  form.OnEntryListClick(Row("B"));
  view.Focus(FocusControl::Editor);
  view.editor.picture = U"beta";
  form.OnToolbarClick(kTagSync);
  EXPECT_EQ(Value("Text", "2"), "beta");
  EXPECT_EQ(view.focused, FocusControl::Editor);
  EXPECT_TRUE(Locked());  // still editing
  view.editor.picture = ToCodePoints(view.editor.RenderedText());  // the row a reload selects

  view.Focus(FocusControl::DestinationTitle);
  view.destinationTitle = "Word";
  program.ReloadAll();
  EXPECT_EQ(Value("Title", "1"), "Word");
  EXPECT_EQ(Value("Text", "1"), "a");
  EXPECT_TRUE(env.dialogs.shown.empty());
}

// A text kept after a failed save belongs to its entry's name: another PC
// deletes an entry meanwhile and ours moves into the hole.
TEST_F(MainFormTest, KeptTextFollowsItsEntrysName) {
  LoadEntries({{"A", "a"}, {"B", "b"}, {"C", "c"}});
  form.OnEntryListClick(Row("C"));
  view.Focus(FocusControl::Editor);
  view.editor.picture = U"neu c";
  FailNextWrite();
  view.Focus(FocusControl::None);
  ASSERT_TRUE(form.HasUnsavedText());
  // Another PC deletes "A": "C" moves from 3 to 1.
  env.dir.Write(kDataFileName, "[Name]\r\n1=C\r\n2=B\r\n3=\r\n[Text]\r\n1=c\r\n2=b\r\n3=\r\n"
                               "[Crypt]\r\n1=0\r\n2=0\r\n3=0\r\n");
  program.ReloadAll();
  EXPECT_EQ(SelectedName(), "C");
  EXPECT_EQ(view.editor.RenderedText(), "neu c");
  form.OnEntryListClick(Row("B"));  // leaving it saves it, into "C"
  EXPECT_EQ(Value("Text", "1"), "neu c");
  EXPECT_EQ(Value("Text", "2"), "b");
  EXPECT_FALSE(form.HasUnsavedText());
}

TEST_F(MainFormTest, QuittingAsksBeforeAKeptTextIsDropped) {
  LoadEntries({{"A", "a"}});
  view.Focus(FocusControl::Editor);
  view.editor.picture = U"xa";
  // "&Beenden" while the caret is in the editor: saved, then ended.
  form.OnMenuClick(MenuArray::Datei, menu_item::kBeenden);
  EXPECT_EQ(Value("Text", "1"), "xa");
  EXPECT_EQ(view.calls.back(), "end");

  view.calls.clear();
  view.editor.picture = U"yxa";
  ::chmod(program.dataFile().Path().c_str(), 0444);
  view.Focus(FocusControl::None);  // not saved, kept
  env.dialogs.shown.clear();
  env.dialogs.answers = {MsgResult::No};
  EXPECT_FALSE(form.MayEndProgram());
  EXPECT_EQ(env.dialogs.LastText(),
            "Der ge\xC3\xA4nderte Text von 'A' konnte nicht gespeichert werden.\rSoll er verworfen werden?");
  EXPECT_EQ(view.calls, std::vector<std::string>{"show"});
  form.OnMenuClick(MenuArray::Datei, menu_item::kBeenden);  // default No
  EXPECT_EQ(view.calls.back(), "show");

  // Log-off: answered at once, without a dialog.
  env.dialogs.shown.clear();
  EXPECT_FALSE(form.SaveForSessionEnd());
  EXPECT_TRUE(env.dialogs.shown.empty());
  // Afterwards the window shows the text and the user decides (No: kept).
  view.calls.clear();
  EXPECT_FALSE(form.AfterRefusedSessionEnd());
  EXPECT_EQ(view.calls, std::vector<std::string>{"show"});
  ASSERT_EQ(env.dialogs.shown.size(), 1u);
  EXPECT_EQ(env.dialogs.shown[0].message.buttons, MsgButtons::YesNo);
  env.dialogs.shown.clear();
  ::chmod(program.dataFile().Path().c_str(), 0644);
  EXPECT_TRUE(form.SaveForSessionEnd());
  EXPECT_EQ(Value("Text", "1"), "yxa");
  EXPECT_TRUE(env.dialogs.shown.empty());

  env.dialogs.answers = {MsgResult::Yes};
  view.Focus(FocusControl::Editor);
  view.editor.picture = U"zyxa";
  FailNextWrite();
  view.Focus(FocusControl::None);
  FailNextWrite();
  EXPECT_TRUE(form.MayEndProgram());  // the user drops it
  EXPECT_EQ(Value("Text", "1"), "yxa");
}

TEST_F(MainFormTest, CipherBoxStoresTheTextEnciphered) {
  view.editor.picture = U"geheim";
  LoadEntries({{"A", "geheim"}});
  view.Focus(FocusControl::Crypt);
  EXPECT_TRUE(Locked());
  view.crypt = true;
  form.OnCryptClick();
  EXPECT_EQ(Value("Crypt", "1"), "1");
  EXPECT_NE(Value("Text", "1"), "geheim");
  EXPECT_EQ(program.store().ReadEntry(1)->Text, "geheim");
  view.Focus(FocusControl::None);
  EXPECT_FALSE(Locked());
}

TEST_F(MainFormTest, FailedSaveKeepsTheTextInTheEditor) {
  LoadEntries({{"A", "alt"}, {"B", "b"}});
  view.Focus(FocusControl::Editor);
  view.editor.picture = U"alt und neu";
  FailNextWrite();
  view.Focus(FocusControl::None);
  EXPECT_EQ(Value("Text", "1"), "alt");
  EXPECT_TRUE(form.HasUnsavedText());
  EXPECT_NE(env.dialogs.LastText().find("bleibt im Editor erhalten"), std::string::npos);

  // A reload keeps showing the unsaved text with its entry.
  program.ReloadAll();
  EXPECT_EQ(SelectedName(), "A");
  EXPECT_EQ(view.editor.RenderedText(), "alt und neu");

  // Choosing another entry saves it now that the file is writable again.
  form.OnEntryListClick(Row("B"));
  EXPECT_EQ(Value("Text", "1"), "alt und neu");
  EXPECT_EQ(view.editor.RenderedText(), "b");
  EXPECT_FALSE(form.HasUnsavedText());
}

TEST_F(MainFormTest, UnsavedTextIsOnlyDroppedWhenTheUserSaysSo) {
  LoadEntries({{"A", "alt"}, {"B", "b"}});
  view.Focus(FocusControl::Editor);
  view.editor.picture = U"Xalt";
  FailNextWrite();
  view.Focus(FocusControl::None);

  FailNextWrite();
  env.dialogs.answers.push_back(MsgResult::No);
  form.OnEntryListClick(Row("B"));
  EXPECT_EQ(SelectedName(), "A");
  EXPECT_EQ(view.editor.RenderedText(), "alt");  // B was not shown

  FailNextWrite();
  env.dialogs.answers.push_back(MsgResult::Yes);
  form.OnEntryListClick(Row("B"));
  EXPECT_EQ(view.editor.RenderedText(), "b");
  EXPECT_EQ(Value("Text", "1"), "alt");
  EXPECT_FALSE(form.HasUnsavedText());
}

TEST_F(MainFormTest, ForeignLockIsReportedOnceAndEditingGoesOn) {
  LoadEntries({{"A", "a"}}, kForeignLock);
  view.Focus(FocusControl::Editor);
  ASSERT_EQ(env.dialogs.shown.size(), 1u);
  EXPECT_NE(env.dialogs.LastText().find("''hbauer'' auf ''PC-LAGER''"), std::string::npos);
  // The focus coming back from the message box asks nothing again...
  form.OnGotFocus(FocusControl::Editor);
  EXPECT_EQ(env.dialogs.shown.size(), 1u);
  view.editor.picture = U"ba";
  view.Focus(FocusControl::None);
  EXPECT_EQ(Value("Text", "1"), "ba");  // saved whether or not the lock was granted
  EXPECT_EQ(LockValue(), "hbauer;PC-LAGER;07.12.2026 10:00:00;1234567890123456");
  // ...but coming back later does.
  view.Focus(FocusControl::Editor);
  EXPECT_EQ(env.dialogs.shown.size(), 2u);
}

// Focus and click events of the option panel, with the lock and the writes
// each one makes.
TEST_F(MainFormTest, OptionPanelTakesTheLockAndWritesTheCurrentEntry) {
  LoadEntries({{"B", "b"}, {"A", "a", "", 2}});
  ASSERT_EQ(SelectedName(), "A");

  view.Focus(FocusControl::SendMethod);
  EXPECT_TRUE(Locked());
  form.OnSendMethodClick(1);
  EXPECT_EQ(Value("DosBox", "2"), "1");
  EXPECT_FALSE(Locked());  // released after the write
  view.Focus(FocusControl::None);

  view.Focus(FocusControl::DestinationType);
  EXPECT_TRUE(Locked());
  form.OnDestinationTypeClick(1);
  EXPECT_TRUE(form.TitleModePending());
  EXPECT_EQ(view.focused, FocusControl::DestinationTitle);
  EXPECT_EQ(view.destinationType, 1);
  EXPECT_TRUE(view.states.destinationTitle);
  EXPECT_EQ(Value("Title", "2"), "");  // nothing written yet

  view.destinationTitle = " Editor ";
  view.Focus(FocusControl::None);
  EXPECT_EQ(Value("Title", "2"), " Editor ");  // as typed
  EXPECT_FALSE(form.TitleModePending());
  EXPECT_FALSE(Locked());
  EXPECT_EQ(view.destinationTitles, std::vector<std::string>{"Editor"});
  view.Focus(FocusControl::DestinationTitle);
  view.Focus(FocusControl::None);
  EXPECT_EQ(view.destinationTitles, std::vector<std::string>{"Editor"});

  // The last used window empties the title and resets the method.
  form.OnDestinationTypeClick(0);
  EXPECT_EQ(Value("Title", "2"), "");
  EXPECT_EQ(Value("DosBox", "2"), "0");
  EXPECT_EQ(view.sendMethod, 0);
  EXPECT_EQ(view.destinationType, 0);
  EXPECT_FALSE(view.states.destinationTitle);
  EXPECT_EQ(Value("Text", "1"), "b");  // the other entry is untouched
}

TEST_F(MainFormTest, ClickingTheChosenOptionChangesNothing) {
  LoadEntries({{"A", "a", "", 2}, {"B", "b", "Editor", 1}});
  form.OnDestinationTypeClick(0);  // the last used window is already chosen
  form.OnSendMethodClick(2);
  form.OnEntryListClick(Row("B"));
  form.OnDestinationTypeClick(1);
  form.OnSendMethodClick(1);
  EXPECT_EQ(Value("DosBox", "1"), "2");
  EXPECT_EQ(Value("DosBox", "2"), "1");
  EXPECT_EQ(Value("Title", "2"), "Editor");
  EXPECT_EQ(view.sendMethod, 1);
  EXPECT_EQ(view.destinationType, 1);
  EXPECT_FALSE(form.TitleModePending());
  EXPECT_NE(view.focused, FocusControl::DestinationTitle);
}

TEST(AccessKeys, OneControlIsPressedSeveralTakeTurnsTheRestGoToToolbarOrMenu) {
  const std::vector<std::string> captions{"&Steuertasten einf\xC3\xBCgen", "Fenster mit dem &Titel:",
                                          "&Tastensimulation", "&Zwischenablage", "&Text chiffriert speichern"};
  using Hit = std::optional<AccessKeyHit>;
  EXPECT_EQ(FindAccessKey(captions, -1, U'Z'), (Hit{{3, true}}));
  EXPECT_EQ(FindAccessKey(captions, 3, U'Z'), (Hit{{3, true}}));
  EXPECT_EQ(FindAccessKey(captions, -1, U'T'), (Hit{{1, false}}));
  EXPECT_EQ(FindAccessKey(captions, 1, U'T'), (Hit{{2, false}}));
  EXPECT_EQ(FindAccessKey(captions, 4, U'T'), (Hit{{1, false}}));
  EXPECT_EQ(FindAccessKey(captions, 0, U'Q'), std::nullopt);
  // Toolbar buttons take the letters nobody else has; the first of two wins.
  EXPECT_EQ(ToolbarAccessKeyTag(U'N'), kTagNew);
  EXPECT_EQ(ToolbarAccessKeyTag(U'O'), kTagOptions);
  EXPECT_EQ(ToolbarAccessKeyTag(U'L'), kTagDelete);
  EXPECT_EQ(ToolbarAccessKeyTag(U'D'), -1);  // the menu "&Datei"
  EXPECT_EQ(ToolbarAccessKeyTag(U'S'), -1);  // "&Steuertasten einfügen"
  EXPECT_EQ(ToolbarAccessKeyTag(U'Q'), -1);
}

TEST(EntryNameOrder, AccentedLettersSortBesideTheirBaseLetters) {
  const std::vector<std::string> sorted{
      "_intern", "10 Uhr", "\xC3\xA0 la carte", "Anrede", "coop", "co-op", "eben", "Eck", "ecke", "Ecke", "\xC3\x89" "cke",
      "\xC3\x89lan", "Ende", "\xC3\xA9t\xC3\xA9", "Strasse", "Stra\xC3\x9F" "e", "Zeit"};
  std::vector<std::string> names(sorted.rbegin(), sorted.rend());
  std::stable_sort(names.begin(), names.end(), EntryNameLess);
  EXPECT_EQ(names, sorted);
}

TEST_F(MainFormTest, OptionHandlersWriteNothingWhileReloadingOrShowing) {
  struct Host : FormHost {
    std::function<void()> duringList;
    void ShowEntryList(const EntryList& l) override {
      FormHost::ShowEntryList(l);
      duringList();
    }
  };
  Host reloadHost;
  Program reloading{env.services, reloadHost};
  reloading.dataFile().SetPath(program.dataFile().Path());
  MainForm f{reloading, view};
  reloadHost.form = &f;
  view.form = &f;
  LoadEntries({{"A", "a", "", 2}});
  reloadHost.duringList = [&] {
    f.OnSendMethodClick(1);
    f.OnDestinationTypeClick(0);
    view.crypt = true;
    f.OnCryptClick();
    view.crypt = false;
  };
  reloading.ReloadAll();
  EXPECT_EQ(Value("DosBox", "1"), "2");
  EXPECT_EQ(Value("Crypt", "1"), "0");
  EXPECT_FALSE(Locked());
}

TEST_F(MainFormTest, HideCommandsReleaseTheOwnLockFirst) {
  for (auto hide : {+[](MainForm& f) { f.OnToolbarClick(kTagHide); },
                    +[](MainForm& f) { f.OnMenuClick(MenuArray::Datei, menu_item::kAusblenden); }}) {
    LoadEntries({{"A", "a"}});
    view.Focus(FocusControl::Crypt);
    ASSERT_TRUE(Locked());
    hide(form);
    EXPECT_FALSE(Locked());
    EXPECT_EQ(view.calls.back(), "hide");
  }
}

TEST_F(MainFormTest, DebuggerOpensOnlyWithTheLock) {
  LoadEntries({{"A", "a"}}, kForeignLock);
  form.OnToolbarClick(kTagDebug);
  EXPECT_TRUE(view.calls.empty());
  EXPECT_NE(env.dialogs.LastText().find("hbauer"), std::string::npos);

  LoadEntries({{"A", "a"}});
  form.OnMenuClick(MenuArray::Extras, menu_item::kDebugger);
  EXPECT_EQ(view.calls, std::vector<std::string>{"debugger"});
  EXPECT_TRUE(Locked());
}

TEST_F(MainFormTest, CommandsReachTheirWindows) {
  LoadEntries({{"A", "a"}});
  form.OnToolbarClick(7);  // no such tag
  form.OnToolbarClick(kTagOptions);
  form.OnMenuClick(MenuArray::Extras, menu_item::kSicherungen);
  form.OnToolbarClick(kTagHelp);
  form.OnToolbarClick(kTagAbout);
  form.OnMenuClick(MenuArray::Hilfe, menu_item::kInfo);
  form.OnBannerClick();
  form.OnTextFrameMouseDown(true, true, true);
  form.OnTextFrameMouseDown(true, true, false);
  form.OnEditorRightButton(true, false, false, 5, 5);
  form.OnEditorRightButton(false, false, false, 5, 5);
  form.OnMenuClick(MenuArray::Datei, menu_item::kBeenden);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"options", "backups", "help", "about", "about", "maker",
                                                  "windowlist", "editmenu", "end"}));
  EXPECT_EQ(view.focused, FocusControl::Editor);
}

TEST_F(MainFormTest, LanSyncRereadsTheFileAndSelectsTheFirstEntry) {
  LoadEntries({{"B", "b"}, {"C", "c"}});
  form.OnEntryListClick(Row("C"));
  env.dir.Write(kDataFileName, "[Name]\r\n1=B\r\n2=C\r\n3=A\r\n[Text]\r\n3=neu\r\n");
  form.OnToolbarClick(kTagSync);
  EXPECT_EQ(view.listRows, (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(SelectedName(), "A");
  EXPECT_EQ(view.editor.RenderedText(), "neu");
}

}  // namespace
}  // namespace zelvo
