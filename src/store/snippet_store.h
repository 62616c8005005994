// Snippet entries, the ignore list and the data folder.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/services.h"
#include "store/data_file.h"

namespace zelvo {

enum class SendMethod { Keystrokes = 0, CommandPrompt = 1, Clipboard = 2 };

struct SnippetEntry {
  int Number = 0;
  std::string Name;
  std::string Text;  // deciphered, still escaped
  std::string Title;
  bool Crypt = false;
  int DosBox = 0;  // a SendMethod value
};

// One row of the entry list: the name as shown and the entry number.
struct EntryListItem {
  std::string Name;
  int Number = 0;
  bool operator==(const EntryListItem&) const = default;
};

struct EntryList {
  std::vector<EntryListItem> entries;      // in number order 1..N
  std::vector<std::string> destinationTitles;  // trimmed, distinct, non-empty
};

// Field names of the five entry sections.
inline constexpr const char* kFieldName = "Name";
inline constexpr const char* kFieldCrypt = "Crypt";
inline constexpr const char* kFieldText = "Text";
inline constexpr const char* kFieldTitle = "Title";
inline constexpr const char* kFieldDosBox = "DosBox";

class SnippetStore {
 public:
  SnippetStore(Services& services, DataFile& file);

  DataFile& File() { return file_; }

  // Reads the entry's five values in one read of the file; deciphers.
  // Empty when the file could not be read (the user has seen why).
  std::optional<SnippetEntry> ReadEntry(int number);
  // Writes all five values in one locked update; enciphers afresh.
  bool WriteEntry(int number, const SnippetEntry& entry);
  // Reads entries 1..N up to the first empty name (one read of the file).
  std::optional<EntryList> LoadEntryList();
  // Reads Ignore/1..n; when none is there, adds the two default titles.
  std::optional<std::vector<std::string>> LoadIgnoreList();
  // The same from a document already read; the ignore list writes its
  // defaults when the document has none.
  static EntryList EntryListFrom(const IniDocument& doc);
  std::vector<std::string> IgnoreListFrom(const IniDocument& doc);
  bool AddIgnoreTitle(std::vector<std::string>& ignoreList, const std::string& title);

  static SnippetEntry EntryFrom(const IniDocument& doc, int number);
  // Writes the five values; the text is enciphered afresh when Crypt is set.
  static void PutEntry(IniDocument& doc, int number, const SnippetEntry& entry,
                       RandomSource& random, Clock& clock);

 private:
  Services& services_;
  DataFile& file_;
};

// Stored values as the program reads them: Crypt is set by any leading
// number other than 0; DosBox is rounded and anything outside 0..2 is 0.
bool CryptFlagFrom(const std::string& value);
int SendMethodFrom(const std::string& value);

enum class DataFolderMode { Startup = 0, Default = 1, Choose = 2 };

// Chooses the data file. Returns true when DataFilePath was (re)set, so the
// caller shows the path and runs ReloadAll; false when nothing changed.
// Choose mode creates the empty file when the user asks for it; when that
// fails the user sees why and nothing changes.
bool SelectDataFolder(Services& services, DataFile& file, DataFolderMode mode);

inline constexpr const char* kDataFileName = "Zelvoscript.ini";
inline constexpr const char* kSampleFileName = "sample.ini";

}  // namespace zelvo
