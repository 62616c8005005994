#include "delivery/delivery.h"

#include <algorithm>
#include <utility>

#include "delivery/keystrokes.h"
#include "delivery/placeholders.h"
#include "store/text_codes.h"

namespace zelvo {

namespace {

constexpr const char* kCancelled = "Die Übertragung wird daher abgebrochen.";
constexpr const char* kElevatedTarget =
    "Das Zielfenster gehört zu einem Programm, das mit höheren Rechten läuft (zum Beispiel als "
    "Administrator). Zelvoscript kann dorthin keine Tastatureingaben senden.";
constexpr const char* kTextOnClipboard =
    "Der Text liegt in der Zwischenablage und kann dort von Hand eingefügt werden.";
constexpr const char* kClipboardFailed = "Die Zwischenablage konnte nicht beschrieben werden.";
constexpr const char* kInputRejected =
    "Die Tastatureingaben konnten nicht vollständig an das Zielfenster übergeben werden.";
constexpr const char* kTargetLeft =
    "Das Zielfenster ist nicht mehr im Vordergrund. Die Übertragung wurde abgebrochen.";
constexpr const char* kStoppedWithEsc = "Die Übertragung wurde mit Esc abgebrochen.";
constexpr const char* kTextTooLarge =
    "Der Text wird mit den eingefügten Dateien größer als 32 MB und kann nicht übertragen werden.";
constexpr const char* kPasteInTerminal = "^+v";  // Ctrl+Shift+V, bound in every version

// "350 bis 400" when the target was not seen to read the last keys sent.
std::string Progress(std::size_t read, std::size_t typed, std::size_t total) {
  std::string sent = GroupedNumber(read);
  if (typed > read) sent += " bis " + GroupedNumber(typed);
  return "Gesendet wurden " + sent + " von " + GroupedNumber(total) + " Zeichen.";
}

// Resets the busy flag however the delivery ends.
class BusyScope {
 public:
  explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~BusyScope() { flag_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& flag_;
};

SendMethod MethodOf(const SnippetEntry& entry) {
  switch (entry.DosBox) {
    case 1: return SendMethod::CommandPrompt;
    case 2: return SendMethod::Clipboard;
    default: return SendMethod::Keystrokes;
  }
}

}  // namespace

ConsolePaste ConsolePasteFor(const std::string& windowClass) {
  // The paste command of the console's edit menu, by window class.
  static const std::pair<const char*, unsigned> kConsoles[] = {
      {"ConsoleWindowClass", 0xFFF1},  // Windows' console
      {"WineConsoleClass", 0x112},     // the console of Wine
  };
  for (const auto& [cls, command] : kConsoles)
    if (windowClass == cls) return {ConsolePaste::Command, command};
  if (windowClass == "CASCADIA_HOSTING_WINDOW_CLASS") return {ConsolePaste::TerminalKeys};
  return {};
}

std::string GroupedNumber(std::size_t n) {
  const std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += '.';
    out += digits[i];
  }
  return out;
}

Delivery::Delivery(Services& services, DeliveryPlatform platform, TargetWindows& targets,
                   DeliveryHost& host)
    : services_(services), platform_(platform), targets_(targets), host_(host) {}

void Delivery::DeliverEntry(int number, const std::string& name) {
  if (busy_) return;  // one delivery at a time; a second activation is dropped
  BusyScope busy(busy_);

  std::optional<SnippetEntry> read = host_.ReadEntry(number);
  if (!read) return;  // an unreadable file never turns into typed nothing
  const SnippetEntry& entry = *read;
  if (entry.Name != name) {
    ShowError("Der Eintrag '" + name +
              "' wurde inzwischen auf einem anderen PC geändert (umbenannt, gelöscht oder "
              "verschoben).\r" + kCancelled);
    return;
  }
  ExpansionError error = ExpansionError::None;
  std::string text =
      ExpandPlaceholders(UnescapeText(entry.Text), services_.clock, services_.files, &error);
  if (error == ExpansionError::TooLarge) {
    ShowError(std::string(kTextTooLarge) + "\r" + kCancelled);
    return;
  }
  secretOnClipboard_ = pasted_ = false;
  clipboardBefore_.reset();
  if (!PrepareSend(entry, text)) return;

  targetTitle_ = MakeTargetTitle(entry.Title);
  if (!targetTitle_.empty())
    ResolveByTitle();
  else
    DeliverToLastUsedWindow();
  if (secretOnClipboard_) RestoreClipboardAfterSecret();
}

bool Delivery::PrepareSend(const SnippetEntry& entry, const std::string& text) {
  method_ = MethodOf(entry);
  if (method_ == SendMethod::Keystrokes) {
    outgoingText_ = EncodeKeystrokes(text);
    return true;
  }
  // The clipboard is filled before the target is looked for. An enciphered
  // text stays out of clipboard history and leaves the clipboard again when
  // the delivery ends; a plain one stays there.
  if (entry.Crypt) clipboardBefore_ = platform_.clipboard.Text();
  if (!platform_.clipboard.SetText(text, entry.Crypt)) {
    outgoingText_.clear();
    ShowError(std::string(kClipboardFailed) + "\r" + kCancelled);
    return false;
  }
  secretOnClipboard_ = entry.Crypt;
  outgoingText_ = method_ == SendMethod::CommandPrompt ? kPasteInConsole : kPasteWithCtrlV;
  return true;
}

void Delivery::RestoreClipboardAfterSecret() {
  Clipboard& clipboard = platform_.clipboard;
  // The target reads the text some time after the paste key reached it.
  if (pasted_) WaitUntil(kPasteTakenWaitMs, [&] { return clipboard.SecretTaken(); });
  if (!clipboard.HoldsOurText()) return;  // the user has copied something else meanwhile
  if (clipboardBefore_)
    clipboard.SetText(*clipboardBefore_, false);
  else
    clipboard.Clear();
}

void Delivery::ResolveByTitle() {
  std::vector<TargetWindow> candidates = targets_.CollectCandidates(targetTitle_);
  if (candidates.empty()) {
    ReportNoTarget();
  } else if (candidates.size() == 1) {
    ActivateAndSend(candidates.front().Handle);
  } else {
    AuswahlForm form(host_.BuildCaption("Auswahl"), host_.MainWindowCorner());
    std::unique_ptr<AuswahlView> view = host_.CreateAuswahlView(form);
    if (std::optional<WindowHandle> chosen = form.Choose(*view, candidates)) {
      view.reset();
      ActivateAndSend(*chosen);
    }
  }
}

void Delivery::DeliverToLastUsedWindow() {
  WindowHandle last = targets_.LastUsedWindow();
  if (last == 0)
    ReportNoTarget();
  else
    ActivateAndSend(last);
}

void Delivery::ActivateAndSend(WindowHandle window) {
  WindowSystem& windows = platform_.windows;
  if (!windows.IsWindow(window)) {
    ReportNoTarget();
    return;
  }
  // Our simulated input would silently vanish in a window of higher rights.
  if (windows.HasHigherIntegrity(window)) {
    std::string text = std::string(kElevatedTarget) + "\r" + kCancelled;
    if (method_ != SendMethod::Keystrokes && !secretOnClipboard_)
      text += "\r" + std::string(kTextOnClipboard);
    ShowError(text);
    return;
  }

  windows.SetForeground(window);
  windows.ProcessPendingMessages();
  // Typing into whatever window has the focus instead would be worse than
  // typing nothing.
  if (!WaitUntil(kForegroundWaitMs, [&] { return IsForeground(window); })) {
    ReportNoTarget();
    return;
  }
  // A modifier still held from the hotkey would turn letters into shortcuts.
  // After the wait the text is typed anyway.
  WaitUntil(kModifierWaitMs, [&] { return !platform_.keyboard.ModifiersHeld(); });

  if (method_ == SendMethod::Keystrokes)
    TypeInBatches(window);
  else
    Paste(window);
}

void Delivery::TypeInBatches(WindowHandle window) {
  Keyboard& keyboard = platform_.keyboard;
  const KeySequence keys = ParseKeystrokes(outgoingText_);  // one stroke per character
  std::unique_ptr<EscapeWatch> escape = keyboard.WatchForEscape();
  // Typed: handed to the system. Read: seen read by the target; the keys
  // between the two may have gone astray when the user switched windows.
  std::size_t typed = 0, read = 0;
  auto stop = [&](const char* why, MsgIcon icon) {
    ShowError(std::string(why) + "\r" + Progress(read, typed, keys.size()), icon);
  };
  std::size_t n = 0;  // the last batch
  while (typed < keys.size()) {
    if (escape && escape->Pressed()) return stop(kStoppedWithEsc, MsgIcon::Information);
    // The user may have switched windows: the rest would land there. Keys
    // of the batch that was under way when the switch came may be lost
    // even where the target was seen reading them.
    if (typed > 0 && !IsForeground(window)) {
      read = std::min(read, typed - n);
      return stop(kTargetLeft, MsgIcon::Error);
    }
    n = std::min(kStrokesPerBatch, keys.size() - typed);
    const Handover handover = keyboard.Send(KeySequence(keys.begin() + typed, keys.begin() + typed + n));
    if (handover == Handover::Refused) return stop(kInputRejected, MsgIcon::Error);
    typed += n;
    if (handover == Handover::Taken) read = typed;
  }
}

void Delivery::Paste(WindowHandle window) {
  std::string keys = outgoingText_;
  if (method_ == SendMethod::CommandPrompt) {
    const ConsolePaste paste = ConsolePasteFor(platform_.windows.ClassName(window));
    switch (paste.kind) {
      case ConsolePaste::Command:
        platform_.windows.PostCommand(window, paste.commandId);
        pasted_ = true;
        return;
      case ConsolePaste::TerminalKeys: keys = kPasteInTerminal; break;
      case ConsolePaste::MenuLetters: break;
    }
  }
  pasted_ = true;
  if (platform_.keyboard.Send(ParseKeystrokes(keys)) == Handover::Refused) ShowError(kInputRejected);
}

void Delivery::ReportNoTarget() { ShowError(kNoTargetMessage); }

bool Delivery::WaitUntil(int timeoutMs, const std::function<bool()>& done) {
  for (int waited = 0;; waited += kPollStepMs) {
    if (done()) return true;
    if (waited >= timeoutMs) return false;
    services_.clock.SleepMs(kPollStepMs);
  }
}

bool Delivery::IsForeground(WindowHandle window) {
  WindowSystem& windows = platform_.windows;
  WindowHandle fg = windows.Foreground();
  // A target that hands the focus on to its own dialog counts as reached.
  return fg != 0 && (fg == window || windows.RootOwner(fg) == windows.RootOwner(window));
}

void Delivery::ShowError(const std::string& text, MsgIcon icon) {
  Message m;
  m.text = text;
  m.icon = icon;
  services_.Show(m);
}

}  // namespace zelvo
