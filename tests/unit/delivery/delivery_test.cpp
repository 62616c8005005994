#include "delivery/delivery.h"

#include <gtest/gtest.h>

#include <map>
#include <numeric>

#include "delivery/keystrokes.h"
#include "fakes/fake_auswahl_view.h"
#include "fakes/fake_clipboard.h"
#include "fakes/fake_keyboard.h"
#include "fakes/fake_services.h"
#include "fakes/fake_window_system.h"

namespace zelvo {
namespace {

class FakeHost : public DeliveryHost {
 public:
  std::map<int, SnippetEntry> entries;
  bool fileUnreadable = false;
  std::function<void(FakeAuswahlView&)> onChooserShown;
  int choosersCreated = 0;
  AuswahlForm* form = nullptr;

  std::optional<SnippetEntry> ReadEntry(int number) override {
    if (fileUnreadable) return std::nullopt;  // the user has been told
    auto it = entries.find(number);
    return it == entries.end() ? SnippetEntry{} : it->second;
  }
  std::string BuildCaption(const std::string& suffix) override {
    return "Zelvoscript 2.5" + (suffix.empty() ? "" : " - " + suffix);
  }
  ScreenPoint MainWindowCorner() override { return {10, 20}; }
  std::unique_ptr<AuswahlView> CreateAuswahlView(AuswahlForm& f) override {
    ++choosersCreated;
    form = &f;
    auto view = std::make_unique<FakeAuswahlView>();
    view->onShow = onChooserShown;
    return view;
  }
};

class DeliveryTest : public ::testing::Test {
 protected:
  DeliveryTest() {
    ws.log = keyboard.log = clipboard.log = fakes.dialogs.log = &log;
    editor = ws.Add("Unbenannt - Editor");
    word = ws.Add("Dokument1 - Word");
    ws.foreground = editor;
    targets.CaptureAtMenuOpening();
    ws.foreground = ws.Add("Zelvoscript 2.5");  // the menu's owner has the focus now
  }

  void Entry(const std::string& text, int method, const std::string& title = "",
             bool crypt = false) {
    host.entries[1] = {1, "Gruß", text, title, crypt, method};
  }
  // What the foreground window received, as text (Enter is CR).
  std::u32string Typed() const {
    std::u32string out;
    for (const auto& seq : keyboard.sent)
      for (const KeyStroke& k : seq)
        out += k.kind == KeyStroke::Kind::Enter ? U'\r' : k.kind == KeyStroke::Kind::Tab ? U'\t' : k.ch;
    return out;
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> out;
    for (const auto& s : fakes.dialogs.shown) out.push_back(s.message.text);
    return out;
  }
  int SleptMs() const { return std::accumulate(fakes.clock.sleeps.begin(), fakes.clock.sleeps.end(), 0); }

