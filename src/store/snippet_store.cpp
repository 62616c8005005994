#include "store/snippet_store.h"

#include <algorithm>

#include "store/cipher.h"
#include "store/default_data_file.h"
#include "store/settings.h"
#include "store/text_codes.h"

namespace zelvo {
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
  const std::optional<IniDocument> doc = file_.Read();
  if (!doc) return std::nullopt;
  return EntryFrom(*doc, number);
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
  for (int i = 1; i <= kMaxEntries; ++i) {
    const std::string key = std::to_string(i);
    std::string name = doc.Get(kFieldName, key);
    if (name.empty()) break;
    list.entries.push_back({std::move(name), i});
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

bool SnippetStore::AddIgnoreTitle(std::vector<std::string>& ignoreList, const std::string& title) {
  // Appended after the titles the file holds now, so a title another PC
  // added meanwhile is not overwritten.
  const bool ok = file_.Update([&](IniDocument& doc) {
    doc.Set(kIgnore, std::to_string(IgnoreTitles(doc).size() + 1), title);
    return true;
  });
  if (ok) ignoreList.push_back(title);
  return ok;
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
      if (!stored.empty() && services.files.FileExists(stored)) {
        file.SetPath(stored);
        return true;
      }
      if (!stored.empty()) {
        services.Show({FormatMessage("Im angegebenen Ordner befindet sich keine Zelvoscript-datei.\\n\\n"
                                     "Die Pfadangabe wird daher auf Standardwerte zurückgesetzt."),
                       MsgIcon::Information});
      }
      UseDefaultDataFile(services, file, !own.empty() || stored.empty());
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
