// Version text and window captions.
#pragma once

#include <cstdint>
#include <string>

namespace zelvo {

struct VersionNumber {
  int major = 2, minor = 5, revision = 18;
};

// Flags: low byte 0 " (V2.5.18)", 1 "2.5.18", 2 " [V2.5.18]", other: empty;
// bit 8 drops the revision (or turns a revision of 100 or more into a letter).
std::string VersionText(uint32_t flags, VersionNumber v = {});

// "• Zelvoscript 2.5 - Optionen" on NT, ":: Zelvoscript 2.5 - Optionen" otherwise.
std::string BuildCaption(const std::string& title, bool isNT);

}  // namespace zelvo
