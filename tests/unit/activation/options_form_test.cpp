#include "activation/options_form.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "activation_fakes.h"
#include "fakes/fake_services.h"

namespace zelvo {
namespace {

using namespace activation_test;

class RecordingView : public OptionsView {
 public:
  OptionsState last;
  int refreshes = 0;
  bool hidden = false;
  std::optional<int32_t> colourChoice;
  void Refresh(const OptionsState& s) override {
    last = s;
    ++refreshes;
  }
  void Hide() override { hidden = true; }
  std::optional<int32_t> ChooseColour(int32_t) override { return colourChoice; }
};

struct OptionsFixture : ::testing::Test {
  FakeServices fake;
  FakeHotkeyRegistrar registrar;
  HotkeyController hotkey{registrar, fake.dialogs};
  FakeAutostartPlatform autostartPlatform;
  Autostart autostart{fake.services, autostartPlatform};
  FakeShell shell;
  RecordingView view;
  std::vector<std::string> calls;
  std::vector<ProgramSettings> saved;
  int32_t stripColour = 0;
  OptionsForm form{hotkey, autostart, shell,
                   OptionsActions{
                       [this](DataFolderMode m) {
                         calls.push_back("folder " + std::to_string(static_cast<int>(m)));
                       },
                       [this] { calls.push_back("remove lock"); },
                       [this](const ProgramSettings& s) {
                         calls.push_back("save");
                         saved.push_back(s);
                       },
                       [this] { calls.push_back("place strip"); },
                       [this](int32_t c) { stripColour = c; },
                       [] { return std::string("\\\\server\\Team, Texte\\Zelvoscript.ini"); },
                   }};

  OptionsFixture() { form.AttachView(&view); }

  static ProgramSettings Stored(int hk) {
    ProgramSettings s;
    s.HK = hk;
    return s;
  }
};

TEST_F(OptionsFixture, LoadingRegistersTheStoredHotkeyOnlyWhenItChanged) {
  form.LoadSettings(Stored(261));
  EXPECT_TRUE(registrar.registered);
  EXPECT_EQ(registrar.virtualKey, 0x74u);
  EXPECT_EQ(registrar.modifiers, kModShift);
  EXPECT_EQ(view.last.keyList.size(), 13u);
  EXPECT_EQ(view.last.keyIndex, 5);

  const size_t before = registrar.log.size();
  form.LoadSettings(Stored(261));
  EXPECT_EQ(registrar.log.size(), before) << "same choice: registration untouched";

  form.LoadSettings(Stored(0));
  EXPECT_FALSE(registrar.registered);
}

TEST_F(OptionsFixture, DialogChangesApplyAtOnceAndReloadRestoresTheStoredKey) {
  form.LoadSettings(Stored(0));
  form.OnHotkeyStrg(true);
  EXPECT_FALSE(registrar.registered) << "no key chosen yet";
  form.OnHotkeyKey(5);
  EXPECT_TRUE(registrar.registered);
  EXPECT_EQ(registrar.modifiers, kModControl);

  form.OnClose();  // not confirmed
  EXPECT_TRUE(view.hidden);
  EXPECT_TRUE(saved.empty());
  form.LoadSettings(Stored(0));
  EXPECT_FALSE(registrar.registered);
  EXPECT_FALSE(view.last.strg);
}

TEST_F(OptionsFixture, TakenCombinationResetsTheKeyButKeepsTheModifiers) {
  registrar.takenByOthers.insert({0x7B, kModControl});
  form.LoadSettings(Stored(0));
  form.OnHotkeyStrg(true);
  form.OnHotkeyKey(12);
  EXPECT_FALSE(hotkey.Active());
  EXPECT_EQ(view.last.keyIndex, 0);
  EXPECT_TRUE(view.last.strg);
  ASSERT_EQ(fake.dialogs.shown.size(), 1u);
  EXPECT_NE(fake.dialogs.shown[0].message.text.find("Strg + F12 ist bereits"), std::string::npos);
}

TEST_F(OptionsFixture, TakenStoredCombinationIsRetriedAtEachReloadButReportedOnce) {
  registrar.takenByOthers.insert({0x74, kModControl});
  form.LoadSettings(Stored(1024 + 5));  // start-up reloads twice, then a menu showing
  form.LoadSettings(Stored(1024 + 5));
  form.LoadSettings(Stored(1024 + 5));
  EXPECT_EQ(fake.dialogs.shown.size(), 1u);
  EXPECT_EQ(std::count(registrar.log.begin(), registrar.log.end(), "install 116/2"), 3);
  EXPECT_EQ(view.last.keyIndex, 0);

  form.OnHotkeyKey(5);  // the user's own choice is always answered
  EXPECT_EQ(fake.dialogs.shown.size(), 2u);

  registrar.takenByOthers.clear();  // the other program let it go
  form.LoadSettings(Stored(1024 + 5));
  EXPECT_TRUE(hotkey.Active());
  registrar.takenByOthers.insert({0x74, kModControl});
  hotkey.Remove();
  form.LoadSettings(Stored(0));
  form.LoadSettings(Stored(1024 + 5));
  EXPECT_EQ(fake.dialogs.shown.size(), 3u) << "taken again after it had worked: told again";
}

TEST_F(OptionsFixture, OkHidesSavesTheSixValuesThenPlacesTheStrip) {
  form.LoadSettings(Stored(0));
  form.OnHotkeyStrg(true);
  form.OnHotkeyKey(12);
  form.OnPumActOpt(1);
  form.OnPumActBorderByClickOpt(1);
  form.OnPumActPosOpt(3);
  view.colourChoice = 0x00FF00;
  form.OnBtn(kBtnColour);
  form.OnPumModeChk(1);
  form.OnBtn(kBtnOk);

  EXPECT_TRUE(view.hidden);
  EXPECT_EQ(calls, (std::vector<std::string>{"save", "place strip"}));
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].HK, 1036);
  EXPECT_EQ(saved[0].PumActViaBorder, 1);
  EXPECT_EQ(saved[0].PumActBorderByClick, 1);
  EXPECT_EQ(saved[0].PumActPos, 3);
  EXPECT_EQ(saved[0].PumActBorderCol, 0x00FF00);
  EXPECT_EQ(saved[0].PumMode, 1);
}

