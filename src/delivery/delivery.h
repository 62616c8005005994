// DeliverEntry: from an entry number to text in the target window.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "delivery/chooser.h"
#include "delivery/target_windows.h"
#include "platform/clipboard.h"
#include "platform/keyboard.h"
#include "platform/services.h"
#include "platform/window_system.h"
#include "store/snippet_store.h"

namespace zelvo {

// What the main program lends to a delivery.
class DeliveryHost {
 public:
  virtual ~DeliveryHost() = default;
  // The entry as stored now, deciphered (SnippetStore::ReadEntry); empty
  // when the data file could not be read and the user has been told why.
  virtual std::optional<SnippetEntry> ReadEntry(int number) = 0;
  virtual std::string BuildCaption(const std::string& suffix) = 0;
  virtual ScreenPoint MainWindowCorner() = 0;
  virtual std::unique_ptr<AuswahlView> CreateAuswahlView(AuswahlForm& form) = 0;
};

struct DeliveryPlatform {
  WindowSystem& windows;
  Keyboard& keyboard;
  Clipboard& clipboard;
};

inline constexpr const char* kNoTargetMessage =
    "Es wurde kein passendes Zielfenster identifiziert.\rDie Übertragung wird daher abgebrochen.";

// How long a delivery waits for things outside its control.
inline constexpr int kForegroundWaitMs = 500;
inline constexpr int kModifierWaitMs = 1000;
inline constexpr int kPasteTakenWaitMs = 5000;
inline constexpr int kPollStepMs = 10;

// Typed text goes out in batches of this many keystrokes; between two
// batches the target must still be in front and Esc stops the rest. Small
// enough that little goes astray when the user switches windows, large
// enough that the hand-over after each batch costs little.
inline constexpr std::size_t kStrokesPerBatch = 50;

// How a window of the console method gets the clipboard's text: a console
// window by its paste command, whatever the language of its menu; the
// current terminal by its paste keys; any other window by the menu's
// letters, which work in a German console only.
struct ConsolePaste {
  enum Kind { Command, TerminalKeys, MenuLetters } kind = MenuLetters;
  unsigned commandId = 0;
};
ConsolePaste ConsolePasteFor(const std::string& windowClass);

// "12.345": numbers in messages, grouped as a German reader expects.
std::string GroupedNumber(std::size_t n);

class Delivery {
 public:
  Delivery(Services& services, DeliveryPlatform platform, TargetWindows& targets,
           DeliveryHost& host);

  // `name` is the entry's name where the menu saw it: another PC may have
  // moved another entry to that number since, and then nothing is typed.
  void DeliverEntry(int number, const std::string& name);
  void DeliverToLastUsedWindow();
  void ActivateAndSend(WindowHandle window);
  void ReportNoTarget();

  // True while a delivery runs, the chooser included. A further activation
  // meanwhile is ignored by DeliverEntry; callers may ask before they start.
  bool IsBusy() const { return busy_; }

  const std::string& OutgoingText() const { return outgoingText_; }
  const std::string& TargetTitle() const { return targetTitle_; }

 private:
  void ResolveByTitle();
  bool PrepareSend(const SnippetEntry& entry, const std::string& text);
  void TypeInBatches(WindowHandle window);
  void Paste(WindowHandle window);
  void RestoreClipboardAfterSecret();
  bool WaitUntil(int timeoutMs, const std::function<bool()>& done);
  bool IsForeground(WindowHandle window);
  void ShowError(const std::string& text, MsgIcon icon = MsgIcon::Error);

  Services& services_;
  DeliveryPlatform platform_;
  TargetWindows& targets_;
  DeliveryHost& host_;
  std::string outgoingText_;
  std::string targetTitle_;
  SendMethod method_ = SendMethod::Keystrokes;
  bool busy_ = false;
  // An enciphered text on the clipboard: what was there before it, and
  // whether a paste was sent.
  bool secretOnClipboard_ = false;
  std::optional<std::string> clipboardBefore_;
  bool pasted_ = false;
};

}  // namespace zelvo