  FakeServices fakes;
  FakeWindowSystem ws;
  FakeKeyboard keyboard;
  FakeClipboard clipboard;
  FakeHost host;
  TargetWindows targets{ws, "Zelvoscript 2.5"};
  Delivery delivery{fakes.services, {ws, keyboard, clipboard}, targets, host};
  std::vector<std::string> log;
  WindowHandle editor = 0, word = 0;
};

TEST_F(DeliveryTest, KeystrokesToTheLastUsedWindow) {
  Entry("Hallo\\NWelt 100%", 0);
  delivery.DeliverEntry(1, "Gruß");
  EXPECT_EQ(delivery.OutgoingText(), "Hallo~Welt 100{%}");
  EXPECT_EQ(ws.foreground, editor);
  EXPECT_EQ(Typed(), U"Hallo\rWelt 100%");
  for (const KeyStroke& k : keyboard.AllSent()) EXPECT_FALSE(k.alt);
  EXPECT_EQ(log, (std::vector<std::string>{"foreground " + std::to_string(editor), "send"}));
  EXPECT_EQ(keyboard.escapeWatches, 1);
  EXPECT_EQ(keyboard.openEscapeWatches, 0);
  EXPECT_GE(ws.pumps, 1);
  EXPECT_EQ(clipboard.writes, 0);
  EXPECT_FALSE(delivery.IsBusy());
}

TEST_F(DeliveryTest, ClipboardMethodsFillTheClipboardFirstAndPaste) {
  struct Case {
    int method;
    const char* outgoing;
    KeySequence keys;
  } cases[] = {
      {2, "^v", {{KeyStroke::Kind::Key, U'v', false, true, false}}},
      {1, "% BE",
       {{KeyStroke::Kind::Key, U' ', false, false, true},
        {KeyStroke::Kind::Character, U'B'},
        {KeyStroke::Kind::Character, U'E'}}},
  };
  for (const Case& c : cases) {
    log.clear();
    keyboard.sent.clear();
    Entry("Hallo\\NWelt", c.method, "editor");
    delivery.DeliverEntry(1, "Gruß");
    EXPECT_EQ(clipboard.text, "Hallo\rWelt");
    EXPECT_FALSE(clipboard.secret);
    EXPECT_EQ(delivery.OutgoingText(), c.outgoing);
    EXPECT_EQ(keyboard.sent, std::vector<KeySequence>{c.keys});
    EXPECT_EQ(log.front(), "clipboard");
    EXPECT_EQ(log.at(1), "enumerate");
  }
}

TEST_F(DeliveryTest, UnknownMethodsTypeKeystrokes) {
  for (int method : {3, -1}) {
    keyboard.sent.clear();
    Entry("a", method);
    delivery.DeliverEntry(1, "Gruß");
    EXPECT_EQ(Typed(), U"a") << method;
  }
  EXPECT_EQ(clipboard.writes, 0);
}

TEST_F(DeliveryTest, TextIsUnescapedBeforePlaceholdersAreExpanded) {
  // The file's name holds the backslash that "\\\\" in the text stands for.
  fakes.dir.Write("C:\\t.txt", "Zeile\r\n");
  Entry("Pfad: C:\\\\temp, %Datum%, \\H%datei=" + fakes.dir.Path() + "C:\\\\t.txt%\\H\\T", 0);
  delivery.DeliverEntry(1, "Gruß");
  EXPECT_EQ(Typed(), U"Pfad: C:\\temp, 07.12.2026, \"Zeile\r\"\t");
}

TEST_F(DeliveryTest, NoTargetMessage) {
  const std::string expected =
      "Es wurde kein passendes Zielfenster identifiziert.\rDie Übertragung wird daher abgebrochen.";
  Entry("Hallo", 2, "gibt es nicht");
  delivery.DeliverEntry(1, "Gruß");
  ASSERT_EQ(fakes.dialogs.shown.size(), 1u);
  EXPECT_EQ(fakes.dialogs.shown[0].message.text, expected);
  EXPECT_EQ(fakes.dialogs.shown[0].message.icon, MsgIcon::Error);
  EXPECT_EQ(fakes.dialogs.shown[0].title, fakes.services.appTitle);
  EXPECT_EQ(clipboard.text, "Hallo");  // filled all the same
  EXPECT_TRUE(keyboard.sent.empty());
  EXPECT_TRUE(ws.setForegroundCalls.empty());

  // No last used window either.
  ws.foreground = 0;
  targets.CaptureAtMenuOpening();
  Entry("Hallo", 0);
  delivery.DeliverEntry(1, "Gruß");
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{expected, expected}));
  EXPECT_TRUE(keyboard.sent.empty());
}

TEST_F(DeliveryTest, OneMatchDeliversWithoutChooser) {
  Entry("x", 0, "  WORD ");
  delivery.DeliverEntry(1, "Gruß");
  EXPECT_EQ(delivery.TargetTitle(), "WORD");
  EXPECT_EQ(host.choosersCreated, 0);
  EXPECT_EQ(ws.setForegroundCalls, std::vector<WindowHandle>{word});
  EXPECT_EQ(Typed(), U"x");
}

