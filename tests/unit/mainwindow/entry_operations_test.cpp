#include <functional>

#include "unit/mainwindow/main_form_fixture.h"

namespace zelvo {
namespace {

bool IsHex4(const std::string& s) {
  return s.size() == 4 && s.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

TEST_F(MainFormTest, NewEntryIsStoredTrimmedUnderTheNextNumberAndSelected) {
  LoadEntries({{"Anrede", "a"}, {"Zahlung", "z"}});
  env.dialogs.inputs.push_back("  Mahnung  ");
  form.OnToolbarClick(kTagNew);
  EXPECT_EQ(env.dialogs.inputPrompts,
            std::vector<std::string>{"Bitte geben Sie einen Namen f\xC3\xBCr den neuen Eintrag an:"});
  EXPECT_EQ(Value("Name", "3"), "Mahnung");
  EXPECT_EQ(Value("Crypt", "3"), "1");
  EXPECT_TRUE(IsHex4(Value("Text", "3"))) << Value("Text", "3");
  EXPECT_EQ(Value("Title", "3"), "");
  EXPECT_EQ(Value("DosBox", "3"), "0");
  EXPECT_EQ(view.listRows, (std::vector<std::string>{"Anrede", "Mahnung", "Zahlung"}));
  EXPECT_EQ(SelectedName(), "Mahnung");
  EXPECT_EQ(form.Rows()[form.CurrEntryListIndex()].Number, 3);
  EXPECT_TRUE(view.crypt);
  // The editor has the focus and with it the lock again.
  EXPECT_EQ(view.focused, FocusControl::Editor);
  EXPECT_TRUE(Locked());
  EXPECT_TRUE(env.dialogs.shown.empty());
}

TEST_F(MainFormTest, NewEntryNumberFollowsTheFileAsOtherPcsLeftIt) {
  LoadEntries({{"A", "a"}});
  env.dir.Write(kDataFileName, "[Name]\r\n1=A\r\n2=Von Kollegin\r\n");  // not reloaded yet
  env.dialogs.inputs.push_back("Neu");
  form.NewEntry();
  EXPECT_EQ(Value("Name", "2"), "Von Kollegin");
  EXPECT_EQ(Value("Name", "3"), "Neu");
  EXPECT_EQ(view.listRows.size(), 3u);
}

TEST_F(MainFormTest, NewEntryNameClashInOtherCaseAsks) {
  LoadEntries({{"Anrede", "a"}});
  // No: the input box comes again, empty; Yes: the duplicate is created.
  env.dialogs.inputs = {"ANREDE", "anrede"};
  env.dialogs.answers = {MsgResult::No, MsgResult::Yes};
  form.OnMenuClick(MenuArray::Texte, menu_item::kNeu);
  ASSERT_EQ(env.dialogs.shown.size(), 2u);
  const Message& q = env.dialogs.shown[0].message;
  EXPECT_EQ(q.text, "Es gibt bereits einen Eintrag mit dem Namen \r'ANREDE'.\r\rM\xC3\xB6" "chten Sie ihn dennoch verwenden?");
  EXPECT_EQ(q.buttons, MsgButtons::YesNo);
  EXPECT_EQ(q.defaultButton, MsgResult::No);
  EXPECT_EQ(env.dialogs.inputPrompts.size(), 2u);
  EXPECT_EQ(Value("Name", "2"), "anrede");
  EXPECT_EQ(view.listRows.size(), 2u);
}

TEST_F(MainFormTest, CancelledOperationsReleaseTheLockAndChangeNothing) {
  LoadEntries({{"A", "a"}, {"B", "b"}});
  const std::string before = env.dir.Read(kDataFileName);
  form.OnToolbarClick(kTagNew);                               // Cancel
  env.dialogs.inputs.push_back("   ");
  form.OnMenuClick(MenuArray::Texte, menu_item::kNeu);        // blanks only
  form.OnToolbarClick(kTagRename);                            // Cancel
  env.dialogs.answers.push_back(MsgResult::No);
  form.OnToolbarClick(kTagDelete);                            // No
  EXPECT_FALSE(Locked());
  EXPECT_EQ(IniDocument::Parse(env.dir.Read(kDataFileName)).Serialize(),
            IniDocument::Parse(before).Serialize() + "[Common]\r\nLock=\r\n");
  EXPECT_EQ(view.listRows, (std::vector<std::string>{"A", "B"}));
}

TEST_F(MainFormTest, OperationsAreRefusedWhileAnotherUserHoldsTheLock) {
  LoadEntries({{"A", "a"}}, kForeignLock);
  const std::string before = env.dir.Read(kDataFileName);
  form.OnToolbarClick(kTagNew);
  form.OnToolbarClick(kTagRename);
  form.OnToolbarClick(kTagDelete);
  EXPECT_TRUE(env.dialogs.inputPrompts.empty());
  ASSERT_EQ(env.dialogs.shown.size(), 3u);
  EXPECT_EQ(env.dialogs.LastText(),
            "\xC3\x84nderungen sind zur Zeit nicht m\xC3\xB6glich, da die Daten bereits von \r"
            "''hbauer'' auf ''PC-LAGER'' bearbeitet werden.");
  EXPECT_EQ(env.dir.Read(kDataFileName), before);
}

TEST_F(MainFormTest, NewIsRefusedWhileTheOwnEditorHoldsTheLock) {
  LoadEntries({{"A", "a"}});
  view.Focus(FocusControl::Editor);
  form.OnMenuClick(MenuArray::Texte, menu_item::kNeu);
  EXPECT_NE(env.dialogs.LastText().find("''mkraus'' auf ''PC-EMPFANG''"), std::string::npos);
  EXPECT_TRUE(env.dialogs.inputPrompts.empty());
}

TEST_F(MainFormTest, RenameChangesOnlyTheName) {
  LoadEntries({{"Anrede", "a", "Word", 2}, {"Brief", "b"}});
  env.dialogs.inputs.push_back("  ANREDE ");
  form.OnToolbarClick(kTagRename);
  EXPECT_EQ(env.dialogs.inputPrompts,
            std::vector<std::string>{"Bitte geben Sie einen neuen Namen f\xC3\xBCr den Eintrag ''Anrede'' an:"});
  EXPECT_TRUE(env.dialogs.shown.empty());  // own name in other case: no question
  EXPECT_EQ(Value("Name", "1"), "ANREDE");
  EXPECT_EQ(Value("Text", "1"), "a");
  EXPECT_EQ(Value("Title", "1"), "Word");
  EXPECT_EQ(Value("DosBox", "1"), "2");
  EXPECT_FALSE(Locked());

  env.dialogs.inputs = {"brief", "Zebra"};
  env.dialogs.answers = {MsgResult::No};
  form.OnMenuClick(MenuArray::Texte, menu_item::kUmbenennen);
  EXPECT_EQ(Value("Name", "1"), "Zebra");
  EXPECT_EQ(view.listRows, (std::vector<std::string>{"Brief", "Zebra"}));
  EXPECT_EQ(SelectedName(), "Zebra");
  EXPECT_EQ(form.Rows()[form.CurrEntryListIndex()].Number, 1);
}

TEST_F(MainFormTest, DeleteMovesTheHighestEntryIntoTheHole) {
  LoadEntries({{"A", "a"}, {"B", "b", "Word", 1}, {"C", "c", "Excel", 2}});
  form.OnEntryListClick(Row("B"));
  env.dialogs.answers.push_back(MsgResult::Yes);
  form.OnToolbarClick(kTagDelete);
  const Message& q = env.dialogs.shown.at(0).message;
  EXPECT_EQ(q.text, "Wollen Sie den Eintrag 'B'\rwirklich l\xC3\xB6schen?");
  EXPECT_EQ(q.defaultButton, MsgResult::Yes);
  EXPECT_EQ(Value("Name", "2"), "C");
  EXPECT_EQ(Value("Text", "2"), "c");
  EXPECT_EQ(Value("Title", "2"), "Excel");
  EXPECT_EQ(Value("DosBox", "2"), "2");
  EXPECT_EQ(Value("Name", "3"), "");
  EXPECT_EQ(Value("Crypt", "3"), "0");
  EXPECT_EQ(Value("DosBox", "3"), "0");
  EXPECT_FALSE(Locked());
  EXPECT_EQ(view.listRows, (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(SelectedName(), "A");
  EXPECT_EQ(form.Rows()[Row("C")].Number, 2);

  // The list now agrees with the file: writing into "C" hits number 2.
  form.OnEntryListClick(Row("C"));
  view.Focus(FocusControl::SendMethod);
  form.OnSendMethodClick(0);
  EXPECT_EQ(Value("DosBox", "2"), "0");
  program.ReloadAll();
  EXPECT_EQ(view.listRows, (std::vector<std::string>{"A", "C"}));
}

TEST_F(MainFormTest, DeletingTheHighestAndTheOnlyEntry) {
  LoadEntries({{"A", "a"}, {"B", "b"}});
  form.OnEntryListClick(Row("B"));
  form.DeleteEntry();  // default button Yes
  EXPECT_EQ(Value("Name", "1"), "A");
  EXPECT_EQ(Value("Name", "2"), "");
  EXPECT_EQ(Value("Text", "2"), "");

  form.DeleteEntry();
  EXPECT_EQ(Value("Name", "1"), "");
  EXPECT_TRUE(view.listRows.empty());
  EXPECT_EQ(view.states, ControlStates{});
  program.ReloadAll();
  EXPECT_TRUE(form.Rows().empty());
}

TEST_F(MainFormTest, FailedWritesLeaveTheListAsTheFileIs) {
  LoadEntries({{"A", "a"}, {"B", "b"}});
  const std::string before = IniDocument::Parse(env.dir.Read(kDataFileName)).Serialize();
  const std::vector<std::function<void()>> operations = {
      [&] {
        env.dialogs.inputs.push_back("C");
        form.NewEntry();
      },
      [&] {
        env.dialogs.inputs.push_back("D");
        form.RenameEntry();
      },
      [&] { form.DeleteEntry(); },
  };
  for (const auto& operation : operations) {
    env.dialogs.shown.clear();
    FailWriteAfterLock();
    operation();
    EXPECT_TRUE(env.files.replaceFailures.empty()) << "the failure reached the operation's write";
    ASSERT_FALSE(env.dialogs.shown.empty());
    EXPECT_NE(env.dialogs.LastText().find("Es wurde nichts gespeichert."), std::string::npos);
    EXPECT_EQ(view.listRows, (std::vector<std::string>{"A", "B"}));
    EXPECT_FALSE(Locked());
  }
  EXPECT_EQ(IniDocument::Parse(env.dir.Read(kDataFileName)).Serialize(),
            before + "[Common]\r\nLock=\r\n");
}

}  // namespace
}  // namespace zelvo
