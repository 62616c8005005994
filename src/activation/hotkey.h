// The global hotkey: its three encodings and keeping the registration in
// step with the options dialog's choice.
#pragma once

#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/hotkey_registrar.h"

namespace zelvo {

inline constexpr int kHotkeyLastKeyIndex = 12;
// Name of the global atom the hotkey is registered under.
inline constexpr const char* kHotkeyAtomName = "-16385";

// Modifier bits handed to the window system.
inline constexpr unsigned kModAlt = 1, kModControl = 2, kModShift = 4;

struct HotkeyDescription {
  int keyIndex = 0;  // 0: none ("(deaktiviert)"), n: function key Fn
  bool shift = false, alt = false, strg = false;
  bool operator==(const HotkeyDescription&) const = default;
};

// The stored setting HK: key index + 256 Shift + 512 Alt + 1024 Strg. Values
// outside 0..4095 and key indexes above 12 read as 0.
HotkeyDescription HotkeyFromHK(long long hk);
int HKFromHotkey(const HotkeyDescription& d);

struct HotkeyRegistration {
  unsigned virtualKey = 0;  // VK_F1 (0x70) + n - 1
  unsigned modifiers = 0;   // kModAlt | kModControl | kModShift
};
HotkeyRegistration RegistrationFor(const HotkeyDescription& d);

// "(deaktiviert)", "F1" ... "F12": list index = key index.
std::vector<std::string> HotkeyKeyList();

// "Shift + Alt + Strg + F5" in that order, "F9" without modifiers.
std::string HotkeyCombinationText(const HotkeyDescription& d);
Message HotkeyConflictMessage(const HotkeyDescription& d);

// ApplyHotkey and RemoveHotkey: one registration at a time, and a taken
// combination reported once, leaving no hotkey.
class HotkeyController {
 public:
  HotkeyController(HotkeyRegistrar& registrar, Dialogs& dialogs);

  // Makes the registration match `wanted`. False when the combination could
  // not be registered: no hotkey is active then, and the caller resets its
  // key list before it calls ReportConflict.
  bool Apply(const HotkeyDescription& wanted);
  void ReportConflict(const HotkeyDescription& wanted);
  void Remove();
  bool Active() const { return active_; }

 private:
  HotkeyRegistrar& registrar_;
  Dialogs& dialogs_;
  bool active_ = false;
};

}  // namespace zelvo
