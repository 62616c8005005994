#include "store/data_file.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>

#include "store_fixture.h"

namespace zelvo {
namespace {

using DataFileTest = StoreTest;

// Names of everything in a folder.
std::set<std::string> FolderContents(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.insert(e.path().filename());
  return names;
}

// Runs `check` in a child process: false when it fails, or when it has not
// finished within ten seconds (a read that waits for ever).
bool PassesWithoutHanging(const std::function<bool()>& check) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(check() ? 0 : 1);
  for (int waited = 0; waited < 10000; waited += 10) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    ::usleep(10000);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  return false;
}

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
  EXPECT_TRUE(first->Fingerprint() && first->Fingerprint() == again->Fingerprint()) << "same bytes, same fingerprint";

  WriteFile("[Name]\r\n1=zwei\r\n");  // same length, as another PC might write
  const auto changed = file.Read();
  ASSERT_TRUE(changed);
  EXPECT_EQ(changed->Get("Name", "1"), "zwei");
  EXPECT_NE(changed->Fingerprint(), first->Fingerprint());

  auto edited = *changed;
  edited.Set("Name", "1", "drei");
  EXPECT_FALSE(edited.Fingerprint()) << "a changed copy is no longer the file's parse";
  EXPECT_EQ(file.Read()->Get("Name", "1"), "zwei") << "editing a copy leaves the next read alone";

  // A UTF-8 file is kept without its mark; the mark still tells it apart.
  WriteFile("\xEF\xBB\xBF[Name]\r\n1=zwei\r\n");
  const auto marked = file.Read();
  ASSERT_TRUE(marked);
  EXPECT_NE(marked->Fingerprint(), changed->Fingerprint());
  EXPECT_EQ(file.Read()->Fingerprint(), marked->Fingerprint());
  WriteFile("[Name]\r\n1=zwei\r\n");
  EXPECT_NE(file.Read()->Fingerprint(), marked->Fingerprint());

  // A reload of bytes it knows gets no document; any change gets one.
  bool unchanged = false;
  std::string failure;
  EXPECT_FALSE(file.ReadIfChanged(changed->Fingerprint(), unchanged, failure));
  EXPECT_TRUE(unchanged);
  WriteFile("[Name]\r\n1=Zwei\r\n");
  const auto again2 = file.ReadIfChanged(changed->Fingerprint(), unchanged, failure);
  ASSERT_TRUE(again2);
  EXPECT_FALSE(unchanged);
  EXPECT_EQ(again2->Get("Name", "1"), "Zwei");
  EXPECT_EQ(failure, "");
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
  // The same check whether the file is replaced or written in place.
  for (const bool folderAllowsNewFiles : {true, false}) {
    SCOPED_TRACE(folderAllowsNewFiles ? "replaced" : "in place");
    env.files.folderAllowsNewFiles = folderAllowsNewFiles;
    env.files.reads = 0;
    WriteFile("[Name]\r\n1=eins\r\n");
    // An unlocked writer changes the file right after our locked read.
    env.files.afterRead = [&](int n) {
      if (n == 2) env.dir.Write(kDataFileName, "[Name]\r\n1=eins\r\n2=fremd\r\n");
    };
    EXPECT_TRUE(file.WriteIni("Name", "3", "unser"));
    EXPECT_EQ(Value("Name", "2"), "fremd");
    EXPECT_EQ(Value("Name", "3"), "unser");
  }
  EXPECT_EQ(env.files.inPlaceWrites, 1);
}