TEST_F(DeliveryTest, SeveralMatchesOpenTheChooserAndSendToTheChoice) {
  WindowHandle second = ws.Add("Notiz - Editor");
  host.onChooserShown = [&](FakeAuswahlView& v) {
    EXPECT_EQ(v.lines, (std::vector<std::string>{"Notiz - Editor", "Unbenannt - Editor"}));
    EXPECT_EQ(v.captions.front(), "Zelvoscript 2.5 - Auswahl");
    EXPECT_EQ(v.position.x, 60);
    EXPECT_TRUE(keyboard.sent.empty());
    EXPECT_TRUE(delivery.IsBusy());
    // A second activation meanwhile is ignored.
    delivery.DeliverEntry(1, "Gruß");
    EXPECT_EQ(host.choosersCreated, 1);
    host.form->OnButton(1);
  };
  Entry("x", 0, "editor");
  delivery.DeliverEntry(1, "Gruß");
  EXPECT_EQ(ws.setForegroundCalls, std::vector<WindowHandle>{second});
  EXPECT_EQ(Typed(), U"x");
  EXPECT_FALSE(delivery.IsBusy());
}

TEST_F(DeliveryTest, CancelledChooserSendsNothing) {
  host.onChooserShown = [&](FakeAuswahlView&) { host.form->OnCloseByFrame(); };
  Entry("x", 0, "o");  // "Dokument1 - Word" and "Unbenannt - Editor" both contain O
  delivery.DeliverEntry(1, "Gruß");
  EXPECT_EQ(host.choosersCreated, 1);
  EXPECT_TRUE(ws.setForegroundCalls.empty());
  EXPECT_TRUE(keyboard.sent.empty());
  EXPECT_TRUE(fakes.dialogs.shown.empty());
}

TEST_F(DeliveryTest, TargetThatDoesNotComeToTheForegroundGetsNothing) {
  ws.refuseForeground = true;
  Entry("Hallo", 0);
  delivery.DeliverEntry(1, "Gruß");
  EXPECT_TRUE(keyboard.sent.empty());
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{kNoTargetMessage});
  EXPECT_GE(SleptMs(), kForegroundWaitMs);
  EXPECT_LE(SleptMs(), kForegroundWaitMs + kPollStepMs);
}

TEST_F(DeliveryTest, ClosedTargetGetsNothing) {
  ws.windows.erase(ws.windows.begin());  // the editor was closed after the capture
  Entry("Hallo", 0);
  delivery.DeliverEntry(1, "Gruß");
  EXPECT_TRUE(keyboard.sent.empty());
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{kNoTargetMessage});
}

TEST_F(DeliveryTest, FocusPassedToTheTargetsOwnDialogCounts) {
  WindowHandle dialog = ws.Add("Speichern unter");
  ws.Find(dialog)->owner = editor;
  ws.focusGoesTo[editor] = dialog;
  Entry("x", 0);
  delivery.DeliverEntry(1, "Gruß");
  EXPECT_EQ(Typed(), U"x");
  EXPECT_EQ(SleptMs(), 0);
}

TEST_F(DeliveryTest, WaitsBoundedUntilModifiersAreReleased) {
  struct Case {
    int heldChecks;
    int expectedSleep;
  } cases[] = {{0, 0}, {3, 3 * kPollStepMs}, {1000000, kModifierWaitMs}};
  for (const Case& c : cases) {
    keyboard.sent.clear();
    fakes.clock.sleeps.clear();
    keyboard.modifiersHeldChecks = c.heldChecks;
    Entry("x", 0);
    delivery.DeliverEntry(1, "Gruß");
    EXPECT_EQ(SleptMs(), c.expectedSleep) << c.heldChecks;
    EXPECT_EQ(Typed(), U"x") << c.heldChecks;
  }
}

