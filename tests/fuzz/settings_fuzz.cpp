// The shared settings and the hotkey values. Input: six values for the
// keys of section Common, as a hand-edited file may hold them.
//
// Properties: every setting is in its range after loading, whatever the
// text; a plain whole number in range reads as itself, anything outside as
// the fallback; the hotkey's stored, registered and shown forms agree with
// each other for every stored value.
#include <fuzzer/FuzzedDataProvider.h>

#include "activation/hotkey.h"
#include "fuzz_support.h"
#include "store/settings.h"

using namespace zelvo;
using namespace zelvo::fuzz;

namespace {

const char* const kKeys[] = {"HK", "PumActViaBorder", "PumActBorderByClick", "PumActPos", "PumActBorderCol",
                             "PumMode"};

// A value as people type it: a number with blanks, a sign, decimals or an
// exponent, trailing words, or any text at all.
std::string ValueText(FuzzedDataProvider& fdp, std::optional<long long>& plain) {
  plain.reset();
  switch (fdp.ConsumeIntegralInRange(0, 3)) {
    case 0: {
      const long long v = fdp.ConsumeIntegralInRange<long long>(-5000, 5000);
      plain = v;
      return std::to_string(v);
    }
    case 1:
      return std::to_string(fdp.ConsumeIntegral<long long>()) + fdp.ConsumeRandomLengthString(8);
    case 2:
      return std::to_string(fdp.ConsumeFloatingPoint<double>());
    default:
      return TextFrom(fdp.ConsumeRandomLengthString(40));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider fdp(data, size);
  IniDocument doc = IniDocument::Parse("[Common]\r\n");
  std::optional<long long> plain[6];
  for (int i = 0; i < 6; ++i)
    if (fdp.ConsumeBool()) doc.Set("Common", kKeys[i], ValueText(fdp, plain[i]));

  const ProgramSettings s = LoadSettings(doc);
  FUZZ_CHECK(s.HK >= 0 && s.HK <= 4095 && (s.HK & 0xFF) <= kHotkeyLastKeyIndex && (s.HK & 0x800) == 0);
  FUZZ_CHECK(s.PumActViaBorder == 0 || s.PumActViaBorder == 1);
  FUZZ_CHECK(s.PumActBorderByClick == 0 || s.PumActBorderByClick == 1);
  FUZZ_CHECK(s.PumActPos >= 0 && s.PumActPos <= 3);
  FUZZ_CHECK(s.PumMode == 0 || s.PumMode == 1);

  // Plain whole numbers: in range they are taken, outside the fallback.
  if (plain[0]) {
    const long long hk = *plain[0];
    const bool valid = hk >= 0 && hk <= 4095 && (hk & 0xFF) <= kHotkeyLastKeyIndex;
    FUZZ_CHECK_EQ(static_cast<long long>(s.HK), valid ? hk & 0x7FF : hk >= 0 && hk <= 4095 ? hk & 0x700 : 0,
                  "HK from " + std::to_string(hk));
  }
  const int highs[] = {0, 1, 1, 3};
  const int fields[] = {0, s.PumActViaBorder, s.PumActBorderByClick, s.PumActPos};
  for (int i = 1; i <= 3; ++i)
    if (plain[i]) {
      const long long v = *plain[i];
      FUZZ_CHECK_EQ(static_cast<long long>(fields[i]), v >= 0 && v <= highs[i] ? v : 0, kKeys[i]);
    }
  if (plain[4]) FUZZ_CHECK_EQ(static_cast<long long>(s.PumActBorderCol), *plain[4], "PumActBorderCol");
  if (plain[5]) FUZZ_CHECK_EQ(s.PumMode, *plain[5] != 0 ? 1 : 0, "PumMode");

  // The hotkey's forms, for any stored number.
  const long long stored = fdp.ConsumeIntegral<long long>();
  const HotkeyDescription d = HotkeyFromHK(stored);
  FUZZ_CHECK(d.keyIndex >= 0 && d.keyIndex <= kHotkeyLastKeyIndex);
  if (stored >= 0 && stored <= 4095 && (stored & 0xFF) <= kHotkeyLastKeyIndex)
    FUZZ_CHECK_EQ(static_cast<long long>(HKFromHotkey(d)), stored & 0x7FF, "stored hotkey");
  FUZZ_CHECK(HotkeyFromHK(HKFromHotkey(d)) == d);
  const HotkeyRegistration r = RegistrationFor(d);
  FUZZ_CHECK((r.modifiers & ~7u) == 0);
  FUZZ_CHECK_EQ(r.modifiers, (d.alt ? kModAlt : 0) | (d.strg ? kModControl : 0) | (d.shift ? kModShift : 0),
                "registered modifiers");
  if (d.keyIndex > 0) {
    FUZZ_CHECK_EQ(r.virtualKey, 0x6Fu + d.keyIndex, "virtual key");
    FUZZ_CHECK_EQ(HotkeyKeyList()[d.keyIndex], "F" + std::to_string(d.keyIndex), "key list");
    const std::string shown = HotkeyCombinationText(d);
    FUZZ_CHECK_EQ(shown.substr(shown.rfind('F')), "F" + std::to_string(d.keyIndex), shown);
  }
  FUZZ_CHECK(HotkeyFromHK(s.HK) == (HotkeyDescription{s.KeyIndex(), s.Shift(), s.Alt(), s.Strg()}));
  return 0;
}
