#include "delivery/delivery.h"

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
  std::string text = ExpandPlaceholders(UnescapeText(entry.Text), services_.clock, services_.files);
  if (!PrepareSend(entry, text)) return;

  targetTitle_ = MakeTargetTitle(entry.Title);
  if (!targetTitle_.empty())
    ResolveByTitle();
  else
    DeliverToLastUsedWindow();
}

bool Delivery::PrepareSend(const SnippetEntry& entry, const std::string& text) {
  method_ = MethodOf(entry);
  if (method_ == SendMethod::Keystrokes) {
    outgoingText_ = EncodeKeystrokes(text);
    return true;
  }
  // The clipboard is filled before the target is looked for and is not
  // restored afterwards. An enciphered text stays out of clipboard history.
  if (!platform_.clipboard.SetText(text, entry.Crypt)) {
    outgoingText_.clear();
    ShowError(std::string(kClipboardFailed) + "\r" + kCancelled);
    return false;
  }
  outgoingText_ = method_ == SendMethod::CommandPrompt ? kPasteInConsole : kPasteWithCtrlV;
  return true;
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
    if (method_ != SendMethod::Keystrokes) text += "\r" + std::string(kTextOnClipboard);
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

  if (!platform_.keyboard.Send(ParseKeystrokes(outgoingText_))) ShowError(kInputRejected);
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

void Delivery::ShowError(const std::string& text) {
  Message m;
  m.text = text;
  m.icon = MsgIcon::Error;
  services_.Show(m);
}

}  // namespace zelvo
