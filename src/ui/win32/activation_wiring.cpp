#include "ui/win32/activation_wiring.h"

#include "activation/activation_sources.h"
#include "store/default_data_file.h"

namespace zelvo {
namespace {

constexpr UINT kTrayMessage = WM_USER;
// Posted so that "&Beenden" ends the program after the menu has unwound.
constexpr UINT kEndProgramMessage = WM_APP + 0x51;

}  // namespace

ActivationWiring::ActivationWiring(HINSTANCE instance, HWND mainWindow, Program& program,
                                   Services& services)
    : instance_(instance),
      main_(mainWindow),
      program_(program),
      services_(services),
      registrar_(mainWindow),
      hotkey_(registrar_, services.dialogs),
      autostart_(services, autostartPlatform_),
      options_(hotkey_, autostart_, shell_,
               OptionsActions{
                   [this](DataFolderMode mode) { program_.SelectDataFolder(mode); },
                   [this] { program_.lock().RemoveLockDialog(); },
                   [this](const ProgramSettings& s) { SaveAllSettings(s); },
                   [this] { PlaceBorderStrip(); },
                   [this](int32_t colour) {
                     EnsureStrip();
                     strip_->SetColour(colour);
                   },
                   [this] { return program_.dataFile().Path(); },
                   [this] { return DefaultDataFile(services_); },
                   [this] {
                     if (showBackups) showBackups();
                   },
               }),
      activation_(*this) {}

ActivationWiring::~ActivationWiring() { UnloadOtherWindows(); }

void ActivationWiring::EnsureStrip() {
  if (strip_) return;
  strip_ = std::make_unique<BorderStripWindow>(
      instance_, [this](StripMouseEvent e, MouseButton b) { OnStripMouse(e, b); });
  strip_->Create(program_.Caption("Satellit"));
}

void ActivationWiring::EnsureDialog() {
  if (dialog_) return;
  dialog_ = std::make_unique<OptionsDialog>(instance_, main_, options_);
  dialog_->Create(program_.Caption("Optionen"));
}

void ActivationWiring::ShowDataFilePath(const std::string& path) {
  EnsureDialog();
  options_.ShowDataFilePath(path);
}

void ActivationWiring::ApplySettings(const ProgramSettings& settings) {
  EnsureDialog();
  options_.LoadSettings(settings);
}

void ActivationWiring::PlaceBorderStrip() {
  EnsureStrip();
  const OptionsState& s = options_.State();
  const StripPlacement placement = PlaceBorderStripGeometry(
      s.viaBorder, s.pos, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  const bool dialogShown = placement.visible && dialog_ && dialog_->IsVisible();
  if (dialogShown) dialog_->Hide();
  strip_->Place(placement);
  // Shown again without taking the focus: the menu may be about to open.
  if (dialogShown) ShowWindow(dialog_->hwnd(), SW_SHOWNA);
}

void ActivationWiring::SaveAllSettings(const ProgramSettings& s) {
  SaveSettings(program_.dataFile(), s);
  const std::pair<const char*, bool> choices[] = {
      {"Suchfenster statt Men\xC3\xBC anzeigen",
       SaveUserChoice(services_.settings, kKeySearchWindow, s.SearchWindow)},
      {"\xC3\x84nderungen anderer PCs melden",
       SaveUserChoice(services_.settings, kKeyChangeBalloon, s.ChangeBalloon)}};
  for (const auto& [label, saved] : choices)
    if (!saved)
      services_.Show({std::string("Die Einstellung \xE2\x80\x9E") + label + "\xE2\x80\x9C "
                      "konnte nicht gespeichert werden.",
                      MsgIcon::Error});
}

void ActivationWiring::RemoveHotkey() { hotkey_.Remove(); }

std::optional<HotkeyDescription> ActivationWiring::ActiveHotkey() const {
  if (!hotkey_.Active()) return std::nullopt;
  return HotkeyFromHK(options_.CurrentSettings().HK);
}

void ActivationWiring::UnloadOtherWindows() {
  dialog_.reset();
  strip_.reset();
}

void ActivationWiring::ShowOptionsDialog() {
  EnsureDialog();
  dialog_->Show();
}

void ActivationWiring::OnStripMouse(StripMouseEvent event, MouseButton button) {
  std::optional<int> kind = stripTrigger_.OnMouse(event, button, options_.State().byClick);
  if (!kind) return;
  activation_.HandleActivation(*kind);  // returns when the menu has closed
  if (*kind == kActivateMenu && strip_) {
    stripTrigger_.OnMenuClosed();
    strip_->TrackLeave();
  }
}

bool ActivationWiring::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  switch (msg) {
    case WM_HOTKEY:
      // Only one hotkey is registered; the window's own handling follows.
      activation_.HandleActivation(kActivateMenu);
      return false;
    case kTrayMessage:
      if (auto kind = TrayActivationKind(static_cast<uint32_t>(lp)))
        activation_.HandleActivation(*kind);
      *result = 0;
      return true;
    case WM_INITMENUPOPUP:
      if (!menuView_.OnInitMenuPopup(reinterpret_cast<HMENU>(wp))) return false;
      *result = 0;
      return true;
    case kEndProgramMessage:
      if (!mayEndProgram || mayEndProgram()) DestroyWindow(main_);
      *result = 0;
      return true;
  }
  return false;
}

bool ActivationWiring::PreTranslateMessage(MSG* msg) {
  return dialog_ && dialog_->hwnd() && IsDialogMessageW(dialog_->hwnd(), msg);
}

bool ActivationWiring::IsNTPlatform() { return program_.IsNT(); }

void ActivationWiring::CaptureLastUsedWindow() {
  if (delivery.captureLastUsedWindow) delivery.captureLastUsedWindow();
}

void ActivationWiring::BringMainWindowToForeground() { SetForegroundWindow(main_); }

void ActivationWiring::ReloadAll() { program_.ReloadAll(); }

const std::vector<EntryListItem>& ActivationWiring::MenuEntries() {
  return program_.entryList().entries;
}

bool ActivationWiring::MenuCascading() { return options_.Cascading(); }

bool ActivationWiring::SearchWindowInsteadOfMenu() { return options_.SearchWindowInsteadOfMenu(); }

std::optional<EntryListItem> ActivationWiring::PopupSearchWindow(
    const std::function<void()>& whenShown) {
  SearchForm form(program_.search().Index());
  SearchWindow window(instance_, main_);
  return window.Run(form, program_.Caption("Suche"),
                    delivery.lastUsedWindow ? delivery.lastUsedWindow() : nullptr, [&] {
                      if (!whenShown) return;
                      whenShown();
                      form.UseIndex(program_.search().Index());
                    });
}

int ActivationWiring::PopupSnippetMenu(const SnippetMenu& menu) {
  return menuView_.Popup(main_, menu);
}

void ActivationWiring::DeliverEntry(int number, const std::string& name) {
  program_.NoteEntryUsed(number);
  if (delivery.deliverEntry) delivery.deliverEntry(number, name);
}

bool ActivationWiring::DeliveryBusy() { return delivery.isBusy && delivery.isBusy(); }

bool ActivationWiring::IsMainWindowVisible() { return IsWindowVisible(main_) != FALSE; }

void ActivationWiring::ShowMainWindow(bool normalState) {
  ShowWindow(main_, normalState ? SW_SHOWNORMAL : SW_SHOW);
  // The hidden window may already own the foreground (the menu's owner), in
  // which case SetForegroundWindow alone does not raise it.
  SetWindowPos(main_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(main_);
}

void ActivationWiring::HideMainWindow() { ShowWindow(main_, SW_HIDE); }

void ActivationWiring::ReleaseLock() { program_.lock().ReleaseLock(false); }

void ActivationWiring::EndProgram() { PostMessageW(main_, kEndProgramMessage, 0, 0); }

}  // namespace zelvo
