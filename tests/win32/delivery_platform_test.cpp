// The delivery's platform layer against the real system (run under Wine):
// window titles and ownership, typing into another program, the Esc watch
// and the clipboard's secret hand-over.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "delivery/keystrokes.h"
#include "delivery/target_windows.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_keyboard.h"
#include "platform/win32/win32_window_system.h"

namespace zelvo {
namespace {

WindowHandle Handle(HWND h) { return reinterpret_cast<WindowHandle>(h); }

// Polls `done` for up to `ms` milliseconds.
template <typename F>
bool WaitFor(F done, int ms = 10000) {
  for (int waited = 0; waited < ms; waited += 20) {
    if (done()) return true;
    Sleep(20);
  }
  return done();
}

class OwnWindow {
 public:
  explicit OwnWindow(const std::wstring& title) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZelvoTestWindow";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                            nullptr, nullptr, wc.hInstance, nullptr);
  }
  ~OwnWindow() { DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_;
};

// Wine's notepad, started and ended by the test.
class Notepad {
 public:
  Notepad() {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    wchar_t command[] = L"notepad.exe";
    if (!CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_))
      return;
    WaitFor([&] { return (window_ = Find()) != nullptr; });
    edit_ = FindWindowExW(window_, nullptr, L"Edit", nullptr);
  }
  ~Notepad() {
    if (!pi_.hProcess) return;
    TerminateProcess(pi_.hProcess, 0);
    WaitForSingleObject(pi_.hProcess, 10000);
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
  }
  HWND window() const { return window_; }
  std::wstring Text() const {
    wchar_t buffer[8192] = L"";
    DWORD_PTR ignored;
    SendMessageTimeoutW(edit_, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                        5000, &ignored);
    return buffer;
  }

 private:
  HWND Find() const {
    struct Search {
      DWORD pid;
      HWND found;
    } search{pi_.dwProcessId, nullptr};
    // A named callback: the 32-bit build needs its stdcall convention.
    struct Visit {
      static BOOL CALLBACK Window(HWND h, LPARAM p) {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid != s->pid || !IsWindowVisible(h)) return TRUE;
        s->found = h;
        return FALSE;
      }
    };
    EnumWindows(&Visit::Window, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  PROCESS_INFORMATION pi_{};
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
};

TEST(WindowSystemTest, TitlesAreCutAt127CharactersAndOwnWindowsAreKnown) {
  Win32WindowSystem windows;
  const std::wstring a127(127, L'a');
  struct Row {
    std::wstring title;
    std::string expected;
  } rows[] = {
      {a127 + L"ZIEL", Narrow(a127)},
      {a127.substr(1) + L"\U0001F600", Narrow(a127.substr(1))},  // half a character is dropped
      {L"Grüße", "Grüße"},
  };
  for (const Row& row : rows) {
    OwnWindow own(row.title);
    EXPECT_EQ(windows.Title(Handle(own.hwnd())), row.expected);
    EXPECT_TRUE(windows.IsOwnWindow(Handle(own.hwnd())));
    EXPECT_EQ(windows.ClassName(Handle(own.hwnd())), "ZelvoTestWindow");
  }
  EXPECT_FALSE(windows.IsOwnWindow(Handle(GetDesktopWindow())));
}

TEST(WindowSystemTest, AnotherProgramIsACandidateAndOurOwnWindowIsNot) {
  Notepad pad;
  ASSERT_NE(pad.window(), nullptr);
  OwnWindow own(L"Unbenannt - Editor");  // the same title as Wine's notepad
  Win32WindowSystem windows;
  TargetWindows targets(windows, "Zelvoscript");
  const std::vector<TargetWindow> found = targets.CollectCandidates(MakeTargetTitle("unbenannt"));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].Handle, Handle(pad.window()));
  // Same rights: not reported as higher, neither is our own window.
  EXPECT_FALSE(windows.HasHigherIntegrity(Handle(pad.window())));
  EXPECT_FALSE(windows.HasHigherIntegrity(Handle(own.hwnd())));
}

TEST(KeyboardTest, SendReturnsWhenTheTargetHasTakenAllKeysAndOurEscIsNotTheUsers) {
  Notepad pad;
  ASSERT_NE(pad.window(), nullptr);
  SetForegroundWindow(pad.window());
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == pad.window(); }));

  // Far more events than one SendInput call takes, with every kind of key.
  std::string text, line = "Grüße {50%} (netto) ~+^[] € 😀\tTab";
  for (int i = 0; i < 16; ++i) text += line + (i % 2 ? "\r" : "\n");
  Win32Keyboard keyboard;
  std::unique_ptr<EscapeWatch> escape = keyboard.WatchForEscape();
  ASSERT_EQ(keyboard.Send(ParseKeystrokes(EncodeKeystrokes(text))), Handover::Taken);

  INPUT esc[2]{};
  esc[0].type = esc[1].type = INPUT_KEYBOARD;
  esc[0].ki.wVk = esc[1].ki.wVk = VK_ESCAPE;
  esc[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(2, esc, sizeof(INPUT)), 2u);

  // Enter and Shift+Enter both end a line in notepad.
  std::wstring expected;
  for (wchar_t c : Widen(text)) expected += (c == L'\r' || c == L'\n') ? std::wstring(L"\r\n") : std::wstring(1, c);
  // Wine's notepad takes a few dozen characters a second: had the keys
  // run ahead of it, much would still be missing.
  EXPECT_TRUE(WaitFor([&] { return pad.Text().size() >= expected.size(); }, 2000));
  EXPECT_EQ(pad.Text(), expected);
  Sleep(100);  // the hook thread has seen the Esc by now, were it counted
  EXPECT_FALSE(escape->Pressed());
}

TEST(ClipboardTest, SecretIsHandedOverWhenReadAndCanBeReplaced) {
  Win32Clipboard clipboard;
  ASSERT_TRUE(clipboard.SetText("vorher", false));
  EXPECT_EQ(clipboard.Text(), "vorher");
  EXPECT_TRUE(clipboard.HoldsOurText());

  ASSERT_TRUE(clipboard.SetText("geheim €", true));
  EXPECT_FALSE(clipboard.SecretTaken());
  for (const wchar_t* marker : {L"CanIncludeInClipboardHistory", L"CanUploadToCloudClipboard",
                                L"ExcludeClipboardContentFromMonitorProcessing"})
    EXPECT_TRUE(IsClipboardFormatAvailable(RegisterClipboardFormatW(marker))) << Narrow(marker);

  // Another thread stands for the program that pastes.
  std::wstring pasted;
  std::thread reader([&] {
    if (!WaitFor([] { return OpenClipboard(nullptr) != FALSE; })) return;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      pasted = static_cast<const wchar_t*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
  });
  const bool taken = WaitFor([&] { return clipboard.SecretTaken(); });
  reader.join();
  EXPECT_TRUE(taken);
  EXPECT_EQ(pasted, L"geheim €");
  EXPECT_TRUE(clipboard.HoldsOurText());

  ASSERT_TRUE(clipboard.SetText("vorher", false));
  EXPECT_EQ(clipboard.Text(), "vorher");
  ASSERT_TRUE(clipboard.Clear());
  EXPECT_EQ(clipboard.Text(), std::nullopt);

  // What another program puts there is not ours.
  std::thread other([] {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    CloseClipboard();
  });
  other.join();
  EXPECT_FALSE(clipboard.HoldsOurText());
}

}  // namespace
}  // namespace zelvo
