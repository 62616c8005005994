// Snippet entries, the ignore list and the data folder.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
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

// A fingerprint (store/fingerprint.h) of the names and numbers, so that what
// was derived from a list of many thousand entries can tell it is still
// current without keeping a copy of the list.
uint64_t EntryListFingerprint(const std::vector<EntryListItem>& entries);

// What became of a write aimed at one entry.
enum class EntryWrite {
  Written,  // done, or there was nothing to change
  Changed,  // the entry's number no longer holds the name acted on: nothing written
  Failed,   // the file could not be read or written; the user has been told why
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
  // Appends a title after those the file holds now; gives the whole list as
  // the file then holds it, or nothing when the write failed.
  std::optional<std::vector<std::string>> AddIgnoreTitle(const std::string& title);

  // Writes aimed at one entry. An entry number is only an address that
  // another PC may have moved (by a delete) or reused, so each of these
  // checks inside its own locked update that Name/<n> still holds the name
  // the user acted on, and writes nothing otherwise.
  // `quiet`: a failure shows no message (the caller reports it).
  EntryWrite WriteFields(const EntryListItem& entry,
                         const std::vector<std::pair<const char*, std::string>>& fields,
                         bool quiet = false);
  // Text and cipher flag. A text that deciphers to what is stored already
  // keeps its ciphertext, so leaving an unchanged entry writes nothing.
  EntryWrite SaveText(const EntryListItem& entry, const std::string& storedText, bool crypt,
                      bool quiet = false);
  // On success `entry.Name` becomes the new name as the file holds it.
  EntryWrite RenameEntry(EntryListItem& entry, const std::string& newName);
  // The highest entry of the file fills the hole; its number then ends the list.
  EntryWrite DeleteEntry(const EntryListItem& entry);
  // Appends an entry under the number after the file's last one; gives its
  // name as the file holds it and that number, or nothing when writing failed.
  std::optional<EntryListItem> NewEntry(const SnippetEntry& values);

  // Entries 1..N up to the first empty name.
  static int EntryCount(const IniDocument& doc);

  static SnippetEntry EntryFrom(const IniDocument& doc, int number);
  // Writes the five values; the text is enciphered afresh when Crypt is set.
  static void PutEntry(IniDocument& doc, int number, const SnippetEntry& entry,
                       RandomSource& random, Clock& clock);

 private:
  EntryWrite UpdateEntry(const EntryListItem& entry,
                         const std::function<bool(IniDocument&, const std::string& key)>& change,
                         bool quiet = false);

  Services& services_;
  DataFile& file_;
  // The entry ReadEntry gave last, and the file and bytes it came from.
  struct LastRead {
    int number = 0;
    std::string path;
    uint64_t source = 0;
    SnippetEntry entry;
  };
  std::optional<LastRead> lastRead_;
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
