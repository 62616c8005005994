// Saving the data file with the Windows file layer (run under Wine): other
// programs holding it open, its attributes, folders that allow no new file,
// paths that are no file, leftovers of killed writers.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "platform/std_random.h"
#include "platform/win32/win32_app_settings.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_system_info.h"
#include "store/data_file.h"
#include "win32_test_support.h"

namespace zelvo {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

const std::string kIni = "[Name]\r\n1=Gr\xFC\xDF" "e\r\n";

// Records the messages instead of showing them.
struct QuietDialogs : Dialogs {
  std::vector<std::string> shown;
  MsgResult Show(const std::string&, const Message& m) override {
    shown.push_back(m.text);
    return MsgResult::Ok;
  }
  std::optional<std::string> InputBox(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> BrowseForFolder(const std::string&) override { return std::nullopt; }
};

// Waits for real and records each wait; `onSleep` runs before the first.
struct RecordingClock : Win32Clock {
  std::vector<int> sleeps;
  std::function<void()> onSleep;
  void SleepMs(int ms) override {
    if (onSleep) std::exchange(onSleep, nullptr)();
    sleeps.push_back(ms);
    Win32Clock::SleepMs(ms);
  }
};

// The real Windows file layer behind the data file.
class SavingTest : public ::testing::Test {
 protected:
  SavingTest() { file.SetPath(data); }