TEST_F(DeliveryTest, HigherIntegrityTargetIsReportedInGerman) {
  ws.Find(editor)->higherIntegrity = true;
  for (int method : {0, 2}) {
    fakes.dialogs.shown.clear();
    Entry("x", method);
    delivery.DeliverEntry(1, "Gruß");
    EXPECT_TRUE(keyboard.sent.empty());
    EXPECT_TRUE(ws.setForegroundCalls.empty());
    ASSERT_EQ(fakes.dialogs.shown.size(), 1u);
    const std::string& text = fakes.dialogs.shown[0].message.text;
    EXPECT_NE(text.find("höheren Rechten"), std::string::npos);
    EXPECT_NE(text.find("Die Übertragung wird daher abgebrochen."), std::string::npos);
    EXPECT_EQ(text.find("Zwischenablage") != std::string::npos, method == 2);
  }
}

TEST_F(DeliveryTest, FailuresOfClipboardAndKeyboardAreReported) {
  clipboard.accept = false;
  Entry("x", 2);
  delivery.DeliverEntry(1, "Gruß");
  EXPECT_TRUE(ws.setForegroundCalls.empty());
  EXPECT_TRUE(keyboard.sent.empty());
  ASSERT_EQ(fakes.dialogs.shown.size(), 1u);
  EXPECT_NE(fakes.dialogs.shown[0].message.text.find("Zwischenablage konnte nicht"), std::string::npos);

  keyboard.accept = false;
  Entry("x", 0);
  delivery.DeliverEntry(1, "Gruß");
  ASSERT_EQ(fakes.dialogs.shown.size(), 2u);
  EXPECT_NE(fakes.dialogs.shown[1].message.text.find("nicht vollständig"), std::string::npos);
  EXPECT_FALSE(delivery.IsBusy());
}

// The menu was built before another PC deleted an entry: its number now
// holds another entry (the highest moved into the hole) or none at all.
TEST_F(DeliveryTest, EntryMovedOrGoneMeanwhileTypesNothingAndSaysSo) {
  host.entries[1] = {1, "PIN Bank", "4711", "", true, 2};
  for (int number : {1, 42}) {
    fakes.dialogs.shown.clear();
    delivery.DeliverEntry(number, "Brief");
    ASSERT_EQ(MessageTexts().size(), 1u);
    EXPECT_EQ(MessageTexts()[0],
              "Der Eintrag 'Brief' wurde inzwischen auf einem anderen PC geändert (umbenannt, "
              "gelöscht oder verschoben).\rDie Übertragung wird daher abgebrochen.");
  }
  EXPECT_EQ(clipboard.writes, 0);
  EXPECT_TRUE(ws.setForegroundCalls.empty());
  EXPECT_TRUE(keyboard.sent.empty());
}

TEST_F(DeliveryTest, UnreadableDataFileDeliversNothing) {
  Entry("x", 2);
  host.fileUnreadable = true;
  delivery.DeliverEntry(1, "Gruß");
  EXPECT_EQ(clipboard.writes, 0);
  EXPECT_TRUE(ws.setForegroundCalls.empty());
  EXPECT_TRUE(keyboard.sent.empty());
  EXPECT_FALSE(delivery.IsBusy());
}

TEST_F(DeliveryTest, LongTextIsTypedInBatchesIntoTheTargetInFront) {
  std::string umlauts;
  for (size_t i = 0; i < 2 * kStrokesPerBatch; ++i) umlauts += "ä";
  Entry(umlauts + "\\N\\Tend", 0);
  delivery.DeliverEntry(1, "Gruß");
  EXPECT_EQ(Typed(), std::u32string(2 * kStrokesPerBatch, U'ä') + U"\r\tend");
  ASSERT_EQ(keyboard.sent.size(), 3u);
  EXPECT_EQ(keyboard.sent[0].size(), kStrokesPerBatch);
  EXPECT_EQ(keyboard.sent[2].size(), 5u);
  EXPECT_TRUE(fakes.dialogs.shown.empty());
}

