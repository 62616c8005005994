// Version text and window captions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "activation/hotkey.h"
#include "zelvo_version.h"

namespace zelvo {

struct VersionNumber {
  int major = ZELVO_VERSION_MAJOR, minor = ZELVO_VERSION_MINOR, revision = ZELVO_VERSION_REVISION;
};

// Flags: low byte 0 " (V2.5.18)", 1 "2.5.18", 2 " [V2.5.18]", other: empty;
// bit 8 drops the revision (or turns a revision of 100 or more into a letter).
std::string VersionText(uint32_t flags, VersionNumber v = {});

// "• Zelvoscript 2.5 - Optionen" on NT, ":: Zelvoscript 2.5 - Optionen" otherwise.
std::string BuildCaption(const std::string& title, bool isNT);

// The balloon a user sees once, at the first start: where the program went
// and how the snippets open (the hotkey when one is active).
std::string FirstRunBalloonText(const std::optional<HotkeyDescription>& hotkey);

}  // namespace zelvo