TEST_F(OptionsFixture, ColourActsAtOnceAndCancelChangesNothing) {
  ProgramSettings s;
  s.PumActBorderCol = 0x123456;
  form.LoadSettings(s);
  EXPECT_EQ(stripColour, 0x123456);
  view.colourChoice.reset();
  form.OnBtn(kBtnColour);
  EXPECT_EQ(stripColour, 0x123456);
  EXPECT_EQ(view.last.colour, 0x123456);
  view.colourChoice = 0xFF;
  form.OnBtn(kBtnColour);
  EXPECT_EQ(stripColour, 0xFF);
  EXPECT_EQ(view.last.colour, 0xFF);
  EXPECT_TRUE(saved.empty()) << "stored only by OK";
}

TEST_F(OptionsFixture, BorderControlsFollowTheActivationChoice) {
  ProgramSettings s;
  s.PumActViaBorder = 1;
  form.LoadSettings(s);
  EXPECT_TRUE(view.last.border.positionsVisible);
  EXPECT_TRUE(view.last.border.triggerEnabled);
  EXPECT_FALSE(view.last.border.redCircleVisible);
  form.OnPumActOpt(0);
  EXPECT_FALSE(view.last.border.positionsVisible);
  EXPECT_FALSE(view.last.border.triggerEnabled);
  EXPECT_TRUE(view.last.border.redCircleVisible);
  EXPECT_TRUE(calls.empty()) << "the strip itself changes only at OK";
}

TEST_F(OptionsFixture, FolderButtons) {
  form.OnBtn(kBtnChooseFolder);
  form.OnBtn(kBtnDefaultFolder);
  form.OnBtn(kBtnRemoveLock);
  form.OnBtn(kBtnOpenFolder);
  EXPECT_EQ(calls, (std::vector<std::string>{"folder 2", "folder 1", "remove lock"}));
  ASSERT_EQ(shell.commands.size(), 1u);
  EXPECT_EQ(shell.commands[0],
            "explorer /e, /select, \"\\\\server\\Team, Texte\\Zelvoscript.ini\"");
}

TEST_F(OptionsFixture, SearchWindowChoiceIsSavedOnlyByOkAndReloadRestoresIt) {
  ProgramSettings s;
  form.LoadSettings(s);
  form.OnSearchWindowChk(true);
  EXPECT_TRUE(form.SearchWindowInsteadOfMenu()) << "acts at once, like the menu mode";
  form.OnClose();
  form.LoadSettings(s);
  EXPECT_FALSE(view.last.searchWindow);

  s.SearchWindow = true;
  form.LoadSettings(s);
  EXPECT_TRUE(view.last.searchWindow);
  form.OnSearchWindowChk(false);
  form.OnBtn(kBtnOk);
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_FALSE(saved[0].SearchWindow);
}

TEST_F(OptionsFixture, ChangeBalloonChoiceIsOnByDefaultAndSavedByOk) {
  ProgramSettings s;
  form.LoadSettings(s);
  EXPECT_TRUE(view.last.changeBalloon);
  form.OnChangeBalloonChk(false);
  form.OnBtn(kBtnOk);
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_FALSE(saved[0].ChangeBalloon);
}

TEST_F(OptionsFixture, MenuModeCheckBox) {
  ProgramSettings s;
  for (int mode : {0, 1, 2}) {
    s.PumMode = mode;
    form.LoadSettings(s);
    EXPECT_EQ(view.last.menuMode, mode);
    EXPECT_EQ(form.Cascading(), mode != 0);
  }
  s.PumMode = 7;  // a hand-edited value cascades, shown ticked
  form.LoadSettings(s);
  EXPECT_EQ(view.last.menuMode, 1);
}

}  // namespace
}  // namespace zelvo