TEST_F(DeliveryTest, TypingStopsWhenTheTargetLeavesTheFrontOrTheUserPressesEsc) {
  struct Case {
    const char* name;
    std::function<void()> afterSecondBatch;
    std::string expected;
    MsgIcon icon;
  } cases[] = {
      // The batch under way at the switch may not all have arrived.
      {"focus moved", [&] { ws.foreground = word; },
       "Das Zielfenster ist nicht mehr im Vordergrund. Die Übertragung wurde abgebrochen.\r"
       "Gesendet wurden 50 bis 100 von 20.000 Zeichen.",
       MsgIcon::Error},
      {"Esc", [&] { keyboard.escapePressed = true; },
       "Die Übertragung wurde mit Esc abgebrochen.\rGesendet wurden 100 von 20.000 Zeichen.",
       MsgIcon::Information},
      {"Esc after keys the target was not seen reading",
       [&] {
         keyboard.escapePressed = true;
         keyboard.handover = Handover::Unconfirmed;
       },
       "Die Übertragung wurde mit Esc abgebrochen.\rGesendet wurden 50 bis 100 von 20.000 Zeichen.",
       MsgIcon::Information},
      {"input refused", [&] { keyboard.acceptCalls = 0; },
       "Die Tastatureingaben konnten nicht vollständig an das Zielfenster übergeben werden.\r"
       "Gesendet wurden 100 von 20.000 Zeichen.",
       MsgIcon::Error},
  };
  static_assert(kStrokesPerBatch == 50, "the texts above count two batches");
  Entry(std::string(20000, 'a'), 0);
  for (const Case& c : cases) {
    ws.foreground = editor;
    targets.CaptureAtMenuOpening();
    keyboard.sent.clear();
    keyboard.escapePressed = false;
    keyboard.acceptCalls = -1;
    keyboard.handover = Handover::Taken;
    fakes.dialogs.shown.clear();
    keyboard.afterSend = [&] {
      if (keyboard.sent.size() == 2) c.afterSecondBatch();
    };
    delivery.DeliverEntry(1, "Gruß");
    EXPECT_EQ(keyboard.AllSent().size(), 100u) << c.name;
    ASSERT_EQ(fakes.dialogs.shown.size(), 1u) << c.name;
    EXPECT_EQ(fakes.dialogs.shown[0].message.text, c.expected);
    EXPECT_EQ(fakes.dialogs.shown[0].message.icon, c.icon) << c.name;
    EXPECT_EQ(keyboard.openEscapeWatches, 0) << c.name;
  }
}

TEST_F(DeliveryTest, OwnWindowsAreNeverTargets) {
  // Hidden or not: the options dialog's letters would change shared settings.
  ws.Find(ws.Add("Zelvoscript 2.5 - Optionen", /*visible=*/false))->own = true;
  ws.Find(ws.Add("Info", /*visible=*/true))->own = true;
  for (const char* title : {"Optionen", "info"}) {
    Entry("geheim", 0, title);
    delivery.DeliverEntry(1, "Gruß");
  }
  EXPECT_TRUE(keyboard.sent.empty());
  EXPECT_TRUE(ws.setForegroundCalls.empty());
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{kNoTargetMessage, kNoTargetMessage}));
}

TEST_F(DeliveryTest, ConsoleMethodUsesWhatTheWindowUnderstands) {
  struct Case {
    const char* cls;
    unsigned command;  // 0: none
    KeySequence keys;
  } cases[] = {
      {"ConsoleWindowClass", 0xFFF1, {}},
      {"WineConsoleClass", 0x112, {}},
      {"CASCADIA_HOSTING_WINDOW_CLASS", 0, {{KeyStroke::Kind::Key, U'v', true, true, false}}},
      {"mintty", 0,
       {{KeyStroke::Kind::Key, U' ', false, false, true},
        {KeyStroke::Kind::Character, U'B'},
        {KeyStroke::Kind::Character, U'E'}}},
  };
  for (const Case& c : cases) {
    ws.Find(editor)->cls = c.cls;
    ws.postedCommands.clear();
    keyboard.sent.clear();
    Entry("dir", 1);
    delivery.DeliverEntry(1, "Gruß");
    EXPECT_EQ(clipboard.text, "dir");
    EXPECT_EQ(keyboard.AllSent(), c.keys) << c.cls;
    using Posted = std::vector<std::pair<WindowHandle, unsigned>>;
    EXPECT_EQ(ws.postedCommands, (c.command ? Posted{{editor, c.command}} : Posted{})) << c.cls;
  }
}

