#include "activation/hotkey.h"

#include <gtest/gtest.h>

#include "activation_fakes.h"

namespace zelvo {
namespace {


using activation_test::FakeHotkeyRegistrar;

TEST(Hotkey, StoredValueDecodesToKeyRegistrationAndText) {
  struct Case {
    long long hk;
    HotkeyDescription d;
    unsigned vk, mods;
    const char* text;
  } cases[] = {
      {261, {5, true, false, false}, 0x74, 4, "Shift + F5"},
      {1543, {7, false, true, true}, 0x76, 3, "Alt + Strg + F7"},
      {1795, {3, true, true, true}, 0x72, 7, "Shift + Alt + Strg + F3"},
      {1036, {12, false, false, true}, 0x7B, 2, "Strg + F12"},
      {1, {1, false, false, false}, 0x70, 0, "F1"},
  };
  for (const auto& c : cases) {
    const HotkeyDescription d = HotkeyFromHK(c.hk);
    EXPECT_EQ(d, c.d) << c.hk;
    EXPECT_EQ(HKFromHotkey(d), c.hk);
    EXPECT_EQ(RegistrationFor(d).virtualKey, c.vk) << c.hk;
    EXPECT_EQ(RegistrationFor(d).modifiers, c.mods) << c.hk;
    EXPECT_EQ(HotkeyCombinationText(d), c.text);
  }
}

TEST(Hotkey, OutOfRangeStoredValuesMeanNoKey) {
  for (long long hk : {0LL, 5000LL, 4096LL, -1LL, 255LL, 20LL}) {
    EXPECT_EQ(HotkeyFromHK(hk).keyIndex, 0) << hk;
  }
  // A key index above the list keeps the modifiers, as the boxes are separate.
  EXPECT_TRUE(HotkeyFromHK(256 + 20).shift);
}

TEST(Hotkey, KeyListAndConflictMessage) {
  const auto list = HotkeyKeyList();
  ASSERT_EQ(list.size(), 13u);
  EXPECT_EQ(list[0], "(deaktiviert)");
  EXPECT_EQ(list[12], "F12");

  const Message m = HotkeyConflictMessage({12, false, false, true});
  EXPECT_EQ(m.text,
            "Die Tastenkombination Strg + F12 ist bereits anderweitig belegt.\r\r"
            "Bitte w\xC3\xA4hlen Sie eine andere Kombination.");
  EXPECT_EQ(m.icon, MsgIcon::Information);
  EXPECT_EQ(m.buttons, MsgButtons::Ok);
}

TEST(HotkeyController, ChangeRemovesOldRegistrationBeforeInstallingNew) {
  FakeHotkeyRegistrar registrar;
  FakeDialogs dialogs;
  HotkeyController hotkey(registrar, dialogs);

  EXPECT_TRUE(hotkey.Apply({0}));
  EXPECT_TRUE(registrar.log.empty()) << "no hotkey takes nothing";

  EXPECT_TRUE(hotkey.Apply({5, true}));
  EXPECT_TRUE(hotkey.Active());
  EXPECT_TRUE(hotkey.Apply({7, false, true, true}));
  EXPECT_EQ(registrar.log, (std::vector<std::string>{"install 116/4", "remove", "install 118/3"}));

  hotkey.Remove();
  hotkey.Remove();  // nothing registered: no second removal
  EXPECT_FALSE(registrar.registered);
  EXPECT_EQ(registrar.log.back(), "remove");
  EXPECT_EQ(registrar.log.size(), 4u);
}

TEST(HotkeyController, TakenCombinationLeavesNoHotkeyAndReportsUnderProductName) {
  FakeHotkeyRegistrar registrar;
  registrar.takenByOthers.insert({0x7B, kModControl});
  FakeDialogs dialogs;
  HotkeyController hotkey(registrar, dialogs);
  ASSERT_TRUE(hotkey.Apply({3}));

  const HotkeyDescription wanted{12, false, false, true};
  EXPECT_FALSE(hotkey.Apply(wanted));
  EXPECT_FALSE(hotkey.Active());
  EXPECT_FALSE(registrar.registered) << "the old key is gone too";
  EXPECT_TRUE(dialogs.shown.empty()) << "the caller reports after resetting its list";
  hotkey.ReportConflict(wanted);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].title, "Zelvoscript");
}

}  // namespace
}  // namespace zelvo
