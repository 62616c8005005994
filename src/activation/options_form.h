// OptionsForm: the settings dialog's state and reactions. Its controls are
// also the live store of the hotkey, the border-strip values and the menu
// mode between two settings loads.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "activation/hotkey.h"
#include "platform/shell.h"
#include "store/settings.h"
#include "store/snippet_store.h"
#include "support/autostart.h"

namespace zelvo {

// Which of the border-strip controls show (ShowHidePumActBorderStuff).
struct BorderControls {
  bool positionsVisible = false;  // PumActPosOpt 0..3, "&Farbauswahl", ColBtnSample
  bool redCircleVisible = true;
  bool triggerEnabled = false;  // PumActBorderByClickOpt 0 and 1
};
BorderControls BorderControlsFor(int viaBorder);

struct OptionsState {
  std::vector<std::string> keyList;  // HotKeyLST, filled when the form loads
  int keyIndex = -1;                 // -1: nothing selected yet
  bool shift = false, alt = false, strg = false;
  int viaBorder = 0;  // PumActOpt
  int byClick = 0;    // PumActBorderByClickOpt
  int pos = 0;        // PumActPosOpt
  int32_t colour = kDefaultBorderColour;  // ColBtnSample and the position buttons
  int menuMode = 0;   // PUMModeChk: 0 clear, 1 ticked, 2 greyed (cascading)
  bool autoStart = false;
  bool searchWindow = false;  // "Suchfenster statt Menü anzeigen", per user
  bool changeBalloon = true;  // "Änderungen anderer PCs melden", per user
  std::string path;   // PathTB
  std::string defaultPath;  // the line below it: where "&Standard" puts the file
  BorderControls border;
};

// What the dialog window does for the controller.
class OptionsView {
 public:
  virtual ~OptionsView() = default;
  // Puts every control into the given state (without firing its events).
  virtual void Refresh(const OptionsState& state) = 0;
  virtual void Hide() = 0;
  // The colour dialog, preselecting `current`; nothing on cancel or error.
  virtual std::optional<int32_t> ChooseColour(int32_t current) = 0;
};

// What the dialog's buttons reach in the rest of the program.
struct OptionsActions {
  std::function<void(DataFolderMode)> selectDataFolder;
  std::function<void()> removeLockDialog;
  std::function<void(const ProgramSettings&)> saveSettings;
  std::function<void()> placeBorderStrip;
  std::function<void(int32_t)> setBorderStripColour;
  std::function<std::string()> dataFilePath;
  // Where "&Standard" would put the data file.
  std::function<std::string()> defaultDataFile;
  std::function<void()> showBackups;
};

// Indexes of the button array Btn.
enum OptionsButton {
  kBtnChooseFolder = 0,
  kBtnOk = 1,
  kBtnDefaultFolder = 2,
  kBtnOpenFolder = 3,
  kBtnColour = 4,
  kBtnRemoveLock = 5,
  kBtnBackups = 6,
};

// "explorer /e, /select, " and the data file's path in quotes.
std::string OpenFolderCommandLine(const std::string& dataFilePath);

class OptionsForm {
 public:
  OptionsForm(HotkeyController& hotkey, Autostart& autostart, Shell& shell, OptionsActions actions);

  void AttachView(OptionsView* view);
  // First use: fills the key list and reads the autostart state.
  void Load();
  bool Loaded() const { return loaded_; }

  // LoadSettings' half in the dialog: puts stored values into the controls
  // with the effect of clicks, so a changed hotkey is registered anew.
  void LoadSettings(const ProgramSettings& settings);
  void ShowDataFilePath(const std::string& path);
  // The six settings as the controls hold them now.
  ProgramSettings CurrentSettings() const;

  // Control events.
  void OnHotkeyKey(int index);
  void OnHotkeyShift(bool on);
  void OnHotkeyAlt(bool on);
  void OnHotkeyStrg(bool on);
  void OnPumActOpt(int v);
  void OnPumActBorderByClickOpt(int v);
  void OnPumActPosOpt(int index);
  void OnPumModeChk(int value);
  void OnAutoStartChk(bool checked);
  void OnSearchWindowChk(bool checked);
  void OnChangeBalloonChk(bool checked);
  void OnBtn(int index);
  // The title bar's close: hidden, nothing saved.
  void OnClose();

  const OptionsState& State() const { return state_; }
  bool Cascading() const { return state_.menuMode != 0; }
  bool SearchWindowInsteadOfMenu() const { return state_.searchWindow; }

 private:
  void ApplyHotkey(bool fromReload = false);
  void SetViaBorder(int v);
  void SetColour(int32_t colour);
  void Refresh();

  HotkeyController& hotkey_;
  Autostart& autostart_;
  Shell& shell_;
  OptionsActions actions_;
  OptionsView* view_ = nullptr;
  OptionsState state_;
  bool loaded_ = false;
  // The last combination reported as taken, until a registration succeeds.
  std::optional<HotkeyDescription> reportedConflict_;
};

}  // namespace zelvo
