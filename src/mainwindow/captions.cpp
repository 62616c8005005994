#include "mainwindow/captions.h"

#include "platform/services.h"
#include "store/text_codes.h"

namespace zelvo {

std::string VersionText(uint32_t flags, VersionNumber v) {
  std::string suffix;
  if (flags & 0x100) {
    if (v.revision >= 100)
      suffix = std::string(1, static_cast<char>(96 + RoundHalfEven(v.revision / 100.0)));
  } else {
    suffix = "." + std::to_string(v.revision);
  }
  const std::string core = std::to_string(v.major) + "." + std::to_string(v.minor) + suffix;
  switch (flags & 0xFF) {
    case 0: return " (V" + core + ")";
    case 1: return core;
    case 2: return " [V" + core + "]";
    default: return {};
  }
}

std::string BuildCaption(const std::string& title, bool isNT) {
  std::string caption = isNT ? "\xE2\x80\xA2 " : ":: ";
  caption += std::string(kProductTitle) + " " + VersionText(257);
  if (!title.empty()) caption += " - " + title;
  return caption;
}

std::string FirstRunBalloonText(const std::optional<HotkeyDescription>& hotkey) {
  const std::string where = std::string(kProductTitle) + " läuft jetzt im Infobereich der Taskleiste.\n";
  if (!hotkey) return where + "Ein Klick auf dieses Symbol öffnet die Textbausteine.";
  return where + "Die Textbausteine öffnen Sie mit " + HotkeyCombinationText(*hotkey) +
         " oder mit einem Klick auf dieses Symbol.";
}

}  // namespace zelvo
