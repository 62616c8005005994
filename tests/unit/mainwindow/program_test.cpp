#include "mainwindow/program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "fakes/fake_services.h"

namespace zelvo {
namespace {

// Records the order in which start-up and tear-down use the windows.
class RecordingHost : public ProgramHost {
 public:
  bool secondInstance = false;
  std::vector<std::string> calls;
  std::string caption;
  EntryList lastList;
  ProgramSettings lastSettings;

  bool ClaimSingleInstance() override {
    calls.push_back("ClaimSingleInstance");
    return !secondInstance;
  }
  void HookTrayWindow() override { calls.push_back("HookTrayWindow"); }
  void UnhookTrayWindow() override { calls.push_back("UnhookTrayWindow"); }
  void AddTrayIcon(const std::string& tip) override { calls.push_back("AddTrayIcon " + tip); }
  void RemoveTrayIcon() override { calls.push_back("RemoveTrayIcon"); }
  void SetMainCaption(const std::string& c) override {
    caption = c;
    calls.push_back("SetMainCaption");
  }
  void CaptureLayout() override { calls.push_back("CaptureLayout"); }
  void RestoreWindowPlacement() override { calls.push_back("RestoreWindowPlacement"); }
  void SaveWindowPlacement() override { calls.push_back("SaveWindowPlacement"); }
  void HideMainWindow() override { calls.push_back("HideMainWindow"); }
  void EnablePollTimer() override { calls.push_back("EnablePollTimer"); }
  void ShowDataFilePath(const std::string&) override { calls.push_back("ShowDataFilePath"); }
  void ApplySettings(const ProgramSettings& s) override {
    lastSettings = s;
    calls.push_back("ApplySettings");
  }
  void RemoveHotkey() override { calls.push_back("RemoveHotkey"); }
  void ShowEntryList(const EntryList& l) override {
    lastList = l;
    calls.push_back("ShowEntryList");
  }
  void PlaceBorderStrip(const ProgramSettings&) override { calls.push_back("PlaceBorderStrip"); }
  void UpdateControlStates() override { calls.push_back("UpdateControlStates"); }
  void UnloadOtherWindows() override { calls.push_back("UnloadOtherWindows"); }
};

const std::vector<std::string> kReload = {"ShowEntryList", "ApplySettings", "PlaceBorderStrip",
                                          "UpdateControlStates"};

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(Program, SecondInstanceIsToldAndTouchesNothing) {
  FakeServices f;
  f.settings.values["path"] = f.dir.File("Zelvoscript.ini");
  RecordingHost host;
  host.secondInstance = true;
  Program program(f.services, host);

  EXPECT_FALSE(program.Startup());
  EXPECT_EQ(host.calls, std::vector<std::string>{"ClaimSingleInstance"});
  ASSERT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_EQ(f.dialogs.shown[0].title, "Zelvoscript");
  EXPECT_EQ(f.dialogs.shown[0].message.text, "Zelvoscript wird bereits ausgef\xC3\xBChrt.");
  EXPECT_EQ(f.dialogs.shown[0].message.icon, MsgIcon::Exclamation);
  EXPECT_EQ(f.files.replaces, 0);
  EXPECT_FALSE(f.files.FileExists(f.dir.File("Zelvoscript.ini")));
}

TEST(Program, StartupRunsItsStepsInOrderAndTearDownReversesThem) {
  FakeServices f;
  f.dir.Write("Zelvoscript.ini", "[Name]\r\n1=Gru\xDF\r\n[Common]\r\nHK=1029\r\n");
  f.settings.values["path"] = f.dir.File("Zelvoscript.ini");
  RecordingHost host;
  Program program(f.services, host);

  ASSERT_TRUE(program.Startup());
  EXPECT_EQ(host.calls,
            Concat({{"ClaimSingleInstance", "HookTrayWindow", "ShowDataFilePath"}, kReload,
                    {"SetMainCaption", "CaptureLayout", "RestoreWindowPlacement",
                     "AddTrayIcon Zelvoscript", "HideMainWindow"},
                    kReload}));
  EXPECT_EQ(host.caption, "\xE2\x80\xA2 Zelvoscript 2.5");
  EXPECT_EQ(f.services.appTitle, host.caption);
  EXPECT_TRUE(program.ReloadFinished());
  ASSERT_EQ(host.lastList.entries.size(), 1u);
  EXPECT_EQ(host.lastList.entries[0].Name, "Gru\xC3\x9F");
  EXPECT_EQ(host.lastSettings.HK, 1029);
  EXPECT_TRUE(f.dialogs.shown.empty());

  host.calls.clear();
  program.Shutdown();
  EXPECT_EQ(host.calls,
            (std::vector<std::string>{"RemoveHotkey", "UnloadOtherWindows", "SaveWindowPlacement",
                                      "RemoveTrayIcon", "UnhookTrayWindow"}));
}

TEST(Program, OlderWindowsGetTheColonCaptionAndThePollTimer) {
  FakeServices f;
  f.system.ntPlatform = false;
  RecordingHost host;
  Program program(f.services, host);

  ASSERT_TRUE(program.Startup());
  EXPECT_EQ(host.caption, ":: Zelvoscript 2.5");
  EXPECT_EQ(host.calls.back(), "EnablePollTimer");
}

TEST(Program, MissingStoredFileFallsBackToTheStarterFileBesideTheProgram) {
  FakeServices f;
  f.dir.Write("sample.ini", "[Name]\r\n1=Beispiel\r\n");
  TempDir folder;  // still there, but the file is gone
  f.settings.values["path"] = folder.File("Zelvoscript.ini");
  RecordingHost host;
  Program program(f.services, host);

  ASSERT_TRUE(program.Startup());
  ASSERT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_EQ(f.dialogs.shown[0].title, "Zelvoscript");  // before the caption exists
  EXPECT_EQ(f.dialogs.shown[0].message.icon, MsgIcon::Information);
  EXPECT_NE(f.dialogs.shown[0].message.text.find("keine Zelvoscript-datei"), std::string::npos);
  EXPECT_EQ(program.dataFile().Path(), f.dir.File("Zelvoscript.ini"));
  EXPECT_EQ(f.settings.values["path"], f.dir.File("Zelvoscript.ini"));
  ASSERT_EQ(host.lastList.entries.size(), 1u);
  EXPECT_EQ(host.lastList.entries[0].Name, "Beispiel");
}

TEST(Program, SearchIndexFollowsTheFileAndUsedEntriesComeFirst) {
  FakeServices f;
  f.dir.Write("Zelvoscript.ini", "[Name]\r\n1=Brief\r\n2=Angebot\r\n");
  f.settings.values["path"] = f.dir.File("Zelvoscript.ini");
  f.settings.values[kKeySearchWindow] = "1";
  RecordingHost host;
  Program program(f.services, host);
  ASSERT_TRUE(program.Startup());
  EXPECT_TRUE(host.lastSettings.SearchWindow) << "the per-user choice comes with the settings";
  const auto names = [&] {
    std::vector<std::string> out;
    const auto index = program.search().Index();
    for (uint32_t id : index->Ordered()) out.emplace_back(index->Name(id));
    return out;
  };
  EXPECT_EQ(names(), (std::vector<std::string>{"Angebot", "Brief"}));

  const auto before = program.search().Index();
  program.ReloadAll();
  EXPECT_EQ(program.search().Index(), before) << "same file: the index is not built again";

  program.NoteEntryUsed(1);
  EXPECT_EQ(names(), (std::vector<std::string>{"Brief", "Angebot"}));
  f.dir.Write("Zelvoscript.ini", "[Name]\r\n1=Brief\r\n2=Angebot\r\n3=Zusage\r\n");
  program.ReloadAll();
  EXPECT_EQ(names(), (std::vector<std::string>{"Brief", "Angebot", "Zusage"}));
}

// A share that is away, a drive that is gone, a file that is no text: the
// list, the settings and the hotkey stay as last read, and the user hears
// of it once, not before every menu, and again when the file is back.
TEST(Program, UnreadableFileKeepsTheLastGoodStateAndIsReportedOnceUntilBack) {
  FakeServices f;
  f.dir.Write("Zelvoscript.ini", "[Name]\r\n1=Eins\r\n2=Zwei\r\n[Common]\r\nHK=1029\r\n");
  f.settings.values["path"] = f.dir.File("Zelvoscript.ini");
  RecordingHost host;
  Program program(f.services, host);
  ASSERT_TRUE(program.Startup());
  const std::string good = f.dir.Read("Zelvoscript.ini");

  const std::pair<const char*, std::function<void()>> troubles[] = {
      {"unreachable", [&] { f.files.readFailures.assign(20, FileError::Unreachable); }},
      {"no text", [&] { f.dir.Write("Zelvoscript.ini", std::string("\0\0garbage", 9)); }},
  };
  for (const auto& [what, trouble] : troubles) {
    f.dialogs.shown.clear();
    host.calls.clear();
    trouble();
    const auto replacesBefore = f.files.replaces;
    for (int menu = 0; menu < 3; ++menu) program.ReloadAll();
    EXPECT_EQ(program.entryList().entries.size(), 2u) << what;
    EXPECT_EQ(program.settings().HK, 1029) << what;
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "ApplySettings"), 0) << what;
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "ShowEntryList"), 0) << what;
    ASSERT_EQ(f.dialogs.shown.size(), 1u) << what;
    EXPECT_NE(f.dialogs.LastText().find("zuletzt gelesenen Textbausteinen"), std::string::npos);
    EXPECT_TRUE(program.ReloadFinished());
    EXPECT_EQ(f.files.replaces, replacesBefore);

    f.files.readFailures.clear();
    f.dir.Write("Zelvoscript.ini", good);
    program.ReloadAll();
    program.ReloadAll();
    ASSERT_EQ(f.dialogs.shown.size(), 2u) << what;
    EXPECT_EQ(f.dialogs.LastText(), "Die Datendatei\r\n" + f.dir.File("Zelvoscript.ini") +
                                        "\r\nist wieder erreichbar. Textbausteine und "
                                        "Einstellungen sind wieder auf dem Stand der Datei.");
  }
}

