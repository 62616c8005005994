// One system-wide key combination registered for the main window.
#pragma once

namespace zelvo {

class HotkeyRegistrar {
 public:
  virtual ~HotkeyRegistrar() = default;
  // Takes the identifier and registers the combination; false (with nothing
  // held) when the combination is taken or the identifier is unavailable.
  virtual bool Install(unsigned virtualKey, unsigned modifiers) = 0;
  // Unregisters and gives the identifier back; harmless when nothing is held.
  virtual void Remove() = 0;
};

}  // namespace zelvo
