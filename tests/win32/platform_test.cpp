// The Win32 platform layer against the real system (run under Wine).
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "platform/win32/win32_app_settings.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_system_info.h"
#include "win32_test_support.h"

namespace zelvo {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

// Bytes as an older version writes them: 1252 text, CR LF, a byte >= 0x80.
const std::string kIni = "[Name]\r\n1=Gr\xFC\xDF" "e \x80\r\n";

class FileSystemTest : public ::testing::Test {
 protected:
  TempFolder folder;
  Win32FileSystem fs;
  std::string data = folder.File("Zelvoscript.ini");
};

TEST_F(FileSystemTest, ReplaceWritesExactBytesAndLeavesNoTemporaryFile) {
  WriteBytes(data, "old content that is longer than the new one\r\n");
  ASSERT_EQ(fs.ReplaceAtomically(data, kIni), FileError::None);
  std::string read;
  ASSERT_EQ(fs.ReadAll(data, read), FileError::None);
  EXPECT_EQ(read, kIni);
  EXPECT_EQ(folder.Files(), std::vector<std::wstring>{L"Zelvoscript.ini"});
  // A new file is created the same way.
  ASSERT_EQ(fs.ReplaceAtomically(folder.File("new.ini"), ""), FileError::None);
  EXPECT_EQ(fs.FileSize(folder.File("new.ini")), 0);
}

TEST_F(FileSystemTest, ReadOnlyFileIsReportedAndNeverOverwritten) {
  WriteBytes(data, kIni);
  SetFileAttributesW(Widen(data).c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(fs.ReplaceAtomically(data, "new"), FileError::AccessDenied);
  EXPECT_EQ(ReadBytes(data), kIni);
  EXPECT_NE(GetFileAttributesW(Widen(data).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(folder.Files().size(), 1u);
}

TEST_F(FileSystemTest, ReplaceInMissingFolderFailsWithoutTraces) {
  EXPECT_EQ(fs.ReplaceAtomically(folder.File("missing\\Zelvoscript.ini"), kIni), FileError::Unreachable);
  EXPECT_TRUE(folder.Files().empty());
}

TEST_F(FileSystemTest, FileHeldOpenWithoutDeleteSharingKeepsItsContent) {
  WriteBytes(data, kIni);
  HANDLE reader = CreateFileW(Widen(data).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  FileError e = fs.ReplaceAtomically(data, "new");
  CloseHandle(reader);
  EXPECT_EQ(e, FileError::SharingViolation) << "in use, worth a retry; not read-only";
  EXPECT_EQ(ReadBytes(data), kIni);
  EXPECT_EQ(folder.Files().size(), 1u) << "the temporary file must be removed";
}

TEST_F(FileSystemTest, ReadAllSharesWithWritersAndReportsWhatBlocksIt) {
  std::string read;
  EXPECT_EQ(fs.ReadAll(data, read), FileError::NotFound);
  EXPECT_EQ(fs.ReadAll(folder.File("no\\such.ini"), read), FileError::Unreachable);

  WriteBytes(data, kIni);
  // An older version writing the file right now shares reading and writing.
  HANDLE writer = CreateFileW(Widen(data).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(fs.ReadAll(data, read), FileError::None);
  EXPECT_EQ(read, kIni);
  CloseHandle(writer);

  HANDLE exclusive = CreateFileW(Widen(data).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(fs.ReadAll(data, read), FileError::SharingViolation);
  CloseHandle(exclusive);
}

TEST_F(FileSystemTest, FileExistsSeesOnlyNormalFiles) {
  struct Row {
    const char* name;
    DWORD attributes;  // 0: a folder
    bool exists, regular;
  } rows[] = {
      {"plain.ini", FILE_ATTRIBUTE_NORMAL, true, true},
      {"readonly.ini", FILE_ATTRIBUTE_READONLY, true, true},
      {"archive.ini", FILE_ATTRIBUTE_ARCHIVE, true, true},
      {"hidden.ini", FILE_ATTRIBUTE_HIDDEN, false, true},
      {"system.ini", FILE_ATTRIBUTE_SYSTEM, false, true},
      {"folder.ini", 0, false, false},
  };
  for (const Row& row : rows) {
    std::string path = folder.File(row.name);
    if (row.attributes == 0) {
      CreateDirectoryW(Widen(path).c_str(), nullptr);
    } else {
      WriteBytes(path, "x");
      SetFileAttributesW(Widen(path).c_str(), row.attributes);
    }
    EXPECT_EQ(fs.FileExists(path), row.exists) << row.name;
    EXPECT_EQ(fs.IsRegularFile(path), row.regular) << row.name;
    EXPECT_EQ(fs.FileSize(path), row.regular ? 1 : -1) << row.name;
  }
  for (const std::string& absent : {std::string(), folder.File("missing.ini"), folder.File("*.ini"),
                                    folder.File("plain.in?")})
    EXPECT_FALSE(fs.FileExists(absent)) << absent;
}

TEST_F(FileSystemTest, CopyNewNeverOverwrites) {
  WriteBytes(data, kIni);
  std::string copy = folder.File("copy.ini");
  EXPECT_EQ(fs.CopyNew(data, copy), FileError::None);
  EXPECT_EQ(ReadBytes(copy), kIni);
  WriteBytes(copy, "mine");
  EXPECT_NE(fs.CopyNew(data, copy), FileError::None);
  EXPECT_EQ(ReadBytes(copy), "mine");
  EXPECT_EQ(fs.CopyNew(folder.File("missing.ini"), folder.File("other.ini")), FileError::NotFound);
}

TEST_F(FileSystemTest, CreatesFoldersAndTriesWhetherItMayCreateFilesThere) {
  const std::string nested = folder.File("Brannox Software\\Zelvoscript\\");
  ASSERT_EQ(fs.CreateFolders(nested), FileError::None);
  EXPECT_EQ(fs.CreateFolders(nested), FileError::None) << "an existing folder is fine";
  EXPECT_TRUE(fs.CanCreateFilesIn(nested));
  EXPECT_TRUE(fs.CanCreateFilesIn(folder.File("")));
  EXPECT_EQ(folder.Files(), std::vector<std::wstring>{L"Brannox Software"}) << "the probe leaves nothing";
  EXPECT_FALSE(fs.CanCreateFilesIn(folder.File("missing\\")));
  RemoveDirectoryW(Widen(nested).c_str());
  RemoveDirectoryW(Widen(folder.File("Brannox Software")).c_str());
}

TEST_F(FileSystemTest, LockExcludesOtherHoldersAndSurvivesReplace) {
  std::atomic<int> order{0};
  int firstDone = 0, secondEntered = 0;
  HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    Win32FileSystem own;
    own.WithExclusiveLock(data, [&](SaveMethod) {
      SetEvent(held);
      WaitForSingleObject(release, 10000);
      // The data file is replaced while the lock is held: the lock stays.
      own.ReplaceAtomically(data, kIni);
      firstDone = ++order;
      return FileError::None;
    });
  });
  ASSERT_EQ(WaitForSingleObject(held, 10000), WAIT_OBJECT_0);

  Win32FileSystem impatient;
  impatient.lockWaitMs = 0;
  bool ran = false;
  EXPECT_EQ(impatient.WithExclusiveLock(data, [&](SaveMethod) { ran = true; return FileError::None; }),
            FileError::SharingViolation);
  EXPECT_FALSE(ran);

  // A patient caller waits until the holder is done.
  std::thread waiter([&] {
    Win32FileSystem patient;
    patient.WithExclusiveLock(data, [&](SaveMethod) {
      secondEntered = ++order;
      return FileError::None;
    });
  });
  SetEvent(release);
  holder.join();
  waiter.join();
  EXPECT_EQ(firstDone, 1);
  EXPECT_EQ(secondEntered, 2);
  EXPECT_EQ(ReadBytes(data), kIni);
  EXPECT_TRUE(fs.IsRegularFile(LockFilePath(data)));
  EXPECT_EQ(fs.WithExclusiveLock(data, [](SaveMethod) { return FileError::DiskFull; }), FileError::DiskFull)
      << "the body's result is passed on";
  CloseHandle(held);
  CloseHandle(release);
}

// Child side of the next test: holds the lock until it is killed.
TEST(LockHolderChild, HoldLockUntilKilled) {
  const char* path = std::getenv("ZELVO_LOCK_CHILD");
  if (!path) GTEST_SKIP() << "runs only as the child of LockIsDroppedWhenItsProcessDies";
  Win32FileSystem fs;
  fs.WithExclusiveLock(path, [](SaveMethod) {
    HANDLE held = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"zelvo-test-lock-held");
    SetEvent(held);
    Sleep(INFINITE);
    return FileError::None;
  });
}

TEST_F(FileSystemTest, LockIsDroppedWhenItsProcessDies) {
  HANDLE held = CreateEventW(nullptr, TRUE, FALSE, L"zelvo-test-lock-held");
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_filter=LockHolderChild.*";
  SetEnvironmentVariableW(L"ZELVO_LOCK_CHILD", Widen(data).c_str());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(exe, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  SetEnvironmentVariableW(L"ZELVO_LOCK_CHILD", nullptr);
  ASSERT_EQ(WaitForSingleObject(held, 20000), WAIT_OBJECT_0);

  Win32FileSystem impatient;
  impatient.lockWaitMs = 0;
  EXPECT_EQ(impatient.WithExclusiveLock(data, [](SaveMethod) { return FileError::None; }),
            FileError::SharingViolation);

  TerminateProcess(pi.hProcess, 1);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(held);
  EXPECT_EQ(fs.WithExclusiveLock(data, [](SaveMethod) { return FileError::None; }), FileError::None);
}

TEST(AppSettingsTest, RoundTripUnderTheLegacyKey) {
  Win32AppSettings settings;
  const std::string path = "\\\\server\\Büro €\\Zelvoscript.ini";
  ASSERT_TRUE(settings.Save("path", path));
  ASSERT_TRUE(settings.Save("_Top", "-1"));
  EXPECT_EQ(settings.Get("path", "x"), path);
  EXPECT_EQ(settings.Get("_TOP", "x"), "-1") << "value names are case-insensitive";
  EXPECT_EQ(settings.Get("_Width", "fallback"), "fallback");
  ASSERT_TRUE(settings.Save("path", ""));
  EXPECT_EQ(settings.Get("path", "x"), "");

  // Older versions read the same REG_SZ values from the same place.
  wchar_t value[64];
  DWORD size = sizeof value, type = 0;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER,
                         L"Software\\VB and VBA Program Settings\\Brannox Software\\Zelvoscript",
                         L"_Top", RRF_RT_ANY, &type, value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::wstring(value), L"-1");
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Brannox Software");
  EXPECT_EQ(settings.Get("path", "gone"), "gone");
}

TEST(AppSettingsTest, MachineWideValuesComeFromTheInstallersView) {
  // The installer is 32-bit: its values sit in the 32-bit view for both builds.
  const wchar_t* key = L"Software\\Brannox Software\\Zelvoscript";
  HKEY k = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &k,
                            nullptr),
            ERROR_SUCCESS);
  const std::wstring expand = L"%SystemRoot%\\Zelvoscript.ini";
  RegSetValueExW(k, L"path", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand.c_str()),
                 static_cast<DWORD>((expand.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(k);

  Win32AppSettings settings;
  wchar_t windows[MAX_PATH];
  GetEnvironmentVariableW(L"SystemRoot", windows, MAX_PATH);
  EXPECT_EQ(settings.GetMachineWide("path"), Narrow(windows) + "\\Zelvoscript.ini");
  EXPECT_EQ(settings.GetMachineWide("InstallDir"), "");
  EXPECT_EQ(settings.Get("path", "own"), "own") << "the machine's value is not the user's";
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key, KEY_WOW64_32KEY, 0);
  EXPECT_EQ(settings.GetMachineWide("path"), "");
}

std::string SystemDate(const wchar_t* format, DWORD flags) {
  SYSTEMTIME st{};
  st.wYear = 2026;
  st.wMonth = 12;
  st.wDay = 7;
  st.wHour = 14;
  st.wMinute = 5;
  st.wSecond = 9;
  wchar_t buffer[128];
  int n = GetDateFormatW(LOCALE_USER_DEFAULT, flags, &st, format, buffer, 128);
  return n > 0 ? Narrow(buffer, n - 1) : "";
}

TEST(ClockTest, UsesTheUsersRegionalFormats) {
  Win32Clock clock;
  LocalTime t;
  t.year = 2026, t.month = 12, t.day = 7, t.hour = 14, t.minute = 5, t.second = 9;
  t.weekday = 3;  // wrong on purpose: the date decides
  // German Windows gives "07.12.2026", Wine "7.12.2026": follow the system.
  EXPECT_EQ(clock.ShortDate(t), SystemDate(nullptr, DATE_SHORTDATE));
  EXPECT_NE(clock.ShortDate(t).find("2026"), std::string::npos);
  EXPECT_EQ(clock.WeekdayName(t), SystemDate(L"dddd", 0));
  std::string time = clock.LongTime(t);
  EXPECT_NE(time.find("05"), std::string::npos) << time;
  EXPECT_NE(time.find("09"), std::string::npos) << "with seconds: " << time;

  wchar_t locale[LOCALE_NAME_MAX_LENGTH] = L"";
  GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
  if (std::wstring(locale).rfind(L"de", 0) == 0) {
    EXPECT_EQ(clock.WeekdayName(t), "Montag");
    EXPECT_EQ(time, "14:05:09");
    t.day = 10;
    EXPECT_EQ(clock.WeekdayName(t), "Donnerstag");
  }

  LocalTime now = clock.Now();
  EXPECT_GE(now.year, 2024);
  EXPECT_EQ(clock.WeekdayName(now), [&] {
    LocalTime same = now;
    same.weekday = (now.weekday + 1) % 7;
    return clock.WeekdayName(same);
  }());
  double seconds = clock.SecondsSinceMidnight();
  EXPECT_GE(seconds, 0.0);
  EXPECT_LT(seconds, 86400.0);
}

TEST(SystemInfoTest, DescribesThisProgramAndMachine) {
  Win32SystemInfo info;
  EXPECT_TRUE(info.IsNTPlatform());
  EXPECT_FALSE(info.UserName().empty());
  EXPECT_FALSE(info.ComputerName().empty());
  std::string folder = info.ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_TRUE(Win32FileSystem().IsRegularFile(folder + "platform_test.exe"));
  for (const std::string& own : {info.UserDataFolder(), info.LocalUserDataFolder()}) {
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(own.back(), '\\');
    const DWORD attributes = GetFileAttributesW(Widen(own).c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) << own;
  }
  EXPECT_NE(info.UserDataFolder(), info.LocalUserDataFolder());
}

// ---- Dialogs: another thread plays the user ----

// Any title when `title` is empty. Up to a minute: a loaded machine can take
// many seconds to show a dialog, and giving up leaves it open for good.
HWND WaitForDialog(const std::wstring& title) {
  for (int i = 0; i < 3000; ++i) {
    // Visible means WM_INITDIALOG has run.
    HWND h = FindWindowW(L"#32770", title.empty() ? nullptr : title.c_str());
    if (h && IsWindowVisible(h)) return h;
    Sleep(20);
  }
  return nullptr;
}

std::wstring ControlText(HWND h) {
  wchar_t buffer[256] = L"";
  GetWindowTextW(h, buffer, 256);
  return buffer;
}

TEST(DialogsTest, InputBoxShowsPromptAndSelectedTextAndReturnsTheAnswer) {
  Win32Dialogs dialogs;
  std::wstring seenPrompt, seenText, seenOk, seenCancel;
  DWORD selStart = 1, selEnd = 0;
  std::thread user([&] {
    HWND dlg = WaitForDialog(L"Neuer Eintrag");
    if (!dlg) return;
    seenPrompt = ControlText(GetDlgItem(dlg, 100));
    HWND edit = GetDlgItem(dlg, 101);
    seenText = ControlText(edit);
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
    seenOk = ControlText(GetDlgItem(dlg, IDOK));
    seenCancel = ControlText(GetDlgItem(dlg, IDCANCEL));
    SetWindowTextW(edit, L"Grüße an Jürgen");
    PostMessageW(GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
  });
  auto answer = dialogs.InputBox("Neuer Eintrag", "Name des Eintrags:\rzweite Zeile", "Vorgabe ä");
  user.join();
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(*answer, "Grüße an Jürgen");
  EXPECT_EQ(seenPrompt, L"Name des Eintrags:\r\nzweite Zeile");
  EXPECT_EQ(seenText, L"Vorgabe ä");
  EXPECT_EQ(selStart, 0u);
  EXPECT_EQ(selEnd, 9u) << "the initial text is selected";
  EXPECT_EQ(seenOk, L"OK");
  EXPECT_EQ(seenCancel, L"Abbrechen");
}

TEST(DialogsTest, InputBoxCancelGivesNothing) {
  Win32Dialogs dialogs;
  std::thread user([&] {
    if (HWND dlg = WaitForDialog(L"Umbenennen")) PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
  });
  auto answer = dialogs.InputBox("Umbenennen", "Neuer Name:", "alt");
  user.join();
  EXPECT_FALSE(answer.has_value());
}

TEST(DialogsTest, YesNoQuestionCanDefaultToNo) {
  Win32Dialogs dialogs;
  LONG_PTR yesStyle = 0, noStyle = 0;
  std::thread user([&] {
    HWND box = WaitForDialog(L"Zelvoscript");
    if (!box) return;
    yesStyle = GetWindowLongPtrW(GetDlgItem(box, IDYES), GWL_STYLE) & 0x0F;
    noStyle = GetWindowLongPtrW(GetDlgItem(box, IDNO), GWL_STYLE) & 0x0F;
    PostMessageW(box, WM_COMMAND, IDNO, 0);
  });
  Message m;
  m.text = "Wollen Sie die Sperre jetzt aufheben?";
  m.icon = MsgIcon::Warning;
  m.buttons = MsgButtons::YesNo;
  m.defaultButton = MsgResult::No;
  EXPECT_EQ(dialogs.Show("Zelvoscript", m), MsgResult::No);
  user.join();
  EXPECT_EQ(noStyle, BS_DEFPUSHBUTTON);
  EXPECT_EQ(yesStyle, BS_PUSHBUTTON);
}

std::wstring SelectedTreeText(HWND tree) {
  wchar_t text[MAX_PATH] = L"";
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = TreeView_GetSelection(tree);
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  if (!item.hItem || !TreeView_GetItem(tree, &item)) return {};
  return text;
}

TEST(DialogsTest, BrowseForFolderGivesTheChosenFolderOrNothing) {
  TempFolder folder;
  std::string chosen = folder.File("");
  chosen.pop_back();  // no trailing backslash
  for (bool ok : {true, false}) {
    std::wstring prompt;
    std::thread user([&] {
      HWND dlg = WaitForDialog(L"");
      if (!dlg) return;
      if (HWND label = FindWindowExW(dlg, nullptr, L"Static", L"Bitte wählen Sie den neuen Ablageordner:"))
        prompt = ControlText(label);
      // The tree fills in after the dialog shows: select until it took.
      std::wstring path = Widen(chosen);
      std::wstring leaf = path.substr(path.rfind(L'\\') + 1);
      HWND tree = FindWindowExW(dlg, nullptr, WC_TREEVIEWW, nullptr);
      for (int i = 0; i < 250 && tree && SelectedTreeText(tree) != leaf; ++i) {
        SendMessageW(dlg, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
        Sleep(20);
      }
      PostMessageW(dlg, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
    });
    auto answer = Win32Dialogs().BrowseForFolder("Bitte wählen Sie den neuen Ablageordner:");
    user.join();
    EXPECT_FALSE(prompt.empty()) << "the prompt is shown";
    if (ok) {
      ASSERT_TRUE(answer.has_value());
      EXPECT_EQ(*answer, chosen);
    } else {
      EXPECT_FALSE(answer.has_value());
    }
  }
}

TEST(DialogsTest, LineBreaksBecomeCrLf) {
  EXPECT_EQ(CrLfLines(L"a\rb\r\nc\nd\r"), L"a\r\nb\r\nc\r\nd\r\n");
}

}  // namespace
}  // namespace zelvo
