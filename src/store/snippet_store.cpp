#include "store/snippet_store.h"

#include <algorithm>

#include "store/cipher.h"
#include "store/codepage.h"
#include "store/default_data_file.h"
#include "store/fingerprint.h"
#include "store/settings.h"
#include "store/text_codes.h"

namespace zelvo {

uint64_t EntryListFingerprint(const std::vector<EntryListItem>& entries) {
  Fingerprinter fingerprint;
  for (const EntryListItem& e : entries) {
    fingerprint.Add(static_cast<uint64_t>(e.Number));
    fingerprint.Add(e.Name);
  }
  return fingerprint.Value();
}
namespace {

constexpr const char* kIgnore = "Ignore";
constexpr int kMaxEntries = 32767;
const char* const kDefaultIgnoreTitles[] = {"DFÜ-Netzwerkmonitor", "Microsoft Office Shortcut-Leiste"};

// Titles Ignore/1.. up to the first empty one.
std::vector<std::string> IgnoreTitles(const IniDocument& doc) {
  std::vector<std::string> titles;
  for (int i = 1;; ++i) {
    std::string t = doc.Get(kIgnore, std::to_string(i));
    if (t.empty()) return titles;
    titles.push_back(std::move(t));
  }
}

}  // namespace

bool CryptFlagFrom(const std::string& value) { return LeadingNumber(value) != 0; }

int SendMethodFrom(const std::string& value) {
  return static_cast<int>(ClampInt(RoundHalfEven(LeadingNumber(value)), 0, 2, 0));
}

SnippetStore::SnippetStore(Services& services, DataFile& file) : services_(services), file_(file) {}

SnippetEntry SnippetStore::EntryFrom(const IniDocument& doc, int number) {
  const std::string key = std::to_string(number);
  SnippetEntry e;
  e.Number = number;
  e.Name = doc.Get(kFieldName, key);
  e.Crypt = CryptFlagFrom(doc.Get(kFieldCrypt, key));
  e.Text = doc.Get(kFieldText, key);
  if (e.Crypt) e.Text = DecipherText(e.Text);
  e.Title = doc.Get(kFieldTitle, key);
  e.DosBox = SendMethodFrom(doc.Get(kFieldDosBox, key));
  return e;
}

void SnippetStore::PutEntry(IniDocument& doc, int number, const SnippetEntry& entry,
                            RandomSource& random, Clock& clock) {
  const std::string key = std::to_string(number);
  doc.Set(kFieldName, key, entry.Name);
  doc.Set(kFieldCrypt, key, entry.Crypt ? "1" : "0");
  doc.Set(kFieldText, key, entry.Crypt ? EncipherText(entry.Text, random, clock) : entry.Text);
  doc.Set(kFieldTitle, key, entry.Title);
  doc.Set(kFieldDosBox, key, std::to_string(entry.DosBox));
}

std::optional<SnippetEntry> SnippetStore::ReadEntry(int number) {
  // The main window reads the entry it shows after every reload, mostly the
  // same one from the same bytes; that read needs no parse of a large file.
  const bool same = lastRead_ && lastRead_->number == number && lastRead_->path == file_.Path();
  bool unchanged = false;
  std::string failure;
  const std::optional<IniDocument> doc =
      file_.ReadIfChanged(same ? lastRead_->source : 0, unchanged, failure);
  if (unchanged) return lastRead_->entry;
  lastRead_.reset();
  if (!doc) {
    services_.Show({failure, MsgIcon::Error});
    return std::nullopt;
  }
  lastRead_ = LastRead{number, file_.Path(), doc->Fingerprint(), EntryFrom(*doc, number)};
  return lastRead_->entry;
}

bool SnippetStore::WriteEntry(int number, const SnippetEntry& entry) {
  return file_.Update([&](IniDocument& doc) {
    PutEntry(doc, number, entry, services_.random, services_.clock);
    return true;
  });
}

std::optional<EntryList> SnippetStore::LoadEntryList() {
  const std::optional<IniDocument> doc = file_.Read();
  if (!doc) return std::nullopt;
  return EntryListFrom(*doc);
}

EntryList SnippetStore::EntryListFrom(const IniDocument& doc) {
  EntryList list;
  // Room for all at once: a list of many thousand entries that grew step by
  // step would leave each smaller copy behind in the heap.
  int count = 0;
  while (count < kMaxEntries && !doc.Get(kFieldName, std::to_string(count + 1)).empty()) ++count;
  list.entries.reserve(static_cast<std::size_t>(count));
  for (int i = 1; i <= count; ++i) {
    const std::string key = std::to_string(i);
    list.entries.push_back({doc.Get(kFieldName, key), i});
    std::string title = Trim(doc.Get(kFieldTitle, key));
    auto& titles = list.destinationTitles;
    if (!title.empty() && std::find(titles.begin(), titles.end(), title) == titles.end())
      titles.push_back(std::move(title));
  }
  return list;
}

std::optional<std::vector<std::string>> SnippetStore::LoadIgnoreList() {
  const std::optional<IniDocument> doc = file_.Read();
  if (!doc) return std::nullopt;
  return IgnoreListFrom(*doc);
}

std::vector<std::string> SnippetStore::IgnoreListFrom(const IniDocument& doc) {
  std::vector<std::string> titles = IgnoreTitles(doc);
  if (!titles.empty()) return titles;
  // Housekeeping, not a change the user asked for: a read-only share keeps
  // the defaults in memory without a message at every reload.
  file_.Update(
      [](IniDocument& d) {
        if (!IgnoreTitles(d).empty()) return false;
        int n = 0;
        for (const char* t : kDefaultIgnoreTitles) d.Set(kIgnore, std::to_string(++n), t);
        return true;
      },
      true);
  return std::vector<std::string>(std::begin(kDefaultIgnoreTitles), std::end(kDefaultIgnoreTitles));
}

std::optional<std::vector<std::string>> SnippetStore::AddIgnoreTitle(const std::string& title) {
  // Appended after the titles the file holds now, so a title another PC
  // added meanwhile is not overwritten.
  std::vector<std::string> titles;
  const bool ok = file_.Update([&](IniDocument& doc) {
    const std::string key = std::to_string(IgnoreTitles(doc).size() + 1);
    doc.Set(kIgnore, key, title);
    titles = IgnoreTitles(doc);
    return true;
  });
  if (!ok) return std::nullopt;
  return titles;
}

int SnippetStore::EntryCount(const IniDocument& doc) {
  int n = 0;
  while (n < kMaxEntries && !doc.Get(kFieldName, std::to_string(n + 1)).empty()) ++n;
  return n;
}

EntryWrite SnippetStore::UpdateEntry(
    const EntryListItem& entry, const std::function<bool(IniDocument&, const std::string&)>& change,
    bool quiet) {
  bool moved = false;
  const bool ok = file_.Update(
      [&](IniDocument& doc) {
        const std::string key = std::to_string(entry.Number);
        moved = entry.Number < 1 || doc.Get(kFieldName, key) != entry.Name;
        return !moved && change(doc, key);
      },
      quiet);
  if (!ok) return EntryWrite::Failed;
  return moved ? EntryWrite::Changed : EntryWrite::Written;
}

EntryWrite SnippetStore::WriteFields(const EntryListItem& entry,
                                     const std::vector<std::pair<const char*, std::string>>& fields,
                                     bool quiet) {
  return UpdateEntry(
      entry,
      [&](IniDocument& doc, const std::string& key) {
        for (const auto& [section, value] : fields) doc.Set(section, key, value);
        return true;
      },
      quiet);
}

EntryWrite SnippetStore::SaveText(const EntryListItem& entry, const std::string& storedText,
                                  bool crypt, bool quiet) {
  const auto change = [&](IniDocument& doc, const std::string& key) {
    // The cipher works on Windows-1252 codes, so compare what would read back.
    const SnippetEntry now = EntryFrom(doc, entry.Number);
    if (now.Crypt == crypt && now.Text == Cp1252ToUtf8(Utf8ToCp1252(storedText))) return false;
    doc.Set(kFieldText, key,
            crypt ? EncipherText(storedText, services_.random, services_.clock) : storedText);
    doc.Set(kFieldCrypt, key, crypt ? "1" : "0");
    return true;
  };
  return UpdateEntry(entry, change, quiet);
}

EntryWrite SnippetStore::RenameEntry(EntryListItem& entry, const std::string& newName) {
  std::string stored;
  const EntryWrite result = UpdateEntry(entry, [&](IniDocument& doc, const std::string& key) {
    doc.Set(kFieldName, key, newName);
    stored = doc.Get(kFieldName, key);
    return true;
  });
  if (result == EntryWrite::Written) entry.Name = stored;
  return result;
}

EntryWrite SnippetStore::DeleteEntry(const EntryListItem& entry) {
  bool behindGap = false;
  const EntryWrite result = UpdateEntry(entry, [&](IniDocument& doc, const std::string& key) {
    // The highest number as the file has it now: another PC may have added
    // or deleted entries since our list was loaded.
    const int highest = EntryCount(doc);
    behindGap = entry.Number > highest;  // an empty name before it ends the list
    if (behindGap) return false;
    // The highest entry fills the hole and its number ends the list, in one
    // write so that no reader ever sees an entry twice or not at all.
    if (highest != entry.Number)
      PutEntry(doc, entry.Number, EntryFrom(doc, highest), services_.random, services_.clock);
    PutEntry(doc, highest, SnippetEntry{}, services_.random, services_.clock);
    return true;
  });
  return behindGap && result == EntryWrite::Written ? EntryWrite::Changed : result;
}

std::optional<EntryListItem> SnippetStore::NewEntry(const SnippetEntry& values) {
  EntryListItem added;
  const bool ok = file_.Update([&](IniDocument& doc) {
    added.Number = EntryCount(doc) + 1;
    if (added.Number > kMaxEntries) return false;
    PutEntry(doc, added.Number, values, services_.random, services_.clock);
    added.Name = doc.Get(kFieldName, std::to_string(added.Number));
    return true;
  });
  if (!ok) return std::nullopt;
  if (added.Number > kMaxEntries) {
    services_.Show({"Die Datendatei enthält bereits " + std::to_string(kMaxEntries) +
                        " Einträge; weitere sind nicht möglich.",
                    MsgIcon::Exclamation});
    return std::nullopt;
  }
  return added;
}

namespace {

// The default data file. `remember`: it also becomes the stored path;
// otherwise it serves this session only.
void UseDefaultDataFile(Services& services, DataFile& file, bool remember) {
  const std::string path = DefaultDataFile(services);
  ProvideDefaultDataFile(services, path);
  file.SetPath(path);
  if (remember) services.settings.Save(kKeyPath, path);
}

// Why a stored data file is not there: NotFound when its folder exists and
// it does not (a hidden or system file counts as absent as well).
FileError WhyAbsent(Services& services, const std::string& path) {
  std::string bytes;
  const FileError e = services.files.ReadAll(path, bytes);
  return e == FileError::None ? FileError::NotFound : e;
}

// Start-up with a stored path. Only a file missing from a folder that is
// there resets the path; a share that is not connected yet or a drive that
// is away keeps it: the user tries again, or works with the file beside the
// program until the next start.
void UseStoredDataFile(Services& services, DataFile& file, const std::string& stored, bool remember) {
  for (;;) {
    if (services.files.FileExists(stored)) {
      file.SetPath(stored);
      return;
    }
    const FileError why = WhyAbsent(services, stored);
    if (why == FileError::NotFound) {
      services.Show({FormatMessage("Im angegebenen Ordner befindet sich keine Zelvoscript-datei.\\n\\n"
                                   "Die Pfadangabe wird daher auf Standardwerte zurückgesetzt."),
                     MsgIcon::Information});
      UseDefaultDataFile(services, file, remember);
      return;
    }
    const MsgResult answer = services.Show(
        {"Die Datendatei\r\n" + stored + "\r\nist zur Zeit nicht erreichbar.\r\n\r\n" +
             FileErrorText(why) +
             "\r\n\r\nMöchten Sie es erneut versuchen?\r\n\r\n"
             "Mit 'Nein' arbeitet Zelvoscript bis zum nächsten Start mit der Standard-Datendatei\r\n" +
             DefaultDataFile(services) + "\r\nDer eingestellte Ablageordner bleibt gespeichert.",
         MsgIcon::Exclamation, MsgButtons::YesNo, MsgResult::Yes});
    if (answer != MsgResult::Yes) {
      UseDefaultDataFile(services, file, false);
      return;
    }
  }
}

bool ChooseDataFolder(Services& services, DataFile& file) {
  const std::optional<std::string> chosen =
      services.dialogs.BrowseForFolder("Bitte wählen Sie den neuen Ablageordner:");
  const std::string folder = chosen ? CutAtNul(*chosen) : "";
  if (folder.empty()) return false;
  const std::string candidate = AddBackslash(folder) + kDataFileName;
  if (!services.files.FileExists(candidate)) {
    const MsgResult answer = services.Show(
        {FormatMessage("Im ausgewählten Ordner befindet sich (noch) keine Zelvoscript-datei.\\n\\n"
                       "Möchten Sie eine neue anlegen?"),
         MsgIcon::Question, MsgButtons::YesNo, MsgResult::Yes});
    if (answer != MsgResult::Yes) return false;
    // A hidden or system file of that name is someone's data: take it as it
    // is rather than replace it with an empty one.
    if (!services.files.IsRegularFile(candidate)) {
      const FileError e = services.files.ReplaceAtomically(candidate, "");
      if (e != FileError::None) {
        services.Show({"Die Datei\r\n" + candidate + "\r\nkonnte nicht angelegt werden.\r\n\r\n" +
                           FileErrorText(e) + "\r\n\r\nDer bisherige Ablageordner bleibt eingestellt.",
                       MsgIcon::Exclamation});
        return false;
      }
    }
  }
  file.SetPath(candidate);
  services.settings.Save(kKeyPath, candidate);
  return true;
}

}  // namespace

bool SelectDataFolder(Services& services, DataFile& file, DataFolderMode mode) {
  switch (mode) {
    case DataFolderMode::Startup: {
      std::string own = services.settings.Get(kKeyPath, "");
      if (IsFormerDefaultBesideProgram(services, own)) own.clear();  // the default has moved
      // The user's own path wins over the one the administrator set for
      // the machine; the latter is never copied into the user's settings,
      // so that a change of the office's file reaches everyone.
      const std::string stored = own.empty() ? services.settings.GetMachineWide(kKeyPath) : own;
      if (stored.empty())
        UseDefaultDataFile(services, file, true);
      else
        UseStoredDataFile(services, file, stored, !own.empty());
      return true;
    }
    case DataFolderMode::Default:
      UseDefaultDataFile(services, file, true);
      return true;
    case DataFolderMode::Choose:
      return ChooseDataFolder(services, file);
  }
  return false;
}

}  // namespace zelvo