  TempFolder folder;
  std::string data = folder.File("Zelvoscript.ini");
  Win32FileSystem fs;
  RecordingClock clock;
  StdRandomSource random;
  Win32AppSettings settings;
  QuietDialogs dialogs;
  Win32SystemInfo system;
  Services services{fs, clock, random, settings, dialogs, system};
  DataFile file{services};
};

TEST_F(SavingTest, ReaderThatSharesDeleteDelaysTheSaveButNeverFailsIt) {
  // Another PC's read or a virus scanner: open with every kind of sharing.
  // Windows refuses to replace the file meanwhile ("access denied"), which
  // must count as busy: the save waits and retries once the reader is gone.
  // Wine replaces the file at once.
  WriteBytes(data, kIni);
  HANDLE reader = CreateFileW(Widen(data).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  clock.onSleep = [&] { CloseHandle(std::exchange(reader, INVALID_HANDLE_VALUE)); };
  EXPECT_TRUE(file.WriteIni("Name", "2", "neu"));
  if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_LE(clock.sleeps.size(), 1u);
  EXPECT_EQ(ReadBytes(data), kIni + "2=neu\r\n");
  EXPECT_EQ(folder.Files().size(), 3u) << "the data file, its lock file and the backups, no temporary file";
}

TEST_F(SavingTest, ReplaceKeepsTheFileAttributes) {
  WriteBytes(data, kIni);
  const DWORD kept = FILE_ATTRIBUTE_HIDDEN;
  ASSERT_TRUE(SetFileAttributesW(Widen(data).c_str(), kept));
  EXPECT_TRUE(file.WriteIni("Name", "2", "neu"));
  EXPECT_EQ(ReadBytes(data), kIni + "2=neu\r\n");
  EXPECT_NE(GetFileAttributesW(Widen(data).c_str()) & kept, 0u);
}

TEST_F(SavingTest, FolderWithoutRoomForALockFileIsWrittenInPlaceUnderALockOnTheFile) {
  // A folder at the lock file's name cannot be opened as a file, as in a
  // folder where this user may not create files.
  WriteBytes(data, kIni);
  ASSERT_TRUE(CreateDirectoryW(Widen(LockFilePath(data)).c_str(), nullptr));

  Win32FileSystem other;
  other.lockWaitMs = 0;
  const FileError held = fs.WithExclusiveLock(data, [&](SaveMethod method) {
    EXPECT_EQ(method, SaveMethod::InPlace);
    // The lock keeps other writers out, but not readers of the content.
    EXPECT_EQ(other.WithExclusiveLock(data, [](SaveMethod) { return FileError::None; }),
              FileError::SharingViolation);
    std::string read;
    EXPECT_EQ(other.ReadAll(data, read), FileError::None);
    EXPECT_EQ(read, kIni);
    return FileError::None;
  });
  EXPECT_EQ(held, FileError::None);

  EXPECT_TRUE(file.WriteIni("Name", "2", "ein langer neuer Wert"));
  EXPECT_TRUE(file.WriteIni("Name", "2", "kurz"));
  EXPECT_EQ(ReadBytes(data), kIni + "2=kurz\r\n");
  EXPECT_TRUE(dialogs.shown.empty());
  // The data file, the folder at the lock file's name, and the backups.
  EXPECT_EQ(folder.Files().size(), 3u) << "no temporary file left";
  std::vector<std::string> backups;
  EXPECT_EQ(fs.ListFiles(folder.File("Zelvoscript-Sicherungen"), backups), FileError::None);
  EXPECT_EQ(backups.size(), 1u) << "the second change, within minutes, keeps no second backup";
}

TEST_F(SavingTest, InPlaceWriteRefusesAReadOnlyFile) {
  WriteBytes(data, kIni);
  SetFileAttributesW(Widen(data).c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(fs.WriteInPlace(data, "neu"), FileError::AccessDenied);
  EXPECT_EQ(ReadBytes(data), kIni);
}

TEST_F(SavingTest, DataPathThatIsNoFileIsRefusedAtOnce) {
  CreateDirectoryW(Widen(data).c_str(), nullptr);
  HANDLE pipe = CreateNamedPipeW(L"\\\\.\\pipe\\zelvo-test-data", PIPE_ACCESS_DUPLEX,
                                 PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
  ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
  for (const std::string& path : {data, std::string("\\\\.\\pipe\\zelvo-test-data"), std::string("NUL")}) {
    SCOPED_TRACE(path);
    std::string bytes;
    EXPECT_EQ(fs.ReadAll(path, bytes), FileError::NotAFile);
  }
  CloseHandle(pipe);
  EXPECT_FALSE(file.WriteIni("Name", "1", "x"));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_NE(dialogs.shown[0].find("keine gewöhnliche Datei"), std::string::npos);
}

TEST_F(SavingTest, NewFilesAreListedAndRemoved) {
  const std::string sub = folder.File("Sicherungen");
  std::vector<std::string> names;
  EXPECT_EQ(fs.ListFiles(sub, names), FileError::None) << "a missing folder holds no files";
  EXPECT_TRUE(names.empty());
  ASSERT_EQ(fs.CreateFolders(sub), FileError::None);
  ASSERT_EQ(fs.WriteNew(sub + "\\Gr\xC3\xBC\xC3\x9F" "e.ini", kIni), FileError::None);
  EXPECT_NE(fs.WriteNew(sub + "\\Gr\xC3\xBC\xC3\x9F" "e.ini", "neu"), FileError::None);
  EXPECT_EQ(fs.ListFiles(sub, names), FileError::None);
  EXPECT_EQ(names, std::vector<std::string>{"Gr\xC3\xBC\xC3\x9F" "e.ini"});
  EXPECT_EQ(ReadBytes(sub + "\\" + names[0]), kIni);
  EXPECT_EQ(fs.RemoveFile(sub + "\\" + names[0]), FileError::None);
  names.clear();
  EXPECT_EQ(fs.ListFiles(sub, names), FileError::None);
  EXPECT_TRUE(names.empty());
}

TEST_F(SavingTest, OldTemporaryFilesOfKilledWritersAreRemoved) {
  struct Row {
    const char* name;
    int ageMinutes;
    bool removed;
  };
  const Row rows[] = {
      {"Zelvoscript.ini.4711-1.tmp", 120, true},
      {"Zelvoscript.ini.4711-2.tmp", 10, false},  // a slow writer may still be at work
      {"Zelvoscript.ini.sicherung.tmp", 120, false},
  };
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  for (const Row& row : rows) {
    const std::string path = folder.File(row.name);
    WriteBytes(path, "halb");
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= row.ageMinutes * 60ull * 10000000ull;
    const FILETIME then{t.LowPart, t.HighPart};
    HANDLE h = CreateFileW(Widen(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(h, nullptr, nullptr, &then);
    CloseHandle(h);
  }
  EXPECT_TRUE(file.WriteIni("Name", "1", "eins"));
  for (const Row& row : rows)
    EXPECT_EQ(GetFileAttributesW(Widen(folder.File(row.name)).c_str()) == INVALID_FILE_ATTRIBUTES,
              row.removed)
        << row.name;
}

}  // namespace
}  // namespace zelvo
