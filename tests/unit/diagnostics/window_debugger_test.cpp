#include "diagnostics/window_debugger.h"

#include <gtest/gtest.h>

#include "fakes/fake_services.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_window_system.h"
#include "store/ini_document.h"

namespace zelvo {
namespace {

class FakeDebuggerView : public DebuggerView {
 public:
  std::string caption, explanation;
  std::optional<std::string> selected;
  bool closed = false;
  void SetCaption(const std::string& c) override { caption = c; }
  void SetExplanation(const std::string& t) override { explanation = t; }
  std::optional<std::string> SelectedTitle() override { return selected; }
  void Close() override { closed = true; }
};

class WindowDebuggerTest : public ::testing::Test {
 protected:
  WindowDebuggerTest() {
    program.dataFile().SetPath(env.dir.File("Zelvo Daten.ini"));
    env.dir.Write("Zelvo Daten.ini", "[Ignore]\r\n1=DFÜ-Netzwerkmonitor\r\n");
    program.ReloadAll();
  }
  std::string Ignore(const std::string& key) {
    return IniDocument::Parse(env.dir.Read("Zelvo Daten.ini")).Get("Ignore", key, "<missing>");
  }
  struct Host : ProgramHost {
    bool ClaimSingleInstance() override { return true; }
  } host;
  FakeServices env;
  Program program{env.services, host};
  FakeShell shell;
  FakeDebuggerView view;
  WindowDebugger debugger{program, shell, view};
};

TEST_F(WindowDebuggerTest, LoadSetsCaptionAndExplanation) {
  debugger.OnLoad();
  EXPECT_EQ(view.caption, "\xE2\x80\xA2 Zelvoscript 2.5 - Debugger");
  EXPECT_EQ(view.explanation.substr(0, 30), "Beim Klick in das Popup-Men\xC3\xBC ");
}

TEST_F(WindowDebuggerTest, ExplanationNamesABackupThatCouldNotBeKept) {
  env.files.writeNewFailures = {FileError::AccessDenied};
  ASSERT_TRUE(program.dataFile().WriteIni("Name", "1", "eins"));
  debugger.OnLoad();
  EXPECT_NE(view.explanation.find("keine Sicherung"), std::string::npos) << view.explanation;
  EXPECT_NE(view.explanation.find("Zugriff verweigert"), std::string::npos);
}

TEST_F(WindowDebuggerTest, IgnoringATitleAsksAndAppendsEvenTwice) {
  debugger.OnButton(0);
  EXPECT_EQ(env.dialogs.LastText(), "Bitte markieren Sie zun\xC3\xA4" "chst den betreffenden Fenstertitel");
  view.selected = "Taskleiste";
  env.dialogs.answers = {MsgResult::No, MsgResult::Yes, MsgResult::Yes};
  debugger.OnButton(0);
  EXPECT_EQ(Ignore("2"), "<missing>");
  debugger.OnButton(0);
  debugger.OnButton(0);
  EXPECT_EQ(env.dialogs.LastText(), "Soll der Fenstertitel 'Taskleiste'\rin Zukunft wirklich immer ignoriert werden?");
  EXPECT_EQ(Ignore("2"), "Taskleiste");
  EXPECT_EQ(Ignore("3"), "Taskleiste");
}

// The list in memory follows the file as soon as a title is added (with a
// title another PC added meanwhile), so the very next capture of the last
// used window, before any reload, skips the window just ignored.
TEST_F(WindowDebuggerTest, IgnoredTitleCountsAtOnce) {
  env.dir.Write("Zelvo Daten.ini", "[Ignore]\r\n1=DF\xDC-Netzwerkmonitor\r\n2=Von Kollegin\r\n");
  view.selected = "Posteingang - Outlook";
  debugger.OnButton(0);
  EXPECT_EQ(program.ignoreList(),
            (std::vector<std::string>{"DFÜ-Netzwerkmonitor", "Von Kollegin", "Posteingang - Outlook"}));

  FakeWindowSystem ws;
  const WindowHandle outlook = ws.Add("Posteingang - Outlook");
  const WindowHandle editor = ws.Add("Unbenannt - Editor");
  ws.foreground = outlook;
  TargetWindows targets(ws, "Zelvoscript 2.5");
  targets.SetIgnoreList(program.ignoreList());
  targets.CaptureAtMenuOpening();
  EXPECT_EQ(targets.LastUsedWindow(), editor);
}

TEST_F(WindowDebuggerTest, NotepadGetsTheQuotedPathAndClosingReleasesTheLock) {
  debugger.OnButton(1);
  EXPECT_EQ(shell.commands, std::vector<std::string>{"notepad \"" + env.dir.File("Zelvo Daten.ini") + "\""});
  shell.failCommands = true;
  debugger.OnButton(1);
  EXPECT_EQ(env.dialogs.LastText(), "Der Texteditor konnte nicht gestartet werden.");

  ASSERT_FALSE(program.lock().AcquireLock());
  debugger.OnButton(2);
  EXPECT_TRUE(view.closed);
  debugger.OnUnload();
  EXPECT_FALSE(program.lock().IsLocked());
}

TEST(WindowListTest, LinesAndTheRawCandidate) {
  const std::vector<ListedWindow> windows = {{0x1A2B4, true, "\xE2\x80\xA2 Zelvoscript 2.5"},
                                             {0x30, false, "versteckt"},
                                             {0x40, true, "Editor"}};
  EXPECT_EQ(WindowListLines("10.12.2026 09:46:00", windows, false),
            (std::vector<std::string>{"10.12.2026 09:46:00", "001 0001A2B4 V '\xE2\x80\xA2 Zelvoscript 2.5'",
                                      "002 00000030 X 'versteckt'", "003 00000040 V 'Editor'"}));
  EXPECT_EQ(WindowListLines("t", windows, true).back(), "002 00000040 V 'Editor'");

  FakeWindowSystem ws;
  const WindowHandle own = ws.Add("\xE2\x80\xA2 ZELVOSCRIPT 2.5 - Debugger");
  ws.Add("");
  ws.Add("Unsichtbar", false);
  ws.Find(ws.Add("Auswahl - Zelvoscript"))->own = true;  // ours, without the base caption
  const WindowHandle editor = ws.Add("DFÜ-Netzwerkmonitor");  // the ignore list does not count here
  ws.foreground = own;
  EXPECT_EQ(Tron(ws, "\xE2\x80\xA2 Zelvoscript 2.5"), (TargetWindow{"DFÜ-Netzwerkmonitor", editor}));
  ws.foreground = 0;
  EXPECT_FALSE(Tron(ws, "x"));
}

struct FakeWindowListView : WindowListView {
  std::vector<ListedWindow> windows;
  bool visibleOnly = true;
  std::vector<std::string> lines;
  std::vector<std::string> captions;
  std::vector<ListedWindow> WindowsFromMainUp() override { return windows; }
  bool VisibleOnly() override { return visibleOnly; }
  void SetLines(const std::vector<std::string>& l) override { lines = l; }
  void SetCaption(const std::string& c) override { captions.push_back(c); }
};

TEST_F(WindowDebuggerTest, WindowListTimerListsWindowsAndFollowsTheForegroundSkippingOwnWindows) {
  FakeWindowSystem ws;
  FakeWindowListView list;
  WindowListForm form{program, ws, list};
  list.windows = {{0x10, true, "\xE2\x80\xA2 Zelvoscript 2.5"}, {0x20, false, "versteckt"}, {0x30, true, "Editor"}};
  const WindowHandle own = ws.Add("\xE2\x80\xA2 Zelvoscript 2.5 - Debugger");
  const WindowHandle editor = ws.Add("Editor");
  ws.foreground = own;

  form.OnTimer();
  ASSERT_EQ(list.lines.size(), 3u);  // date and time, then the two visible windows
  EXPECT_EQ(list.lines[0], GeneralDateTime(env.clock, env.clock.Now()));
  EXPECT_EQ(list.lines[2], "002 00000030 V 'Editor'");
  EXPECT_EQ(list.captions, std::vector<std::string>{"Editor"});
  EXPECT_EQ(form.Found(), (TargetWindow{"Editor", editor}));

  list.visibleOnly = false;
  ws.foreground = 0;  // nothing found: the title stays
  form.OnTimer();
  EXPECT_EQ(list.lines.size(), 4u);
  EXPECT_EQ(list.captions.size(), 1u);
}

}  // namespace
}  // namespace zelvo
