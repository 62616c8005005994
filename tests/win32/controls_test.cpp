// The snippet editor on the real rich-text control, driven by real key
// presses and the real clipboard; and the entry list's order against the
// system's sorted list box.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "mainwindow/main_form.h"
#include "mainwindow/snippet_editor.h"
#include "platform/win32/wide.h"
#include "store/text_codes.h"
#include "ui/win32/rich_editor.h"

namespace zelvo {
namespace {

constexpr WORD kMarkerKey = VK_F24;

void PressKeys(const std::vector<INPUT>& inputs) {
  std::vector<INPUT> all = inputs;
  // A last key that nobody uses tells when everything before it arrived.
  for (DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = kMarkerKey;
    in.ki.dwFlags = flags;
    all.push_back(in);
  }
  SendInput(static_cast<UINT>(all.size()), all.data(), sizeof(INPUT));
  const DWORD deadline = GetTickCount() + 20000;
  MSG msg;
  while (GetTickCount() < deadline) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    if (msg.message == WM_KEYUP && msg.wParam == kMarkerKey) return;
  }
  ADD_FAILURE() << "the keys did not arrive";
}

INPUT Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

// A key with modifiers held, e.g. Press(VK_RETURN, {VK_CONTROL}).
void Press(WORD vk, std::vector<WORD> modifiers = {}) {
  std::vector<INPUT> in;
  for (WORD m : modifiers) in.push_back(Key(m, false));
  in.push_back(Key(vk, false));
  in.push_back(Key(vk, true));
  std::reverse(modifiers.begin(), modifiers.end());
  for (WORD m : modifiers) in.push_back(Key(m, true));
  PressKeys(in);
}

void Type(const std::wstring& text) {
  std::vector<INPUT> in;
  for (wchar_t c : text) {
    for (DWORD flags : {DWORD{KEYEVENTF_UNICODE}, DWORD{KEYEVENTF_UNICODE | KEYEVENTF_KEYUP}}) {
      INPUT i{};
      i.type = INPUT_KEYBOARD;
      i.ki.wScan = c;
      i.ki.dwFlags = flags;
      in.push_back(i);
    }
  }
  PressKeys(in);
}

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &EditorTest::WndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZelvoEditorTest";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassW(&wc);
    window_ = CreateWindowExW(0, wc.lpszClassName, L"Editor test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60,
                              480, 320, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    control_.Create(window_, 1, wc.hInstance);
    MoveWindow(control_.hwnd(), 0, 0, 460, 240, TRUE);
    control_.Attach(&editor_);
    next_ = CreateWindowExW(0, L"BUTTON", L"&Weiter", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 250, 100, 24,
                            window_, reinterpret_cast<HMENU>(2), wc.hInstance, nullptr);
    SetForegroundWindow(window_);
    SetFocus(control_.hwnd());
    PressKeys({});
    ASSERT_EQ(GetFocus(), control_.hwnd());
  }
  void TearDown() override { DestroyWindow(window_); }

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<EditorTest*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && msg == WM_COMMAND && HIWORD(wp) == EN_CHANGE) self->control_.Changed();
    return DefWindowProcW(hwnd, msg, wp, lp);
  }

  void Show(const std::string& stored) {
    editor_.Show(StoredTextToEditor(stored));
    SetFocus(control_.hwnd());
  }
  // What leaving the editor would store, after checking that the control
  // shows what the editor holds and that every break has its symbol.
  std::string Stored() {
    const std::string text = editor_.Text();
    const std::u32string shown = control_.Picture();
    EXPECT_EQ(FromCodePoints(shown), FromCodePoints(editor_.Picture()));
    EXPECT_EQ(NormalizeInserted(shown), shown) << "a break without its symbol or a symbol without its break";
    return EditorTextToStored(text);
  }
  void Select(int start, int length) { control_.SetSelection(start, length); }

  HWND window_ = nullptr, next_ = nullptr;
  RichEditor control_;
  SnippetEditor editor_{control_};
};

TEST_F(EditorTest, ShowingAndLeavingKeepsTheStoredText) {
  for (const std::string stored :
       {"", "a\\Tb\\Lc\\\\d\\He", "ab\\Nc\\Td", "\\N\\N", "Ende\\N", "\\L\\Lx\\N\\L",
        "Gr\xC3\xBC\xC3\x9F" "e \xC3\x83 \xC3\xB0 \xE2\x82\xAC"}) {
    Show(stored);
    EXPECT_EQ(Stored(), stored);
  }
}

TEST_F(EditorTest, EnterAndTabAreRecordedWithAnyModifierAndF6LeavesTheEditor) {
  Show("");
  Type(L"a");
  Press(VK_RETURN);
  Press(VK_RETURN, {VK_SHIFT});
  Press(VK_RETURN, {VK_CONTROL});
  Press(VK_RETURN, {VK_MENU});
  Press(VK_TAB, {VK_SHIFT});
  Press(VK_TAB, {VK_CONTROL});
  Type(L"b");
  EXPECT_EQ(Stored(), "a\\N\\N\\N\\N\\T\\Tb");
  EXPECT_EQ(GetFocus(), control_.hwnd());
  Press(VK_F6);
  EXPECT_EQ(GetFocus(), next_);
}

