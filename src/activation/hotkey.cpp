#include "activation/hotkey.h"

#include "platform/services.h"

namespace zelvo {

HotkeyDescription HotkeyFromHK(long long hk) {
  if (hk < 0 || hk > 4095) hk = 0;
  HotkeyDescription d;
  d.keyIndex = static_cast<int>(hk & 0xFF);
  if (d.keyIndex > kHotkeyLastKeyIndex) d.keyIndex = 0;
  d.shift = (hk & 0x100) != 0;
  d.alt = (hk & 0x200) != 0;
  d.strg = (hk & 0x400) != 0;
  return d;
}

int HKFromHotkey(const HotkeyDescription& d) {
  return d.keyIndex + (d.shift ? 256 : 0) + (d.alt ? 512 : 0) + (d.strg ? 1024 : 0);
}

HotkeyRegistration RegistrationFor(const HotkeyDescription& d) {
  HotkeyRegistration r;
  r.virtualKey = 111u + static_cast<unsigned>(d.keyIndex);
  if (d.alt) r.modifiers |= kModAlt;
  if (d.strg) r.modifiers |= kModControl;
  if (d.shift) r.modifiers |= kModShift;
  return r;
}

std::vector<std::string> HotkeyKeyList() {
  std::vector<std::string> list{"(deaktiviert)"};
  for (int n = 1; n <= kHotkeyLastKeyIndex; ++n) list.push_back("F" + std::to_string(n));
  return list;
}

std::string HotkeyCombinationText(const HotkeyDescription& d) {
  std::string text;
  if (d.shift) text += "Shift + ";
  if (d.alt) text += "Alt + ";
  if (d.strg) text += "Strg + ";
  return text + "F" + std::to_string(d.keyIndex);
}

Message HotkeyConflictMessage(const HotkeyDescription& d) {
  return {"Die Tastenkombination " + HotkeyCombinationText(d) +
              " ist bereits anderweitig belegt.\r\rBitte w\xC3\xA4hlen Sie eine andere Kombination.",
          MsgIcon::Information};
}

HotkeyController::HotkeyController(HotkeyRegistrar& registrar, Dialogs& dialogs)
    : registrar_(registrar), dialogs_(dialogs) {}

bool HotkeyController::Apply(const HotkeyDescription& wanted) {
  Remove();
  if (wanted.keyIndex <= 0 || wanted.keyIndex > kHotkeyLastKeyIndex) return true;
  const HotkeyRegistration r = RegistrationFor(wanted);
  if (registrar_.Install(r.virtualKey, r.modifiers)) {
    active_ = true;
    return true;
  }
  return false;
}

void HotkeyController::ReportConflict(const HotkeyDescription& wanted) {
  dialogs_.Show(kProductTitle, HotkeyConflictMessage(wanted));
}

void HotkeyController::Remove() {
  if (active_) registrar_.Remove();
  active_ = false;
}

}  // namespace zelvo
