#include "store/history.h"

#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <set>

#include "store_fixture.h"

namespace zelvo {
namespace {

class HistoryTest : public StoreTest {
 protected:
  // Minutes after a fixed Monday morning, as the fake clock's local time.
  static LocalTime At(long long minutes) {
    const std::time_t base = 1796457600;  // 2026-12-07 08:00:00 UTC
    const std::time_t t = base + minutes * 60;
    std::tm tm{};
    ::gmtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_wday};
  }

  // One saving change by `user` at `minutes`.
  void WriteAs(const std::string& user, long long minutes) {
    env.clock.now = At(minutes);
    env.system.userName = user;
    ASSERT_TRUE(file.WriteIni("Name", "1", "Fassung " + std::to_string(++writes_)));
  }

  std::vector<BackupInfo> Backups() {
    std::vector<BackupInfo> list;
    EXPECT_EQ(ListBackups(env.files, file.Path(), list), FileError::None);
    return list;
  }

  // "user@minute" of every backup, oldest first.
  std::vector<std::string> Kept() {
    std::vector<std::string> labels;
    const long long base = SerialSeconds(At(0));
    const auto list = Backups();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
      labels.push_back(it->user + "@" + std::to_string((SerialSeconds(it->time) - base) / 60));
    return labels;
  }

  int writes_ = 0;
};

TEST_F(HistoryTest, BackupIsTheExactVersionReplacedAndNamesTheWriter) {
  const std::string old = "; von Hand\n[Name]\n1=Gr\xFC\xDF" "e\n";  // LF lines, 1252
  env.dir.Write(kDataFileName, old);
  env.system.userName = "anna_m.";
  env.system.computerName = "PC:2%";
  ASSERT_TRUE(file.WriteIni("Name", "1", "neu"));
  const auto list = Backups();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].fileName, "2026-12-07_14-05-09_anna%5Fm%2E_PC%3A2%25.ini");
  EXPECT_EQ(list[0].user, "anna_m.");
  EXPECT_EQ(list[0].pc, "PC:2%");
  EXPECT_EQ(env.dir.Read(std::string(kBackupFolderName) + "/" + list[0].fileName), old);
  EXPECT_TRUE(env.dialogs.shown.empty());
}

TEST_F(HistoryTest, NoBackupForAFirstFileOrForLockOnlyWrites) {
  ASSERT_TRUE(file.WriteIni("Name", "1", "eins"));  // no file before: nothing to keep
  DataLock lock{services, file};
  ASSERT_FALSE(lock.AcquireLock());
  lock.ReleaseLock(false);
  EXPECT_TRUE(Backups().empty());
}

TEST_F(HistoryTest, PruningKeepsTheExpectedBackups) {
  struct Write {
    const char* user;
    long long minute;
  };
  constexpr long long kDayMin = 24 * 60;
  struct Case {
    const char* name;
    std::vector<Write> writes;  // the first only creates the file
    std::vector<std::string> kept;
  } cases[] = {
      {"one user's run keeps the state before the first change",
       {{"a", 0}, {"a", 1}, {"a", 3}, {"a", 9}},
       {"a@1"}},
      {"a run ends ten minutes after its first change",
       {{"a", 0}, {"a", 1}, {"a", 5}, {"a", 11}, {"a", 12}},
       {"a@1", "a@11"}},
      {"another writer in between breaks the run",
       {{"a", 0}, {"a", 1}, {"b", 2}, {"a", 3}},
       {"a@1", "b@2", "a@3"}},
      {"after a day: the last of each day, up to 30 days",
       {{"a", 0}, {"a", 60}, {"b", 300}, {"a", kDayMin + 30}, {"b", 3 * kDayMin}},
       {"b@300", "a@1470", "b@4320"}},
      {"older than 30 days goes, the newest stays",
       {{"a", 0}, {"a", 1}, {"b", 40 * kDayMin}},
       {"b@57600"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(env.dir.File(kBackupFolderName));
    ::unlink(file.Path().c_str());
    for (const Write& w : c.writes) WriteAs(w.user, w.minute);
    EXPECT_EQ(Kept(), c.kept);
  }
}

TEST_F(HistoryTest, NeverMoreThan200Backups) {
  WriteAs("a", 0);
  for (int i = 1; i <= 205; ++i) WriteAs(i % 2 ? "a" : "b", i);
  const auto kept = Kept();
  ASSERT_EQ(kept.size(), 200u);
  EXPECT_EQ(kept.front(), "b@6");
  EXPECT_EQ(kept.back(), "a@205");
}

TEST_F(HistoryTest, BackupBeforeRestoreIsKeptWithinARun) {
  WriteAs("a", 0);
  WriteAs("a", 1);
  env.clock.now = At(2);
  ASSERT_TRUE(file.Update(
      [](IniDocument& doc) {
        doc.Set("Name", "1", "zurück");
        return true;
      },
      false, BackupKind::BeforeRestore));
  EXPECT_EQ(Kept(), (std::vector<std::string>{"a@1", "a@2"}));
}

TEST_F(HistoryTest, AFailingBackupNeverStopsTheSaveAndIsSaidOnce) {
  WriteFile("[Name]\r\n1=eins\r\n");
  env.files.writeNewFailures = {FileError::DiskFull, FileError::DiskFull};
  ASSERT_TRUE(file.WriteIni("Name", "1", "zwei"));
  ASSERT_TRUE(file.WriteIni("Name", "1", "drei"));
  EXPECT_EQ(Value("Name", "1"), "drei");
  ASSERT_EQ(env.dialogs.shown.size(), 1u);
  EXPECT_NE(env.dialogs.shown[0].message.text.find("keine Sicherung"), std::string::npos);
  EXPECT_NE(env.dialogs.shown[0].message.text.find("nicht genügend Speicherplatz"), std::string::npos);
  EXPECT_NE(file.BackupProblem().find("nicht genügend Speicherplatz"), std::string::npos);
  ASSERT_TRUE(file.WriteIni("Name", "1", "vier"));
  EXPECT_EQ(file.BackupProblem(), "") << "a backup that works again clears the problem";
  EXPECT_EQ(Backups().size(), 1u);
}

TEST_F(HistoryTest, FolderWithoutCreateRightsSavesInPlaceAndSaysNoBackupIsKept) {
  WriteFile("[Name]\r\n1=eins\r\n");
  env.files.folderAllowsNewFiles = false;
  ASSERT_TRUE(file.WriteIni("Name", "1", "zwei"));
  EXPECT_EQ(env.files.inPlaceWrites, 1);
  EXPECT_EQ(Value("Name", "1"), "zwei");
  ASSERT_EQ(env.dialogs.shown.size(), 1u);
  EXPECT_NE(env.dialogs.shown[0].message.text.find("keine Sicherung aufbewahrt"), std::string::npos);
}

TEST(BackupFileNameTest, ForeignAndBrokenNamesAreIgnored) {
  for (const char* name : {"notiz.txt", "2026-12-07_14-05-09_a.ini", "2026-13-07_14-05-09_a_b.ini",
                           "2026-12-07_14-05-09_a%4_b.ini", "2026-12-07_14-05-09_a_b_c.ini"})
    EXPECT_FALSE(ParseBackupFileName(name)) << name;
  const auto second = ParseBackupFileName("2026-12-07_14-05-09.2_a_b.ini");
  ASSERT_TRUE(second);
  EXPECT_EQ(second->time.second, 9);
  EXPECT_EQ(second->serial, 2);
}

}  // namespace
}  // namespace zelvo
