#include "mainwindow/program.h"

#include <utility>

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
  // A first start ends with no window at all: tell this user once where the
  // program went and how to reach the snippets.
  if (services_.settings.Get(kKeyWelcomed, "").empty() &&
      host_.ShowTrayBalloon(kProductTitle, FirstRunBalloonText(host_.ActiveHotkey())))
    services_.settings.Save(kKeyWelcomed, "1");
  return true;
}

void Program::SelectDataFolder(DataFolderMode mode) {
  if (!zelvo::SelectDataFolder(services_, dataFile_, mode)) return;
  fileTroubleShown_ = false;  // a trouble of the former file is no news now
  entryListSource_ = 0;       // nor is what was read from it
  host_.ShowDataFilePath(dataFile_.Path());
  ReloadAll();
}

void Program::ReloadAll() {
  // What the user typed would otherwise be replaced by what the file holds.
  host_.SavePendingEdits();
  reloadFinished_ = false;
  // One read serves the whole reload. A file that cannot be read (a share
  // away, a drive gone) keeps the last good list, settings and hotkey; the
  // user hears of it once, not before every menu, and again when it is back.
  std::string failure;
  bool back = false;
  std::optional<std::string> changedElsewhere;
  // A file whose bytes are those of the last parse keeps what was derived
  // from them: entries, search index, ignore list and shared settings.
  bool unchanged = false;
  std::optional<IniDocument> doc = dataFile_.ReadIfChanged(entryListSource_, unchanged, failure);
  if (doc || unchanged) {
    back = std::exchange(fileTroubleShown_, false);
    if (doc) {
      entryList_ = SnippetStore::EntryListFrom(*doc);
      entryListSource_ = doc->Fingerprint();
      search_.Rebuild(*doc, entryList_);
      // Also while the balloon is off, so that its starting point follows.
      changedElsewhere = changeNotice_.After(services_, dataFile_.Path(), *doc);
      ignoreList_ = store_.IgnoreListFrom(*doc);
      settings_ = LoadSettings(*doc);
      // The parse is by far the largest thing a reload holds: gone before
      // the window's list is filled, the two never need memory at once.
      doc.reset();
    }
    host_.ShowEntryList(entryList_);
    settings_.SearchWindow = LoadUserChoice(services_.settings, kKeySearchWindow, false);
    settings_.ChangeBalloon = LoadUserChoice(services_.settings, kKeyChangeBalloon, true);
    host_.ApplySettings(settings_);
    if (changedElsewhere && settings_.ChangeBalloon) host_.ShowTrayBalloon(kProductTitle, *changedElsewhere);
  }
  host_.PlaceBorderStrip(settings_);
  host_.UpdateControlStates();
  reloadFinished_ = true;
  if (back) {
    services_.Show({"Die Datendatei\r\n" + dataFile_.Path() +
                        "\r\nist wieder erreichbar. Textbausteine und Einstellungen sind wieder "
                        "auf dem Stand der Datei.",
                    MsgIcon::Information});
  } else if (!failure.empty() && !std::exchange(fileTroubleShown_, true)) {
    services_.Show({failure +
                        "\r\n\r\nZelvoscript arbeitet mit den zuletzt gelesenen Textbausteinen "
                        "und Einstellungen weiter und meldet sich, sobald die Datei wieder "
                        "erreichbar ist.",
                    MsgIcon::Error});
  }
}

bool Program::AddIgnoreTitle(const std::string& title) {
  std::optional<std::vector<std::string>> titles = store_.AddIgnoreTitle(title);
  if (titles) ignoreList_ = std::move(*titles);
  return titles.has_value();
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
