// The one program object: start-up, ReloadAll and tear-down, and the shared
// state that start-up builds (data file, entry list, ignore list, settings).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "activation/hotkey.h"
#include "platform/services.h"
#include "search/quick_search.h"
#include "store/change_notice.h"
#include "store/data_file.h"
#include "store/data_lock.h"
#include "store/settings.h"
#include "store/snippet_store.h"

namespace zelvo {

// What start-up and tear-down need of the windows around them. The Win32
// layer implements it; later parts of the program fill the hooks that do
// nothing yet.
class ProgramHost {
 public:
  virtual ~ProgramHost() = default;

  // Creates the named single-instance object; false when one exists already.
  virtual bool ClaimSingleInstance() = 0;

  virtual void HookTrayWindow() {}
  virtual void UnhookTrayWindow() {}
  virtual void AddTrayIcon(const std::string& tip) {}
  virtual void RemoveTrayIcon() {}
  // A balloon at the tray icon; false when it could not be shown.
  virtual bool ShowTrayBalloon(const std::string& title, const std::string& text) { return false; }
  // The hotkey that opens the snippet menu now; none when it is off or taken.
  virtual std::optional<HotkeyDescription> ActiveHotkey() { return std::nullopt; }

  virtual void SetMainCaption(const std::string& caption) {}
  virtual void CaptureLayout() {}
  virtual void RestoreWindowPlacement() {}
  virtual void SaveWindowPlacement() {}
  virtual void HideMainWindow() {}
  virtual void EnablePollTimer() {}

  // Options dialog: shows the data file path; takes the loaded settings into
  // its controls, which re-applies the hotkey when it changed.
  virtual void ShowDataFilePath(const std::string& path) {}
  virtual void ApplySettings(const ProgramSettings& settings) {}
  virtual void RemoveHotkey() {}

  // Saves what the user typed and has not yet left (editor, title box) by
  // the rules of leaving it, before a reload replaces what they show.
  virtual void SavePendingEdits() {}

  // Main window lists and the border strip after a reload.
  virtual void ShowEntryList(const EntryList& list) {}
  virtual void PlaceBorderStrip(const ProgramSettings& settings) {}
  virtual void UpdateControlStates() {}

  // Unloads the debugger, the options dialog, the border strip and the
  // window-list debugger, each if loaded.
  virtual void UnloadOtherWindows() {}
};

class Program {
 public:
  Program(Services& services, ProgramHost& host);

  // False when another instance runs: the user has been told, and nothing
  // else happened; the caller ends the process.
  bool Startup();
  void ReloadAll();
  void Shutdown();

  // Chooses the data folder (start-up, "&Standard", own folder) and reloads.
  void SelectDataFolder(DataFolderMode mode);

  // Adds a title to the ignore list of the file; the list in memory follows
  // the file at once, so the very next delivery skips that window.
  bool AddIgnoreTitle(const std::string& title);

  std::string Caption(const std::string& title) const { return BuildCaptionFor(title); }

  Services& services() { return services_; }
  DataFile& dataFile() { return dataFile_; }
  SnippetStore& store() { return store_; }
  DataLock& lock() { return lock_; }
  const ProgramSettings& settings() const { return settings_; }
  const EntryList& entryList() const { return entryList_; }
  const std::vector<std::string>& ignoreList() const { return ignoreList_; }
  QuickSearch& search() { return search_; }
  // The entry goes to delivery: the quick search lists it first from now on.
  void NoteEntryUsed(int number);
  bool ReloadFinished() const { return reloadFinished_; }
  bool IsNT() const { return isNT_; }

  // Popup separator: joins an entry's name and number in the menu's sort keys.
  static constexpr char kPopupSeparator = '\x03';

 private:
  std::string BuildCaptionFor(const std::string& title) const;

  Services& services_;
  ProgramHost& host_;
  DataFile dataFile_;
  SnippetStore store_;
  DataLock lock_;
  ProgramSettings settings_;
  EntryList entryList_;
  // The fingerprint of the file the list, index, ignore list and shared
  // settings came from; 0 before the first read of the current path.
  uint64_t entryListSource_ = 0;
  std::vector<std::string> ignoreList_;
  QuickSearch search_;
  ChangeNotice changeNotice_;
  bool reloadFinished_ = false;
  bool isNT_ = true;
  // The data file could not be read at a reload and the user has been told;
  // the next reload that reads it says that it is back.
  bool fileTroubleShown_ = false;
};

}  // namespace zelvo
