#include "store/restore.h"

#include "store/change_summary.h"
#include "store/history.h"
#include "store_fixture.h"

namespace zelvo {
namespace {

class RestoreTest : public StoreTest {
 protected:
  DataLock lock{services, file};
  SnippetStore store{services, file};

  std::vector<BackupInfo> Backups() {
    std::vector<BackupInfo> list;
    EXPECT_EQ(ListBackups(env.files, file.Path(), list), FileError::None);
    return list;
  }
  void Later(int minute) { env.clock.Set(2026, 12, 7, 15, minute, 0); }
};

constexpr const char* kTwo =
    "[Common]\r\nLock=\r\n[Name]\r\n1=Gruß\r\n2=Adresse\r\n[Crypt]\r\n1=0\r\n2=1\r\n"
    "[Text]\r\n1=Mit freundlichen Grüßen\r\n2=#5A3B2C\r\n[Title]\r\n1=\r\n2=\r\n[DosBox]\r\n1=0\r\n2=0\r\n";

TEST_F(RestoreTest, RestoreBringsBackTheExactBytesAndKeepsTheCurrentVersionFirst) {
  WriteFile(kTwo);
  const std::string original = FileBytes();
  ASSERT_EQ(store.DeleteEntry({"Gruß", 1}), EntryWrite::Written);
  const std::string afterDelete = FileBytes();
  const auto before = Backups();
  ASSERT_EQ(before.size(), 1u);

  Later(30);
  ASSERT_TRUE(RestoreBackup(services, file, lock, before[0].fileName));
  EXPECT_EQ(FileBytes(), original);
  EXPECT_FALSE(lock.Held());
  const auto after = Backups();
  ASSERT_EQ(after.size(), 2u);
  EXPECT_TRUE(after[0].beforeRestore);
  // The version replaced, with the restorer's own lock record in it.
  IniDocument kept = IniDocument::Parse(env.dir.Read(std::string(kBackupFolderName) + "/" + after[0].fileName));
  EXPECT_EQ(kept.Get("Common", "Lock").substr(0, 7), "mkraus;");
  kept.Set("Common", "Lock", "");
  EXPECT_EQ(kept.Serialize(), afterDelete);
}

TEST_F(RestoreTest, RestoreNeverBringsBackAStaleLockAndStopsAtAForeignOne) {
  // The backup holds the lock of the one who then wrote.
  WriteFile("[Common]\r\nLock=hbauer;PC-2;07.12.2026 09:00:00;1\r\n[Name]\r\n1=alt\r\n");
  ASSERT_TRUE(file.WriteIni("Name", "1", "neu"));
  WriteFile("[Common]\r\nLock=\r\n[Name]\r\n1=neu\r\n");
  ASSERT_TRUE(RestoreBackup(services, file, lock, Backups()[0].fileName));
  EXPECT_EQ(FileBytes(), "[Common]\r\nLock=\r\n[Name]\r\n1=alt\r\n");

  WriteFile("[Common]\r\nLock=hbauer;PC-2;07.12.2026 09:00:00;1\r\n[Name]\r\n1=neu\r\n");
  const std::string locked = FileBytes();
  EXPECT_FALSE(RestoreBackup(services, file, lock, Backups().back().fileName));
  EXPECT_EQ(FileBytes(), locked);
  EXPECT_NE(env.dialogs.LastText().find("hbauer"), std::string::npos);
}

TEST_F(RestoreTest, SingleEntryReturnsOverItsNameOrAsANewEntry) {
  WriteFile(kTwo);
  ASSERT_TRUE(file.WriteIni("Text", "2", "geändert"));  // keeps kTwo as a backup
  const std::string backup = Backups()[0].fileName;
  ASSERT_EQ(store.DeleteEntry({"Gruß", 1}), EntryWrite::Written);  // Adresse is now 1

  const auto adresse = RestoreEntry(services, file, lock, backup, "Adresse");
  for (const auto& s : env.dialogs.shown) ADD_FAILURE() << s.message.text;
  ASSERT_EQ(adresse, 1);
  EXPECT_EQ(Value("Text", "1"), "#5A3B2C") << "the ciphertext comes back as stored";
  const auto gruss = RestoreEntry(services, file, lock, backup, "Gruß");
  ASSERT_EQ(gruss, 2);
  EXPECT_EQ(Value("Name", "2"), "Gruß");
  EXPECT_EQ(Value("Text", "2"), "Mit freundlichen Grüßen");
  EXPECT_EQ(Value("Crypt", "2"), "0");
  EXPECT_FALSE(RestoreEntry(services, file, lock, backup, "Fehlt"));
  EXPECT_NE(env.dialogs.LastText().find("Fehlt"), std::string::npos);
  EXPECT_FALSE(lock.Held());
}

TEST(ChangeSummaryTest, ComparesEntriesByName) {
  const auto doc = [](const std::string& body) { return IniDocument::Parse(body); };
  struct Case {
    const char* name;
    std::string from, to;
    ChangeSummary expected;
  } cases[] = {
      {"nothing", "[Name]\n1=A\n[Text]\n1=a\n", "[Name]\n1=A\n[Text]\n1=a\n", {}},
      {"added and removed", "[Name]\n1=A\n2=B\n[Text]\n1=a\n2=b\n", "[Name]\n1=A\n2=C\n[Text]\n1=a\n2=c\n",
       {{"C"}, {"B"}, {}, {}}},
      {"moved to another number is no change", "[Name]\n1=A\n2=B\n[Text]\n1=a\n2=b\n",
       "[Name]\n1=B\n2=A\n[Text]\n1=b\n2=a\n", {}},
      {"text, title or send method changed", "[Name]\n1=A\n2=B\n3=C\n[Text]\n1=a\n",
       "[Name]\n1=A\n2=B\n3=C\n[Text]\n1=x\n[Title]\n2=Editor\n[DosBox]\n3=2\n", {{}, {}, {"A", "B", "C"}, {}}},
      {"renamed with the same content", "[Name]\n1=A\n[Text]\n1=a\n", "[Name]\n1=Z\n[Text]\n1=a\n",
       {{}, {}, {}, {{"A", "Z"}}}},
      {"entries after a gap do not count", "[Name]\n1=A\n3=B\n", "[Name]\n1=A\n", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SummarizeChanges(doc(c.from), doc(c.to)), c.expected);
  }
  EXPECT_EQ(DescribeChanges({{"C"}, {"B", "D"}, {}, {{"A", "Z"}}}),
            "Hinzugefügt: C\r\nGelöscht: B, D\r\nUmbenannt: A → Z");
}

}  // namespace
}  // namespace zelvo
