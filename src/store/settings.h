// Shared program settings (section Common of the data file).
#pragma once

#include <cstdint>
#include <optional>

#include "store/data_file.h"
#include "store/ini_document.h"

namespace zelvo {

inline constexpr int32_t kDefaultBorderColour = -2147483633;  // 0x8000000F, button face

struct ProgramSettings {
  int HK = 0;  // key index + 256 Shift + 512 Alt + 1024 Strg, 0..4095
  int PumActViaBorder = 0;
  int PumActBorderByClick = 0;
  int PumActPos = 0;  // 0 top, 1 bottom, 2 left, 3 right
  int32_t PumActBorderCol = kDefaultBorderColour;
  int PumMode = 0;  // 0 flat, 1 cascading
  // Per user (settings store, not the data file): the hotkey, the tray icon
  // and the border strip open the search window instead of the menu.
  bool SearchWindow = false;
  // Per user: a balloon tells who on another PC changed which entries.
  bool ChangeBalloon = true;

  int KeyIndex() const { return HK & 0xFF; }
  bool Shift() const { return (HK & 0x100) != 0; }
  bool Alt() const { return (HK & 0x200) != 0; }
  bool Strg() const { return (HK & 0x400) != 0; }
  static int EncodeHK(int keyIndex, bool shift, bool alt, bool strg) {
    return keyIndex + (shift ? 256 : 0) + (alt ? 512 : 0) + (strg ? 1024 : 0);
  }
};

// Every value clamped to its range here, in one place.
ProgramSettings LoadSettings(const IniDocument& doc);
// Writes the six keys in one update.
bool SaveSettings(DataFile& file, const ProgramSettings& settings);

// Per-user keys of the settings store.
inline constexpr const char* kKeyPath = "path";
inline constexpr const char* kKeyTop = "_Top";
inline constexpr const char* kKeyLeft = "_Left";
inline constexpr const char* kKeyWidth = "_Width";
inline constexpr const char* kKeyHeight = "_Height";
// Set once this user has seen the first-start balloon.
inline constexpr const char* kKeyWelcomed = "_Welcomed";
inline constexpr const char* kKeySearchWindow = "SearchWindow";
inline constexpr const char* kKeyChangeBalloon = "ChangeBalloon";

// A per-user choice of the settings store, stored as "0" or "1".
bool LoadUserChoice(AppSettings& settings, const char* key, bool fallback);
bool SaveUserChoice(AppSettings& settings, const char* key, bool on);

}  // namespace zelvo
