#include "store/data_lock.h"

#include <regex>

#include "store_fixture.h"

namespace zelvo {
namespace {

class DataLockTest : public StoreTest {
 protected:
  DataLock lock{services, file};
};

TEST_F(DataLockTest, AcquireOnFreeFileWritesFourFieldRecord) {
  EXPECT_FALSE(lock.IsLocked());
  EXPECT_FALSE(lock.AcquireLock());
  const std::string record = Value("Common", "Lock");
  EXPECT_TRUE(std::regex_match(record, std::regex("mkraus;PC-EMPFANG;07\\.12\\.2026 14:05:09;[0-9]{16}")))
      << record;
  EXPECT_EQ(lock.OwnLockValue(), record);
  EXPECT_EQ(env.random.reseeds, std::vector<double>{env.clock.secondsSinceMidnight});
  EXPECT_TRUE(lock.IsLocked());
  EXPECT_EQ(lock.LockField(0), record);
  EXPECT_EQ(lock.LockField(2), "PC-EMPFANG");
  EXPECT_EQ(lock.LockField(5), "");
  EXPECT_TRUE(env.dialogs.shown.empty());
}

TEST_F(DataLockTest, RandomDigitsRoundHalfToEven) {
  // 48 + 9r: r = 0 -> "0", r = 0.5 -> 52.5 -> "4" (even), r = 0.99 -> "9".
  env.random.values = {0.0, 0.5, 0.99, 1.5 / 9};
  env.random.constant = 0;
  ASSERT_FALSE(lock.AcquireLock());
  EXPECT_EQ(lock.LockField(4), "0492000000000000");
}

TEST_F(DataLockTest, ForeignLockIsRefusedWithMessageAndKept) {
  WriteFile("[Common]\r\nLock=hbauer;PC-BUCHHALTUNG;06.12.2026 09:00:00;1234567890123456\r\n");
  const std::string before = FileBytes();
  EXPECT_TRUE(lock.AcquireLock());
  ASSERT_EQ(env.dialogs.shown.size(), 1u);
  EXPECT_EQ(env.dialogs.LastText(),
            "Änderungen sind zur Zeit nicht möglich, da die Daten bereits von \r''hbauer'' auf "
            "''PC-BUCHHALTUNG'' bearbeitet werden.");
  EXPECT_EQ(env.dialogs.shown[0].message.icon, MsgIcon::Information);
  EXPECT_EQ(FileBytes(), before);
  EXPECT_EQ(lock.OwnLockValue(), "");
}

TEST_F(DataLockTest, OwnLockIsRefusedToo) {
  ASSERT_FALSE(lock.AcquireLock());
  EXPECT_TRUE(lock.AcquireLock());
  EXPECT_NE(env.dialogs.LastText().find("''mkraus'' auf ''PC-EMPFANG''"), std::string::npos);
}

TEST_F(DataLockTest, UnknownNamesAndSemicolonsInNames) {
  env.system.userName = "";
  env.system.computerName = std::string("\0x", 2);
  ASSERT_FALSE(lock.AcquireLock());
  EXPECT_EQ(lock.LockField(1), "(Anwender unbekannt)");
  EXPECT_EQ(lock.LockField(2), "(Computer unbekannt)");

  DataLock other(services, file);
  env.system.userName = "a;b";
  lock.ReleaseLock(false);
  ASSERT_FALSE(other.AcquireLock());
  EXPECT_EQ(other.LockField(2), "b");  // the name shifts the fields, as it always did
}

TEST_F(DataLockTest, ReleaseOnlyOwnUnlessForced) {
  const std::string foreign = "hbauer;PC2;06.12.2026 09:00:00;1234567890123456";
  WriteFile("[Common]\r\nLock=" + foreign + "\r\n");
  lock.ReleaseLock(false);
  EXPECT_EQ(Value("Common", "Lock"), foreign);
  EXPECT_EQ(env.files.replaces, 0);
  lock.ReleaseLock(true);
  EXPECT_EQ(Value("Common", "Lock"), "");

  ASSERT_FALSE(lock.AcquireLock());
  lock.ReleaseLock(false);
  EXPECT_EQ(Value("Common", "Lock"), "");
  EXPECT_TRUE(env.dialogs.shown.empty());
}

TEST_F(DataLockTest, ReleaseOfNothingOnReadOnlyShareIsQuiet) {
  WriteFile("[Common]\r\nLock=\r\n");
  MakeReadOnly();
  lock.ReleaseLock(false);
  lock.ReleaseLock(true);
  EXPECT_TRUE(env.dialogs.shown.empty());
}

TEST_F(DataLockTest, FailedWriteCountsAsRefused) {
  WriteFile("[Common]\r\nLock=\r\n");
  MakeReadOnly();
  EXPECT_TRUE(lock.AcquireLock());
  EXPECT_EQ(lock.OwnLockValue(), "");
  ASSERT_EQ(env.dialogs.shown.size(), 1u);
  EXPECT_NE(env.dialogs.LastText().find("Es wurde nichts gespeichert."), std::string::npos);
}

// The file holds Windows-1252: "Şahin" comes back as "?ahin". The release
// recognises the record as the file holds it, for user and PC names alike.
TEST_F(DataLockTest, RecordWithNamesOutsideTheCodePageIsReleased) {
  const std::string longName(300, 'x');
  const std::pair<std::string, std::string> names[] = {
      {"Şahin", "PC-EMPFANG"}, {"Łukasz", "PC-EMPFANG"}, {"mkraus", "Jiří-PC"},
      {"Jiří", "BÜRO-Ł"},     {longName + "ł", longName}, {" Łukasz ", "PC"}};
  for (const auto& [user, pc] : names) {
    env.system.userName = user;
    env.system.computerName = pc;
    ASSERT_FALSE(lock.AcquireLock()) << user;
    EXPECT_EQ(lock.OwnLockValue(), Value("Common", "Lock")) << user;
    EXPECT_EQ(Utf8ToCp1252(lock.LockField(1)), Utf8ToCp1252(user)) << user;  // never cut
    lock.ReleaseLock(false);
    EXPECT_EQ(Value("Common", "Lock"), "") << user;
    EXPECT_FALSE(lock.AcquireLock()) << "not refused by its own old record: " << user;
    lock.ReleaseLock(false);
  }
  EXPECT_TRUE(env.dialogs.shown.empty());
}

// The editor takes the lock on focus and nobody uses the result: on a
// read-only share that stays quiet, and the release then touches nothing.
TEST_F(DataLockTest, QuietAcquireOnReadOnlyShareAndReleaseOfNothingHeld) {
  WriteFile("[Common]\r\nLock=\r\n");
  MakeReadOnly();
  EXPECT_TRUE(lock.AcquireLock(true));
  EXPECT_FALSE(lock.Held());
  const int reads = env.files.readAttempts[file.Path()];
  lock.ReleaseLock(false);
  EXPECT_EQ(env.files.readAttempts[file.Path()], reads);
  EXPECT_TRUE(env.dialogs.shown.empty());

  // Someone else's record is named all the same.
  ::chmod(file.Path().c_str(), 0644);
  WriteFile("[Common]\r\nLock=hbauer;PC2;x;1\r\n");
  EXPECT_TRUE(lock.AcquireLock(true));
  EXPECT_NE(env.dialogs.LastText().find("''hbauer'' auf ''PC2''"), std::string::npos);
}

TEST_F(DataLockTest, RemoveLockDialog) {
  lock.RemoveLockDialog();
  EXPECT_EQ(env.dialogs.LastText(), "Es liegt keine Datensperre vor.");
  EXPECT_FALSE(env.files.IsRegularFile(file.Path()));

  const std::string record = "hbauer;PC2;06.12.2026 09:00:00;1234567890123456";
  WriteFile("[Common]\r\nLock=" + record + "\r\n");
  env.dialogs.answers = {MsgResult::No, MsgResult::Yes};
  lock.RemoveLockDialog();
  const Message& q = env.dialogs.shown.back().message;
  EXPECT_EQ(q.text,
            "Diese Funktion ist für Notfälle gedacht, in denen die Daten gesperrt sind, obwohl kein "
            "Anwender aktuell Änderungen daran durchführt.\r\rBitte beachten Sie, dass es bei "
            "unsachgemässer Verwendung dieser Funktion zu Datenverlust kommen kann.\r\rDie Daten "
            "wurden zuletzt am 06.12.2026 09:00:00 wegen Zugriffs von ''hbauer'' mit PC ''PC2'' "
            "gesperrt.\r\rWollen Sie die Sperre jetzt aufheben?");
  EXPECT_EQ(q.icon, MsgIcon::Warning);
  EXPECT_EQ(q.buttons, MsgButtons::YesNo);
  EXPECT_EQ(q.defaultButton, MsgResult::No);
  EXPECT_EQ(Value("Common", "Lock"), record);

  lock.RemoveLockDialog();
  EXPECT_EQ(Value("Common", "Lock"), "");
}

TEST_F(DataLockTest, RemoveLockDialogLeavesALockTakenWhileAsking) {
  WriteFile("[Common]\r\nLock=hbauer;PC2;x;1\r\n");
  struct Racing : FakeDialogs {
    std::function<void()> meanwhile;
    MsgResult Show(const std::string& t, const Message& m) override {
      meanwhile();
      return MsgResult::Yes;
    }
  } dialogs;
  dialogs.meanwhile = [&] { WriteFile("[Common]\r\nLock=neu;PC3;y;2\r\n"); };
  Services s{env.files, env.clock, env.random, env.settings, dialogs, env.system};
  DataLock(s, file).RemoveLockDialog();
  EXPECT_EQ(Value("Common", "Lock"), "neu;PC3;y;2");
}

}  // namespace
}  // namespace zelvo
