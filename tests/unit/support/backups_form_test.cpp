// The "Sicherungen" window's form over the program, a real data file and
// its backups folder.
#include "support/backups_form.h"

#include "../mainwindow/main_form_fixture.h"

namespace zelvo {
namespace {

class FakeBackupsView : public BackupsView {
 public:
  void ShowBackups(const std::vector<std::string>& l) override { lines = l; }
  void ShowChanges(const std::string& text) override { changes = text; }
  void ShowEntries(const std::vector<std::string>& n) override { names = n; }
  int SelectedBackup() override { return row; }
  std::optional<std::string> SelectedEntry() override { return entry; }
  void SelectBackup(int r) override { row = r; }

  std::vector<std::string> lines, names;
  std::string changes;
  int row = -1;
  std::optional<std::string> entry;
};

class BackupsFormTest : public MainFormTest {
 protected:
  FakeBackupsView backupsView;
  BackupsForm backups{program, backupsView};

  std::vector<std::string> FileNames() {
    std::vector<std::string> names;
    for (const EntryListItem& e : program.entryList().entries) names.push_back(e.Name);
    return names;
  }
  void Rename(int number, const std::string& name) {
    ASSERT_TRUE(program.dataFile().WriteIni(kFieldName, std::to_string(number), name));
  }
};

TEST_F(BackupsFormTest, ListsNewestFirstShowsTheChangeAndRestoresWholeOrOneEntry) {
  backups.OnLoad();
  EXPECT_TRUE(backupsView.lines.empty());
  EXPECT_EQ(backupsView.changes, "Es gibt noch keine Sicherungen der Datendatei.");

  env.clock.Set(2026, 12, 7, 13, 0, 0);
  LoadEntries({{"Anrede", "Hallo"}, {"Brief", "Text"}, {"Christbaum", "Frohes Fest"}});
  backups.OnLoad();
  const std::size_t before = backupsView.lines.size();  // the first start may have written
  env.clock.Set(2026, 12, 7, 14, 5, 9);
  Rename(2, "Briefkopf");
  backups.OnLoad();
  ASSERT_EQ(backupsView.lines.size(), before + 1);
  EXPECT_EQ(backupsView.lines[0], "07.12.2026\t14:05:09\tmkraus\tPC-EMPFANG\t3 Eintr\xC3\xA4ge");
  EXPECT_EQ(backupsView.row, 0);
  EXPECT_EQ(backupsView.names, (std::vector<std::string>{"Anrede", "Brief", "Christbaum"}));
  EXPECT_NE(backupsView.changes.find("Briefkopf \xE2\x86\x92 Brief"), std::string::npos) << backupsView.changes;

  // Restoring asks first; "No" changes nothing.
  env.dialogs.answers.push_back(MsgResult::No);
  backups.OnRestoreAll();
  EXPECT_EQ(Value(kFieldName, "2"), "Briefkopf");
  env.dialogs.answers.push_back(MsgResult::Yes);
  backups.OnRestoreAll();
  EXPECT_EQ(Value(kFieldName, "2"), "Brief");
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"Anrede", "Brief", "Christbaum"})) << "the list reloads";
  EXPECT_EQ(backupsView.lines.size(), before + 2) << "the version replaced is kept too";
  EXPECT_FALSE(Locked());

  // One entry back from the newest backup that has it, as a new entry.
  env.clock.Set(2026, 12, 7, 15, 0, 0);
  ASSERT_TRUE(program.dataFile().Update([](IniDocument& doc) {
    doc.Set(kFieldName, "3", "");
    return true;
  }));
  backups.OnLoad();
  backupsView.entry = "Christbaum";
  backups.OnRestoreEntry();
  EXPECT_EQ(Value(kFieldName, "3"), "Christbaum");
  EXPECT_EQ(Value(kFieldText, "3"), "Frohes Fest");
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"Anrede", "Brief", "Christbaum"}));
}

TEST_F(BackupsFormTest, AnUnreadableBackupIsListedWithoutItsCount) {
  LoadEntries({{"Anrede", "Hallo"}});
  Rename(1, "Gruß");
  // The count's read and the selection's read of the one backup fail.
  env.files.readFailures = {FileError::AccessDenied, FileError::AccessDenied};
  backups.OnLoad();
  ASSERT_EQ(backupsView.lines.size(), 1u);
  EXPECT_EQ(backupsView.lines[0].substr(backupsView.lines[0].rfind('\t')), "\t? Eintr\xC3\xA4ge");
  EXPECT_EQ(backupsView.changes, "Diese Sicherung kann nicht gelesen werden.");
  EXPECT_TRUE(backupsView.names.empty());
  EXPECT_TRUE(env.dialogs.shown.empty());
}

}  // namespace
}  // namespace zelvo
