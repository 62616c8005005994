#include "store/settings.h"

#include <limits>
#include <string>

#include "store/text_codes.h"

namespace zelvo {
namespace {

constexpr const char* kCommon = "Common";
constexpr int kLastKeyIndex = 12;  // F12

long long ReadRounded(const IniDocument& doc, const char* key, const char* fallback) {
  return RoundHalfEven(LeadingNumber(doc.Get(kCommon, key, fallback)));
}

int ReadFlagOrRange(const IniDocument& doc, const char* key, int high) {
  return static_cast<int>(ClampInt(ReadRounded(doc, key, "0"), 0, high, 0));
}

}  // namespace

ProgramSettings LoadSettings(const IniDocument& doc) {
  ProgramSettings s;
  const long long hk = ClampInt(ReadRounded(doc, "HK", "0"), 0, 4095, 0);
  const int keyIndex = static_cast<int>(ClampInt(hk & 0xFF, 0, kLastKeyIndex, 0));
  s.HK = ProgramSettings::EncodeHK(keyIndex, hk & 0x100, hk & 0x200, hk & 0x400);

  s.PumActBorderByClick = ReadFlagOrRange(doc, "PumActBorderByClick", 1);
  s.PumActViaBorder = ReadFlagOrRange(doc, "PumActViaBorder", 1);
  s.PumActPos = ReadFlagOrRange(doc, "PumActPos", 3);

  // A colour that is no number or does not fit 32 bits was edited by hand:
  // take the button-face colour rather than some wrapped value.
  const std::optional<double> col = ParseLeadingNumber(doc.Get(kCommon, "PumActBorderCol", ""));
  s.PumActBorderCol = kDefaultBorderColour;
  if (col) {
    const long long v = RoundHalfEven(*col);
    if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
      s.PumActBorderCol = static_cast<int32_t>(v);
  }

  s.PumMode = ReadRounded(doc, "PumMode", "0") != 0 ? 1 : 0;
  return s;
}

bool LoadUserChoice(AppSettings& settings, const char* key, bool fallback) {
  return RoundHalfEven(LeadingNumber(settings.Get(key, fallback ? "1" : "0"))) != 0;
}

bool SaveUserChoice(AppSettings& settings, const char* key, bool on) {
  return settings.Save(key, on ? "1" : "0");
}

bool SaveSettings(DataFile& file, const ProgramSettings& s) {
  return file.Update([&](IniDocument& doc) {
    doc.Set(kCommon, "HK", std::to_string(s.HK));
    doc.Set(kCommon, "PumActViaBorder", std::to_string(s.PumActViaBorder));
    doc.Set(kCommon, "PumActBorderByClick", std::to_string(s.PumActBorderByClick));
    doc.Set(kCommon, "PumActPos", std::to_string(s.PumActPos));
    doc.Set(kCommon, "PumActBorderCol", std::to_string(s.PumActBorderCol));
    doc.Set(kCommon, "PumMode", std::to_string(s.PumMode));
    return true;
  });
}

}  // namespace zelvo