// A tray that can show balloons (or not), with the hotkey start-up registered.
class BalloonHost : public RecordingHost {
 public:
  bool canShow = true;
  std::optional<HotkeyDescription> hotkey;
  std::vector<std::string> balloons;

  bool ShowTrayBalloon(const std::string& title, const std::string& text) override {
    if (canShow) balloons.push_back(title + ": " + text);
    return canShow;
  }
  std::optional<HotkeyDescription> ActiveHotkey() override { return hotkey; }
};

TEST(Program, FirstStartOfAUserShowsTheTrayBalloonOnce) {
  FakeServices f;
  {
    BalloonHost host;
    host.canShow = false;  // no tray yet: try again next time
    Program program(f.services, host);
    ASSERT_TRUE(program.Startup());
    EXPECT_EQ(f.settings.values.count("_Welcomed"), 0u);
  }
  {
    BalloonHost host;
    host.hotkey = HotkeyDescription{5, false, false, true};
    Program program(f.services, host);
    ASSERT_TRUE(program.Startup());
    EXPECT_EQ(host.balloons, std::vector<std::string>{
                                 "Zelvoscript: Zelvoscript läuft jetzt im Infobereich der Taskleiste.\n"
                                 "Die Textbausteine öffnen Sie mit Strg + F5 oder mit einem Klick auf "
                                 "dieses Symbol."});
    EXPECT_EQ(f.settings.values["_Welcomed"], "1");
  }
  BalloonHost again;
  Program program(f.services, again);
  ASSERT_TRUE(program.Startup());
  EXPECT_TRUE(again.balloons.empty());
}

TEST(Program, FirstStartBalloonWithoutAHotkeyNamesTheTrayClick) {
  FakeServices f;
  BalloonHost host;  // hotkey off, or taken by another program
  Program program(f.services, host);
  ASSERT_TRUE(program.Startup());
  EXPECT_EQ(host.balloons, std::vector<std::string>{
                               "Zelvoscript: Zelvoscript läuft jetzt im Infobereich der Taskleiste.\n"
                               "Ein Klick auf dieses Symbol öffnet die Textbausteine."});
}

}  // namespace
}  // namespace zelvo
