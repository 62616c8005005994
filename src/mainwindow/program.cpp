#include "mainwindow/program.h"

#include "mainwindow/captions.h"

namespace zelvo {

Program::Program(Services& services, ProgramHost& host)
    : services_(services),
      host_(host),
      dataFile_(services),
      store_(services, dataFile_),
      lock_(services, dataFile_),
      search_(services.settings) {}

std::string Program::BuildCaptionFor(const std::string& title) const {
  return BuildCaption(title, isNT_);
}

bool Program::Startup() {
  if (!host_.ClaimSingleInstance()) {
    services_.dialogs.Show(kProductTitle, {std::string(kProductTitle) + " wird bereits ausgef\xC3\xBChrt.",
                                           MsgIcon::Exclamation});
    return false;
  }
  isNT_ = services_.system.IsNTPlatform();
  // The tray hook lies behind the hotkey's own, which the first reload may
  // install, so that both come off in reverse order.
  host_.HookTrayWindow();
  SelectDataFolder(DataFolderMode::Startup);

  const std::string caption = BuildCaptionFor("");
  host_.SetMainCaption(caption);
  services_.appTitle = caption;

  host_.CaptureLayout();
  host_.RestoreWindowPlacement();
  host_.AddTrayIcon(kProductTitle);
  host_.HideMainWindow();
  ReloadAll();
  if (!isNT_) host_.EnablePollTimer();
  return true;
}

void Program::SelectDataFolder(DataFolderMode mode) {
  if (!zelvo::SelectDataFolder(services_, dataFile_, mode)) return;
  host_.ShowDataFilePath(dataFile_.Path());
  ReloadAll();
}

void Program::ReloadAll() {
  reloadFinished_ = false;
  // One read serves the whole reload. An unreadable file keeps the last
  // good state on screen instead of showing an empty list.
  if (auto doc = dataFile_.Read()) {
    if (!doc->Identity() || doc->Identity() != entryListSource_) {
      entryList_ = SnippetStore::EntryListFrom(*doc);
      entryListSource_ = doc->Identity();
      search_.Rebuild(*doc, entryList_);
    }
    host_.ShowEntryList(entryList_);
    ignoreList_ = store_.IgnoreListFrom(*doc);
    settings_ = LoadSettings(*doc);
    settings_.SearchWindow = LoadSearchWindowChoice(services_.settings);
    host_.ApplySettings(settings_);
  }
  host_.PlaceBorderStrip(settings_);
  host_.UpdateControlStates();
  reloadFinished_ = true;
}

void Program::NoteEntryUsed(int number) {
  // The list holds entries 1..N in number order, so the number finds its name.
  const std::vector<EntryListItem>& entries = entryList_.entries;
  if (number >= 1 && static_cast<std::size_t>(number) <= entries.size() &&
      entries[number - 1].Number == number)
    search_.NoteUse(number, entries[number - 1].Name);
}

void Program::Shutdown() {
  host_.RemoveHotkey();
  lock_.ReleaseLock(false);
  host_.UnloadOtherWindows();
  host_.SaveWindowPlacement();
  lock_.ReleaseLock(false);
  host_.RemoveTrayIcon();
  host_.UnhookTrayWindow();
}

}  // namespace zelvo