TEST_F(EditorTest, PastedTextBecomesRecordedKeysInEveryWay) {
  const std::string clip = "Zeile1\r\nZeile2\nZeile3\rZeile4\tEnde\x01!";
  const std::string expected = "Zeile1\\NZeile2\\NZeile3\\NZeile4\\TEnde!";
  for (int way = 0; way < 3; ++way) {
    Show("");
    control_.SetClipboardText(clip);
    if (way == 0) Press('V', {VK_CONTROL});
    if (way == 1) Press(VK_INSERT, {VK_SHIFT});
    if (way == 2) SendMessageW(control_.hwnd(), WM_PASTE, 0, 0);
    EXPECT_EQ(Stored(), expected) << way;
  }
  // Typing goes on behind the pasted text, in the text format.
  Type(L"x");
  EXPECT_EQ(Stored(), expected + "x");
}

// Symbols go with their display breaks, whichever of the two is removed.
TEST_F(EditorTest, RemovingASymbolOrItsBreakRemovesBoth) {
  struct Case {
    const char* what;
    int start, length;
    std::vector<WORD> keys;
    std::string expected;
  } cases[] = {
      {"Rücktaste at the start of a line", 4, 0, {VK_BACK}, "abcd\\Te"},
      {"Entf before a symbol", 2, 0, {VK_DELETE}, "abcd\\Te"},
      {"Entf between a symbol and its break", 3, 0, {VK_DELETE}, "abcd\\Te"},
      {"Rücktaste behind a symbol", 3, 0, {VK_BACK}, "abcd\\Te"},
      {"a selection of whole symbols", 1, 5, {VK_DELETE}, "a\\Te"},
      {"a selection ending between a symbol and its break", 1, 6, {VK_BACK}, "ae"},
      {"a selection starting at a break", 3, 4, {VK_DELETE}, "abe"},
  };
  for (const Case& c : cases) {
    Show("ab\\Ncd\\Te");  // a b X \r c d Y \r e
    Select(c.start, c.length);
    for (WORD k : c.keys) Press(k);
    EXPECT_EQ(Stored(), c.expected) << c.what;
  }
  // Cut takes a symbol with its break, and the clipboard gets the key.
  Show("ab\\Ncd");
  Select(2, 1);
  Press('X', {VK_CONTROL});
  EXPECT_EQ(Stored(), "abcd");
  EXPECT_EQ(control_.ClipboardText(), "\r\n");
  // Typing over a selection that starts at a break replaces the symbol too.
  Show("ab\\Ncd");
  Select(3, 2);
  Type(L"x");
  EXPECT_EQ(Stored(), "abxd");
}

TEST_F(EditorTest, UndoAndRedoKeepSymbolsWithTheirBreaks) {
  Show("ab");
  Select(2, 0);
  Type(L"cd");
  Press(VK_RETURN);
  Type(L"e");
  Press(VK_BACK);
  Press(VK_BACK);  // the display break: the Enter goes
  EXPECT_EQ(Stored(), "abcd");
  Press('Z', {VK_CONTROL});
  EXPECT_EQ(Stored(), "abcd\\N");
  Press('Z', {VK_CONTROL});
  EXPECT_EQ(Stored(), "abcd\\Ne");
  Press('Z', {VK_CONTROL});
  Press('Z', {VK_CONTROL});
  EXPECT_EQ(Stored(), "abcd");
  Press(VK_BACK, {VK_MENU});  // Alt+Rücktaste: the typing before it
  EXPECT_EQ(Stored(), "ab");
  Press('Y', {VK_CONTROL});
  Press('Y', {VK_CONTROL});
  EXPECT_EQ(Stored(), "abcd\\N");
  // The control's undo message goes through the same history.
  SendMessageW(control_.hwnd(), EM_UNDO, 0, 0);
  EXPECT_EQ(Stored(), "abcd");
}

TEST(EntryListTest, SortsAsTheSystemsSortedListBox) {
  const std::vector<std::string> names{
      "Zeit", "\xC3\xA9t\xC3\xA9", "Ende", "\xC3\x89lan", "eben", "\xC3\xA0 la carte", "Anrede", "Ecke",
      "ecke", "\xC3\x89" "cke", "\xC3\x84rger", "Arbeit", "\xC3\x96l", "Ofen", "\xC3\x9C" "bung", "Uhr",
      "Stra\xC3\x9F" "e", "Strasse", "10 Uhr", "2 Wochen", "Co-op", "Coop", "Zuname", "\xC3\xA7" "a"};
  HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | LBS_SORT | LBS_HASSTRINGS, 0, 0, 100, 100, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(list);
  for (const std::string& name : names)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(name).c_str()));
  std::vector<std::string> system;
  for (int i = 0; i < static_cast<int>(names.size()); ++i) {
    wchar_t buffer[256] = L"";
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
    system.push_back(Narrow(buffer));
  }
  DestroyWindow(list);
  std::vector<std::string> ours = names;
  std::stable_sort(ours.begin(), ours.end(), EntryNameLess);
  EXPECT_EQ(ours, system);
}

}  // namespace
}  // namespace zelvo