TEST_F(DataFileTest, FolderWithoutRightToCreateFilesIsWrittenInPlace) {
  struct Row {
    const char* name;
    bool lockFileExists;  // made earlier by someone with more rights
    bool locksWork;
  };
  const Row rows[] = {
      {"the lock lies on the data file", false, true},
      {"the existing lock file is locked", true, true},
      {"a share without locks still saves", false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    file.SetPath(dir.File(kDataFileName));
    dir.Write(kDataFileName, "[Name]\r\n1=eins\r\n");
    if (row.lockFileExists) dir.Write(std::string(kDataFileName) + ".lock", "");
    const std::set<std::string> before = FolderContents(dir.Path());
    env.files.folderAllowsNewFiles = false;
    env.files.locksWork = row.locksWork;
    env.files.inPlaceWrites = 0;

    EXPECT_TRUE(file.WriteIni("Name", "2", "zwei mit einem langen Text"));
    EXPECT_TRUE(file.WriteIni("Name", "2", "kurz"));  // the file shrinks
    EXPECT_EQ(dir.Read(kDataFileName), "[Name]\r\n1=eins\r\n2=kurz\r\n");
    EXPECT_EQ(env.files.inPlaceWrites, 2);
    EXPECT_EQ(FolderContents(dir.Path()), before) << "no file was made";
    for (const auto& s : env.dialogs.shown)  // only that no backup can be kept here
      EXPECT_NE(s.message.text.find("keine Sicherung"), std::string::npos) << s.message.text;
  }
}

TEST_F(DataFileTest, FolderWithoutRightToCreateFilesNeverWritesAReadOnlyOrMissingFile) {
  env.files.folderAllowsNewFiles = false;
  EXPECT_FALSE(file.WriteIni("Name", "1", "neu"));
  EXPECT_NE(env.dialogs.LastText().find("Zugriff verweigert"), std::string::npos);
  EXPECT_TRUE(FolderContents(env.dir.Path()).empty());

  WriteFile("[Name]\r\n1=eins\r\n");
  MakeReadOnly();
  EXPECT_FALSE(file.WriteIni("Name", "1", "neu"));
  EXPECT_NE(env.dialogs.LastText().find("schreibgeschützt"), std::string::npos);
  EXPECT_EQ(FileBytes(), "[Name]\r\n1=eins\r\n");
}

TEST_F(DataFileTest, ShareWithoutLocksStillSaves) {
  env.files.locksWork = false;
  EXPECT_TRUE(file.WriteIni("Name", "1", "eins"));
  EXPECT_EQ(Value("Name", "1"), "eins");
  EXPECT_EQ(env.files.replaces, 1);
}

TEST_F(DataFileTest, DataPathThatIsNoFileIsRefusedAtOnce) {
  const std::string path = file.Path();
  const std::pair<const char*, std::function<void()>> rows[] = {
      {"pipe", [&] { ::mkfifo(path.c_str(), 0666); }},
      {"folder", [&] { ::mkdir(path.c_str(), 0777); }},
      {"link to a device", [&] { ::symlink("/dev/null", path.c_str()); }},
  };
  for (const auto& [name, make] : rows) {
    SCOPED_TRACE(name);
    std::filesystem::remove_all(path);
    make();
    EXPECT_TRUE(PassesWithoutHanging([&] {
      const bool readRefused = !file.Read() && env.dialogs.LastText().find("keine gewöhnliche Datei") != std::string::npos;
      const bool writeRefused = !file.WriteIni("Name", "1", "x") && env.dialogs.shown.size() == 2;
      return readRefused && writeRefused;
    }));
    EXPECT_FALSE(std::filesystem::is_regular_file(path));
    EXPECT_EQ(FolderContents(env.dir.Path()), std::set<std::string>{kDataFileName});
  }
}

TEST_F(DataFileTest, SymbolicLinkIsWrittenThroughToItsTarget) {
  namespace fs = std::filesystem;
  fs::create_directories(env.dir.File("echt/tiefer"));
  const std::string target = env.dir.File("echt/tiefer/Daten.ini");
  const std::string link = file.Path();
  struct Row {
    const char* name;
    std::function<void()> make;
  } rows[] = {
      {"absolute", [&] { fs::create_symlink(target, link); }},
      {"relative", [&] { fs::create_symlink("echt/tiefer/Daten.ini", link); }},
      {"chain", [&] {
         fs::create_symlink("tiefer/Daten.ini", env.dir.File("echt/zwischen.ini"));
         fs::create_symlink("echt/zwischen.ini", link);
       }},
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove(link);
    fs::remove(env.dir.File("echt/zwischen.ini"));
    row.make();
    const std::string value = "Wert " + std::to_string(++n);
    EXPECT_TRUE(file.WriteIni("Name", "1", value));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(IniDocument::Parse(env.dir.Read("echt/tiefer/Daten.ini")).Get("Name", "1"), value);
    EXPECT_EQ(file.GetIni("Name", "1"), value);
    EXPECT_EQ(FolderContents(env.dir.File("echt/tiefer")),
              (std::set<std::string>{"Daten.ini", "Daten.ini.lock"}));
  }
}

TEST_F(DataFileTest, OldTemporaryFilesOfKilledWritersAreRemoved) {
  struct Row {
    const char* name;
    int ageMinutes;  // < 0: a folder
    bool removed;
  };
  const Row rows[] = {
      {"Zelvoscript.ini.4711-1.tmp", 120, true},
      {"zelvoscript.INI.4711-2.TMP", 120, true},
      {"Zelvoscript.ini.4711-3.tmp", 10, false},  // a slow writer may still be at work
      {"Zelvoscript.ini.sicherung.tmp", 120, false},
      {"Zelvoscript.ini.4711-.tmp", 120, false},
      {"Zelvoscript.ini.4711-5.tmp.txt", 120, false},
      {"Andere.ini.4711-6.tmp", 120, false},
      {"Zelvoscript.ini.4711-7.tmp", -120, false},
  };
  const auto now = std::filesystem::file_time_type::clock::now();
  for (const Row& row : rows) {
    const std::string path = env.dir.File(row.name);
    if (row.ageMinutes < 0)
      std::filesystem::create_directory(path);
    else
      env.dir.Write(row.name, "halb");
    std::filesystem::last_write_time(path, now - std::chrono::minutes(std::abs(row.ageMinutes)));
  }
  EXPECT_TRUE(file.WriteIni("Name", "1", "eins"));
  for (const Row& row : rows)
    EXPECT_EQ(std::filesystem::exists(env.dir.File(row.name)), !row.removed) << row.name;
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