TEST_F(DeliveryTest, EncipheredTextLeavesTheClipboardOnceTaken) {
  struct Case {
    const char* name;
    std::optional<std::string> before;
    int takenAfterPolls;
    std::function<void()> meanwhile;
    std::optional<std::string> after;
    int polls;
  } cases[] = {
      {"previous text comes back", "vorher", 3, nullptr, "vorher", 4},
      {"no previous text", std::nullopt, 0, nullptr, std::nullopt, 1},
      {"user copied meanwhile", "vorher", 0, [&] { clipboard.CopyFromElsewhere("neu"); }, "neu", 1},
      {"never taken", "vorher", -1, nullptr, "vorher", kPasteTakenWaitMs / kPollStepMs + 1},
  };
  for (const Case& c : cases) {
    clipboard.text = c.before;
    clipboard.ours = false;
    clipboard.takenAfterPolls = c.takenAfterPolls;
    clipboard.takenPolls = 0;
    keyboard.sent.clear();
    keyboard.afterSend = [&] {
      // Marked as a secret while it is there, so clipboard history skips it.
      EXPECT_EQ(clipboard.text, "geheim") << c.name;
      EXPECT_TRUE(clipboard.secret) << c.name;
      if (c.meanwhile) c.meanwhile();
    };
    Entry("geheim", 2, "", /*crypt=*/true);
    delivery.DeliverEntry(1, "Gruß");
    EXPECT_EQ(keyboard.sent.size(), 1u) << c.name;
    EXPECT_EQ(clipboard.text, c.after) << c.name;
    EXPECT_FALSE(clipboard.secret) << c.name;
    EXPECT_EQ(clipboard.takenPolls, c.polls) << c.name;
  }
}

TEST_F(DeliveryTest, EncipheredTextLeavesTheClipboardAlsoWhenNothingWasPasted) {
  ws.Find(word)->higherIntegrity = true;
  for (const char* title : {"gibt es nicht", "word"}) {
    clipboard.text = "vorher";
    fakes.dialogs.shown.clear();
    Entry("geheim", 2, title, /*crypt=*/true);
    delivery.DeliverEntry(1, "Gruß");
    EXPECT_EQ(clipboard.text, "vorher") << title;
    EXPECT_EQ(clipboard.takenPolls, 0) << "nothing to wait for";
    ASSERT_EQ(fakes.dialogs.shown.size(), 1u);
    EXPECT_EQ(fakes.dialogs.shown[0].message.text.find("Zwischenablage"), std::string::npos)
        << "the text is not there any more";
  }
  EXPECT_TRUE(keyboard.sent.empty());
}

TEST_F(DeliveryTest, TextThatGrowsTooLargeIsNotDelivered) {
  fakes.dir.Write("mib.txt", std::string(1 << 20, 'x'));
  std::string text;
  for (int i = 0; i < 33; ++i) text += "%datei=" + fakes.dir.File("mib.txt") + "%";
  Entry(text, 2);
  delivery.DeliverEntry(1, "Gruß");
  EXPECT_EQ(clipboard.writes, 0);
  EXPECT_TRUE(keyboard.sent.empty());
  EXPECT_EQ(MessageTexts(),
            std::vector<std::string>{"Der Text wird mit den eingefügten Dateien größer als 32 MB und "
                                     "kann nicht übertragen werden.\rDie Übertragung wird daher "
                                     "abgebrochen."});
}

TEST(GroupedNumberTest, DotsBetweenThousands) {
  const std::pair<size_t, const char*> rows[] = {
      {0, "0"}, {999, "999"}, {1000, "1.000"}, {20000, "20.000"}, {1234567, "1.234.567"}};
  for (const auto& [n, text] : rows) EXPECT_EQ(GroupedNumber(n), text);
}

}  // namespace
}  // namespace zelvo
