#include "store/data_file.h"

#include "store_fixture.h"

namespace zelvo {
namespace {

using DataFileTest = StoreTest;

TEST_F(DataFileTest, MissingFileReadsEmptyAndFirstWriteCreatesIt) {
  EXPECT_EQ(file.GetIni("Name", "1", "dflt"), "dflt");
  EXPECT_TRUE(file.WriteIni("Name", "1", "Gruß"));
  EXPECT_EQ(FileBytes(), "[Name]\r\n1=Gru\xDF\r\n");
  EXPECT_TRUE(env.dialogs.shown.empty());
}

TEST_F(DataFileTest, UpdateKeepsForeignLinesAndWritesOnlyWhenChanged) {
  WriteFile("; von Hand\r\n[Name]\r\n1=eins\r\n");
  EXPECT_TRUE(file.WriteIni("Name", "1", "eins"));
  EXPECT_EQ(env.files.replaces, 0);
  EXPECT_TRUE(file.WriteIni("Name", "2", "zwei"));
  EXPECT_EQ(env.files.replaces, 1);
  EXPECT_EQ(FileBytes(), "; von Hand\r\n[Name]\r\n1=eins\r\n2=zwei\r\n");
}

TEST_F(DataFileTest, EveryReadSeesTheFileAsItIsNow) {
  WriteFile("[Name]\r\n1=eins\r\n");
  const auto first = file.Read();
  const auto again = file.Read();
  ASSERT_TRUE(first && again);
  EXPECT_TRUE(first->Identity() && first->Identity() == again->Identity()) << "unchanged: one parse";

  WriteFile("[Name]\r\n1=zwei\r\n");  // same length, as another PC might write
  const auto changed = file.Read();
  ASSERT_TRUE(changed);
  EXPECT_EQ(changed->Get("Name", "1"), "zwei");
  EXPECT_NE(changed->Identity(), first->Identity());

  auto edited = *changed;
  edited.Set("Name", "1", "drei");
  EXPECT_FALSE(edited.Identity()) << "a changed copy is no longer the file's parse";
  EXPECT_EQ(file.Read()->Get("Name", "1"), "zwei") << "editing a copy leaves the next read alone";
}

TEST_F(DataFileTest, GarbageFileIsReportedAndNeverWritten) {
  const std::string garbage("\xFF\xFE[\0N\0a\0m\0e\0]\0", 14);
  env.dir.Write(kDataFileName, garbage);
  EXPECT_FALSE(file.Read().has_value());
  ASSERT_EQ(env.dialogs.shown.size(), 1u);
  EXPECT_NE(env.dialogs.LastText().find(file.Path()), std::string::npos);
  EXPECT_EQ(env.dialogs.shown[0].message.icon, MsgIcon::Error);

  EXPECT_FALSE(file.WriteIni("Name", "1", "x"));
  EXPECT_NE(env.dialogs.LastText().find("Es wurde nichts gespeichert."), std::string::npos);
  EXPECT_EQ(FileBytes(), garbage);
}

TEST_F(DataFileTest, UnreadableFileIsReportedAndNeverWritten) {
  WriteFile("[Name]\r\n1=eins\r\n");
  env.files.readFailures = {FileError::AccessDenied};
  EXPECT_EQ(file.GetIni("Name", "1", "dflt"), "dflt");
  EXPECT_NE(env.dialogs.LastText().find("konnte nicht gelesen werden"), std::string::npos);
  env.files.readFailures = {FileError::Other};
  EXPECT_FALSE(file.WriteIni("Name", "1", "neu"));
  EXPECT_EQ(env.files.replaces, 0);
  EXPECT_EQ(Value("Name", "1"), "eins");
}

TEST_F(DataFileTest, ReadOnlyFileShowsMessageAndStaysUnchanged) {
  WriteFile("[Name]\r\n1=eins\r\n");
  const std::string before = FileBytes();
  MakeReadOnly();
  EXPECT_FALSE(file.WriteIni("Name", "1", "neu"));
  ASSERT_EQ(env.dialogs.shown.size(), 1u);
  const std::string text = env.dialogs.LastText();
  EXPECT_NE(text.find(file.Path()), std::string::npos);
  EXPECT_NE(text.find("schreibgeschützt"), std::string::npos);
  EXPECT_NE(text.find("Es wurde nichts gespeichert."), std::string::npos);
  EXPECT_EQ(FileBytes(), before);
}

TEST_F(DataFileTest, WriteFailuresNameTheirCause) {
  const std::pair<FileError, const char*> cases[] = {
      {FileError::Unreachable, "Netzlaufwerk"},
      {FileError::DiskFull, "Speicherplatz"},
      {FileError::SharingViolation, "anderen Programm"},
      {FileError::Other, "unerwarteter Fehler"},
  };
  for (auto [error, phrase] : cases) {
    env.dialogs.shown.clear();
    env.files.replaceFailures.assign(6, error);
    EXPECT_FALSE(file.WriteIni("Name", "1", "x"));
    EXPECT_NE(env.dialogs.LastText().find(phrase), std::string::npos) << phrase;
  }
  EXPECT_EQ(FileBytes(), "");
}

TEST_F(DataFileTest, SharingViolationsAreRetriedWithGrowingWaits) {
  env.files.replaceFailures = {FileError::SharingViolation, FileError::SharingViolation,
                               FileError::SharingViolation};
  EXPECT_TRUE(file.WriteIni("Name", "1", "eins"));
  EXPECT_EQ(env.clock.sleeps, (std::vector<int>{10, 20, 40}));
  EXPECT_EQ(Value("Name", "1"), "eins");

  env.clock.sleeps.clear();
  env.files.replaceFailures.assign(6, FileError::SharingViolation);
  EXPECT_FALSE(file.WriteIni("Name", "1", "zwei"));
  EXPECT_EQ(env.clock.sleeps, (std::vector<int>{10, 20, 40, 80, 160}));
}

TEST_F(DataFileTest, ChangeByAnOlderVersionMeanwhileIsKept) {
  WriteFile("[Name]\r\n1=eins\r\n");
  // An unlocked writer changes the file right after our locked read.
  env.files.afterRead = [&](int n) {
    if (n == 2) env.dir.Write(kDataFileName, "[Name]\r\n1=eins\r\n2=fremd\r\n");
  };
  EXPECT_TRUE(file.WriteIni("Name", "3", "unser"));
  EXPECT_EQ(Value("Name", "2"), "fremd");
  EXPECT_EQ(Value("Name", "3"), "unser");
  EXPECT_EQ(env.files.replaces, 1);
}

TEST_F(DataFileTest, LockFailureCountsAsWriteFailure) {
  env.files.lockFailures = {FileError::AccessDenied};
  EXPECT_FALSE(file.WriteIni("Name", "1", "x"));
  EXPECT_NE(env.dialogs.LastText().find("Zugriff verweigert"), std::string::npos);
}

TEST_F(DataFileTest, OneReadPerRead) {
  WriteFile("[Name]\r\n1=eins\r\n");
  const long before = file.ReadCount();
  file.Read();
  EXPECT_EQ(file.ReadCount(), before + 1);
}

}  // namespace
}  // namespace zelvo
