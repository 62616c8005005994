#include "delivery/target_windows.h"

#include <gtest/gtest.h>

#include "fakes/fake_window_system.h"

namespace zelvo {
namespace {

const std::vector<std::string> kDefaultIgnore = {"DFÜ-Netzwerkmonitor",
                                                 "Microsoft Office Shortcut-Leiste"};

TEST(TargetTitleTest, TrimmedAndUpperCasedWithUmlauts) {
  EXPECT_EQ(MakeTargetTitle("  editor  "), "EDITOR");
  EXPECT_EQ(MakeTargetTitle("Bürokratie übermäßig"), "BÜROKRATIE ÜBERMÄßIG");
  EXPECT_EQ(MakeTargetTitle("   "), "");
}

TEST(CandidatesTest, TitleContainedAnywhereAnyCaseHiddenIncluded) {
  FakeWindowSystem ws;
  WindowHandle doc = ws.Add("Dokument1 - Wortprozessor");
  ws.Add("Rechner");
  ws.Add("");  // untitled
  WindowHandle list = ws.Add("WORTLISTE", /*visible=*/false);
  WindowHandle buero = ws.Add("Übersicht - Büro");
  TargetWindows targets(ws, "Zelvoscript 2.5");

  EXPECT_EQ(targets.CollectCandidates(MakeTargetTitle("wort")),
            (std::vector<TargetWindow>{{"Dokument1 - Wortprozessor", doc}, {"WORTLISTE", list}}));
  EXPECT_EQ(targets.CollectCandidates(MakeTargetTitle(" büro ")),
            (std::vector<TargetWindow>{{"Übersicht - Büro", buero}}));
  EXPECT_TRUE(targets.CollectCandidates("NOTEPAD").empty());
}

TEST(CandidatesTest, OwnWindowsNeverCountHiddenOrNot) {
  FakeWindowSystem ws;
  ws.Find(ws.Add("Zelvoscript 2.5 - Optionen", /*visible=*/false))->own = true;
  ws.Find(ws.Add("Auswahl - Zelvoscript"))->own = true;
  WindowHandle other = ws.Add("Optionen - Word");
  TargetWindows targets(ws, "Zelvoscript 2.5");
  EXPECT_EQ(targets.CollectCandidates("OPTIONEN"),
            (std::vector<TargetWindow>{{"Optionen - Word", other}}));
  EXPECT_TRUE(targets.CollectCandidates("ZELVOSCRIPT").empty());
}

struct Listed {
  std::string title;
  bool visible = true;
  bool own = false;
};

struct WalkCase {
  const char* name;
  std::vector<Listed> zOrder;  // top first
  int foregroundIndex;
  int expectedIndex;  // -1: none
  std::vector<std::string> expectedTitles;
};

TEST(LastUsedWindowTest, WalkFromForegroundDown) {
  const WalkCase cases[] = {
      {"ignored foreground", {{"Microsoft Office Shortcut-Leiste", true}, {"Editor", true}}, 0, 1,
       {"Editor"}},
      {"part of an ignored title", {{"Netzwerk", true}, {"Word", true}}, 0, 1, {"Word"}},
      {"ignored in other case", {{"microsoft office SHORTCUT-leiste", true}, {"X", true}}, 0, 1,
       {"X"}},
      {"own windows and untitled only",
       {{"Zelvoscript 2.5 - Optionen", true}, {"", true}, {"ZELVOSCRIPT 2.5", true}}, 0, -1, {}},
      {"own windows whatever their title",
       {{"Auswahl - Zelvoscript", true, true}, {"Info", true, true}, {"Editor", true}}, 0, 2,
       {"Editor"}},
      {"invisible skipped", {{"Versteckt", false}, {"Sichtbar", true}}, 0, 1, {"Sichtbar"}},
      {"windows above the foreground are not seen",
       {{"Oben", true}, {"Editor", true}, {"Word", true}}, 1, 1, {"Editor", "Word"}},
  };
  for (const WalkCase& c : cases) {
    FakeWindowSystem ws;
    std::vector<WindowHandle> h;
    for (const Listed& l : c.zOrder) {
      h.push_back(ws.Add(l.title, l.visible));
      ws.Find(h.back())->own = l.own;
    }
    ws.foreground = h[c.foregroundIndex];
    TargetWindows targets(ws, "Zelvoscript 2.5");
    targets.SetIgnoreList(kDefaultIgnore);

    LastUsedWalk walk = targets.FindLastUsedWindow();
    EXPECT_EQ(walk.result, c.expectedIndex < 0 ? 0 : h[c.expectedIndex]) << c.name;
    EXPECT_EQ(walk.titles, c.expectedTitles) << c.name;
    EXPECT_EQ(targets.TitelListe(), c.expectedTitles) << c.name;
  }
}

TEST(LastUsedWindowTest, NoForegroundGivesZero) {
  FakeWindowSystem ws;
  ws.Add("Editor");
  TargetWindows targets(ws, "Zelvoscript");
  EXPECT_EQ(targets.FindLastUsedWindow().result, 0u);
}

TEST(LastUsedWindowTest, CapturePointsNtAndPollTimer) {
  FakeWindowSystem ws;
  WindowHandle editor = ws.Add("Editor");
  WindowHandle own = ws.Add("Zelvoscript 2.5");
  TargetWindows targets(ws, "Zelvoscript 2.5");

  ws.foreground = editor;
  targets.OnPollTimer();
  EXPECT_EQ(targets.LastUsedWindow(), editor);
  ws.foreground = own;  // nothing eligible
  targets.OnPollTimer();
  EXPECT_EQ(targets.LastUsedWindow(), editor);  // the last good value stays
  targets.CaptureAtMenuOpening();
  EXPECT_EQ(targets.LastUsedWindow(), 0u);  // the menu capture overwrites with 0
}

TEST(LastUsedWindowTest, PollTickDuringAWalkDoesNothing) {
  FakeWindowSystem ws;
  ws.foreground = ws.Add("Editor");
  ws.Add("Word");
  TargetWindows targets(ws, "Zelvoscript");
  int titleReads = 0, nestedWhileBusy = 0;
  ws.onTitleRead = [&] {
    ++titleReads;
    if (targets.PollBusy()) ++nestedWhileBusy;
    targets.OnPollTimer();  // a tick that arrives through message processing
  };
  targets.OnPollTimer();
  EXPECT_EQ(titleReads, 2);  // one walk only
  EXPECT_EQ(nestedWhileBusy, 2);
  EXPECT_FALSE(targets.PollBusy());
  EXPECT_EQ(targets.LastUsedWindow(), ws.foreground);
}

}  // namespace
}  // namespace zelvo
