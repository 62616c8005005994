#include "activation/options_form.h"

namespace zelvo {

BorderControls BorderControlsFor(int viaBorder) {
  const bool on = viaBorder != 0;
  return {on, !on, on};
}

std::string OpenFolderCommandLine(const std::string& dataFilePath) {
  // Quoted, so a folder with blanks or commas opens the right place.
  return "explorer /e, /select, \"" + dataFilePath + "\"";
}

OptionsForm::OptionsForm(HotkeyController& hotkey, Autostart& autostart, Shell& shell,
                         OptionsActions actions)
    : hotkey_(hotkey), autostart_(autostart), shell_(shell), actions_(std::move(actions)) {
  state_.border = BorderControlsFor(0);
}

void OptionsForm::AttachView(OptionsView* view) {
  view_ = view;
  Refresh();
}

void OptionsForm::Load() {
  if (loaded_) return;
  loaded_ = true;
  state_.autoStart = autostart_.InitAutostartCheck();
  state_.keyList = HotkeyKeyList();
  Refresh();
}

void OptionsForm::LoadSettings(const ProgramSettings& settings) {
  Load();
  const HotkeyDescription stored = HotkeyFromHK(settings.HK);
  const bool hotkeyChanged = state_.keyIndex != stored.keyIndex || state_.shift != stored.shift ||
                             state_.alt != stored.alt || state_.strg != stored.strg;
  state_.shift = stored.shift;
  state_.alt = stored.alt;
  state_.strg = stored.strg;
  state_.keyIndex = stored.keyIndex;
  state_.byClick = settings.PumActBorderByClick;
  state_.pos = settings.PumActPos;
  // The check box knows clear, ticked and greyed; any other value cascades.
  state_.menuMode = settings.PumMode == 0 || settings.PumMode == 2 ? settings.PumMode : 1;
  state_.searchWindow = settings.SearchWindow;
  state_.changeBalloon = settings.ChangeBalloon;
  SetViaBorder(settings.PumActViaBorder);
  SetColour(settings.PumActBorderCol);
  // All four hotkey controls are set before the registration follows them,
  // so it never sees a half-loaded combination.
  if (hotkeyChanged) ApplyHotkey(/*fromReload=*/true);
}

void OptionsForm::ShowDataFilePath(const std::string& path) {
  Load();
  state_.path = path;
  if (actions_.defaultDataFile) state_.defaultPath = actions_.defaultDataFile();
  Refresh();
}

ProgramSettings OptionsForm::CurrentSettings() const {
  ProgramSettings s;
  s.HK = ProgramSettings::EncodeHK(state_.keyIndex < 0 ? 0 : state_.keyIndex, state_.shift,
                                   state_.alt, state_.strg);
  s.PumActViaBorder = state_.viaBorder;
  s.PumActBorderByClick = state_.byClick;
  s.PumActPos = state_.pos;
  s.PumActBorderCol = state_.colour;
  s.PumMode = state_.menuMode;
  s.SearchWindow = state_.searchWindow;
  s.ChangeBalloon = state_.changeBalloon;
  return s;
}

void OptionsForm::ApplyHotkey(bool fromReload) {
  const HotkeyDescription wanted{state_.keyIndex < 0 ? 0 : state_.keyIndex, state_.shift,
                                 state_.alt, state_.strg};
  if (hotkey_.Apply(wanted)) {
    reportedConflict_.reset();
    return;
  }
  // The modifier boxes stay as chosen; only the key goes back to "(deaktiviert)".
  state_.keyIndex = 0;
  Refresh();
  // Every reload (start-up runs two, each menu showing one) tries the stored
  // combination again, since the other program may have let it go; the user
  // hears about a taken one once, not at every menu.
  if (fromReload && reportedConflict_ == wanted) return;
  reportedConflict_ = wanted;
  hotkey_.ReportConflict(wanted);
}

void OptionsForm::OnHotkeyKey(int index) {
  if (index == state_.keyIndex) return;
  state_.keyIndex = index;
  ApplyHotkey();
}

void OptionsForm::OnHotkeyShift(bool on) {
  if (on == state_.shift) return;
  state_.shift = on;
  ApplyHotkey();
}

void OptionsForm::OnHotkeyAlt(bool on) {
  if (on == state_.alt) return;
  state_.alt = on;
  ApplyHotkey();
}

void OptionsForm::OnHotkeyStrg(bool on) {
  if (on == state_.strg) return;
  state_.strg = on;
  ApplyHotkey();
}

void OptionsForm::SetViaBorder(int v) {
  state_.viaBorder = v;
  state_.border = BorderControlsFor(v);
  Refresh();
}

void OptionsForm::SetColour(int32_t colour) {
  state_.colour = colour;
  if (actions_.setBorderStripColour) actions_.setBorderStripColour(colour);
  Refresh();
}

void OptionsForm::OnPumActOpt(int v) { SetViaBorder(v); }

void OptionsForm::OnPumActBorderByClickOpt(int v) { state_.byClick = v; }

void OptionsForm::OnPumActPosOpt(int index) { state_.pos = index; }

void OptionsForm::OnPumModeChk(int value) { state_.menuMode = value; }

void OptionsForm::OnSearchWindowChk(bool checked) { state_.searchWindow = checked; }

void OptionsForm::OnChangeBalloonChk(bool checked) { state_.changeBalloon = checked; }

void OptionsForm::OnAutoStartChk(bool checked) {
  state_.autoStart = checked;
  autostart_.ApplyAutostart(checked);
}

void OptionsForm::OnBtn(int index) {
  switch (index) {
    case kBtnChooseFolder:
      if (actions_.selectDataFolder) actions_.selectDataFolder(DataFolderMode::Choose);
      break;
    case kBtnDefaultFolder:
      if (actions_.selectDataFolder) actions_.selectDataFolder(DataFolderMode::Default);
      break;
    case kBtnOpenFolder:
      if (actions_.dataFilePath) shell_.RunCommand(OpenFolderCommandLine(actions_.dataFilePath()), ShowMode::Normal);
      break;
    case kBtnRemoveLock:
      if (actions_.removeLockDialog) actions_.removeLockDialog();
      break;
    case kBtnBackups:
      if (actions_.showBackups) actions_.showBackups();
      break;
    case kBtnColour:
      if (view_) {
        if (auto colour = view_->ChooseColour(state_.colour)) SetColour(*colour);
      }
      break;
    case kBtnOk:
      if (view_) view_->Hide();
      if (actions_.saveSettings) actions_.saveSettings(CurrentSettings());
      if (actions_.placeBorderStrip) actions_.placeBorderStrip();
      break;
    default:
      break;
  }
}

void OptionsForm::OnClose() {
  if (view_) view_->Hide();
}

void OptionsForm::Refresh() {
  if (view_) view_->Refresh(state_);
}

}  // namespace zelvo
