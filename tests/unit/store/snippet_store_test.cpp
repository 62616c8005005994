#include "store/snippet_store.h"

#include <functional>

#include "store/cipher.h"
#include "store/settings.h"
#include "store_fixture.h"

namespace zelvo {
namespace {

class SnippetStoreTest : public StoreTest {
 protected:
  SnippetStore store{services, file};
};

TEST_F(SnippetStoreTest, WriteAndReadEntryWithCipher) {
  SnippetEntry e{0, "Gruß", "Mit freundlichen Grüßen\\N\\HTeam\\H", "Editor", true, 2};
  ASSERT_TRUE(store.WriteEntry(1, e));
  EXPECT_EQ(Value("Name", "1"), "Gruß");
  EXPECT_EQ(Value("Crypt", "1"), "1");
  EXPECT_EQ(Value("DosBox", "1"), "2");
  const std::string stored = Value("Text", "1");
  EXPECT_EQ(stored.size(), 4 * (Utf8ToCp1252(e.Text).size() + 1));
  EXPECT_EQ(DecipherText(stored), e.Text);

  const long reads = file.ReadCount();
  const std::optional<SnippetEntry> back = store.ReadEntry(1);
  EXPECT_EQ(file.ReadCount(), reads + 1);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Number, 1);
  EXPECT_EQ(back->Name, e.Name);
  EXPECT_EQ(back->Text, e.Text);
  EXPECT_EQ(back->Title, e.Title);
  EXPECT_TRUE(back->Crypt);
  EXPECT_EQ(back->DosBox, 2);

  e.Crypt = false;
  ASSERT_TRUE(store.WriteEntry(1, e));
  EXPECT_EQ(Value("Text", "1"), e.Text);
  EXPECT_EQ(Value("Crypt", "1"), "0");
}

TEST_F(SnippetStoreTest, EveryEntryReadSeesTheFileAsItIsNow) {
  WriteFile("[Name]\r\n1=A\r\n2=B\r\n[Text]\r\n1=eins\r\n2=zwei\r\n");
  EXPECT_EQ(store.ReadEntry(1)->Text, "eins");
  EXPECT_EQ(store.ReadEntry(1)->Text, "eins");
  WriteFile("[Name]\r\n1=A\r\n2=B\r\n[Text]\r\n1=ein5\r\n2=zwei\r\n");  // same size
  EXPECT_EQ(store.ReadEntry(1)->Text, "ein5");
  EXPECT_EQ(store.ReadEntry(2)->Text, "zwei");
  env.dir.Write("anders.ini", "[Name]\r\n1=C\r\n[Text]\r\n1=drei\r\n");
  file.SetPath(env.dir.File("anders.ini"));
  EXPECT_EQ(store.ReadEntry(1)->Name, "C");
  env.dir.Write("anders.ini", "");
  const std::optional<SnippetEntry> gone = store.ReadEntry(1);
  ASSERT_TRUE(gone);
  EXPECT_EQ(gone->Name, "");
}

TEST_F(SnippetStoreTest, StoredFlagsReadLikeTheProgramAlwaysDid) {
  const std::pair<const char*, bool> crypt[] = {
      {"1", true}, {"-1", true}, {"2", true}, {"0", false}, {"ja", false}, {"", false}, {"0.4", true}};
  for (auto [v, expected] : crypt) EXPECT_EQ(CryptFlagFrom(v), expected) << v;
  const std::pair<const char*, int> dosBox[] = {{"0", 0}, {"1", 1}, {"2", 2},   {"3", 0},  {"-1", 0},
                                                {"1.6", 2}, {"0.5", 0}, {"1.5", 2}, {"x", 0}, {"2.5", 2}};
  for (auto [v, expected] : dosBox) EXPECT_EQ(SendMethodFrom(v), expected) << v;
}

TEST_F(SnippetStoreTest, EntryListStopsAtFirstEmptyNameAndCollectsTitles) {
  WriteFile("[Name]\r\n1=Adresse\r\n2=Gruß\r\n3=\r\n4=Verwaist\r\n"
            "[Title]\r\n1=  Editor \r\n2=Editor\r\n4=Word\r\n");
  const std::optional<EntryList> list = store.LoadEntryList();
  ASSERT_TRUE(list);
  ASSERT_EQ(list->entries.size(), 2u);
  EXPECT_EQ(list->entries[1].Name, "Gruß");
  EXPECT_EQ(list->entries[1].Number, 2);
  EXPECT_EQ(list->destinationTitles, std::vector<std::string>{"Editor"});
  EXPECT_EQ(file.ReadCount(), 1);
}

TEST_F(SnippetStoreTest, EntryListOfUnreadableFileIsNothing) {
  env.dir.Write(kDataFileName, std::string("[Name]\r\n1=a\0", 12));
  EXPECT_FALSE(store.LoadEntryList().has_value());
  EXPECT_EQ(env.dialogs.shown.size(), 1u);
}

// ---- writes aimed at one entry ----

// Five entries as one PC loaded them; then another PC deleted "A", which
// moved "E" into number 1.
constexpr const char* kAfterForeignDelete =
    "[Name]\r\n1=E\r\n2=B\r\n3=C\r\n4=D\r\n5=\r\n[Text]\r\n1=e\r\n2=b\r\n3=c\r\n4=d\r\n5=\r\n"
    "[Crypt]\r\n1=0\r\n2=0\r\n3=0\r\n4=0\r\n5=0\r\n";

TEST_F(SnippetStoreTest, EntryWritesCheckTheNameTheUserActedOn) {
  const std::vector<std::pair<std::string, std::function<EntryWrite(const EntryListItem&)>>> writes = {
      {"fields", [&](const EntryListItem& e) { return store.WriteFields(e, {{kFieldTitle, "Word"}}); }},
      {"text", [&](const EntryListItem& e) { return store.SaveText(e, "neu", false); }},
      {"rename", [&](const EntryListItem& e) { EntryListItem r = e; return store.RenameEntry(r, "Neu"); }},
      {"delete", [&](const EntryListItem& e) { return store.DeleteEntry(e); }},
  };
  for (const auto& [what, write] : writes) {
    WriteFile(kAfterForeignDelete);
    const std::string before = FileBytes();
    // "A" at 1 and "E" at 5 are what the stale list shows.
    EXPECT_EQ(write({"A", 1}), EntryWrite::Changed) << what;
    EXPECT_EQ(write({"E", 5}), EntryWrite::Changed) << what;
    EXPECT_EQ(FileBytes(), before) << what;
    EXPECT_EQ(write({"C", 3}), EntryWrite::Written) << what;
    EXPECT_NE(FileBytes(), before) << what;
  }
  EXPECT_TRUE(env.dialogs.shown.empty());
  // An unreadable file is a failure, not a change by someone else.
  env.files.readFailures = {FileError::AccessDenied};
  EXPECT_EQ(store.WriteFields({"C", 3}, {{kFieldTitle, "x"}}), EntryWrite::Failed);
}

TEST_F(SnippetStoreTest, DeleteMovesTheFilesHighestEntryNotTheListsHighest) {
  // The list knew A..C; another PC has added D since.
  WriteFile("[Name]\r\n1=A\r\n2=B\r\n3=C\r\n4=D\r\n[Text]\r\n4=d\r\n[Crypt]\r\n4=0\r\n");
  ASSERT_EQ(store.DeleteEntry({"B", 2}), EntryWrite::Written);
  const EntryList list = *store.LoadEntryList();
  EXPECT_EQ(list.entries, (std::vector<EntryListItem>{{"A", 1}, {"D", 2}, {"C", 3}}));
  EXPECT_EQ(store.ReadEntry(2)->Text, "d");
  EXPECT_EQ(Value("Name", "4"), "");
  // An entry behind an empty name is in nobody's list: not deleted.
  WriteFile("[Name]\r\n1=A\r\n2=\r\n3=C\r\n");
  EXPECT_EQ(store.DeleteEntry({"C", 3}), EntryWrite::Changed);
  EXPECT_EQ(Value("Name", "3"), "C");
}

TEST_F(SnippetStoreTest, NewEntryTakesItsNumberFromTheFileAndGivesTheNameAsStored) {
  WriteFile("[Name]\r\n1=A\r\n2=B\r\n3=\r\n4=Verwaist\r\n");
  SnippetEntry values;
  values.Name = "Łukasz";
  values.Crypt = true;
  const std::optional<EntryListItem> added = store.NewEntry(values);
  ASSERT_TRUE(added);
  EXPECT_EQ(*added, (EntryListItem{"?ukasz", 3}));
  EXPECT_EQ(Value("Name", "3"), "?ukasz");
  EXPECT_EQ(Value("Name", "4"), "Verwaist");
  EntryListItem renamed = *added;
  ASSERT_EQ(store.RenameEntry(renamed, "Jiří"), EntryWrite::Written);
  EXPECT_EQ(renamed.Name, "Ji?í");
  EXPECT_EQ(store.SaveText(renamed, "x", false), EntryWrite::Written);  // found by that name
}

// An enciphered text that is saved as it was keeps its ciphertext: a new
// seed and new filler every time would rewrite the file for nothing.
TEST_F(SnippetStoreTest, UnchangedTextKeepsItsCiphertext) {
  // "Ł" and "ź" read back as "?": compared as they would read back.
  SnippetEntry e{0, "PIN", "4711 \\ Łódź", "", true, 0};
  ASSERT_TRUE(store.WriteEntry(1, e));
  const std::string before = FileBytes();
  const int replaces = env.files.replaces;
  env.clock.Set(2026, 12, 8, 9, 30, 0);  // another time: another seed
  EXPECT_EQ(store.SaveText({"PIN", 1}, e.Text, true), EntryWrite::Written);
  EXPECT_EQ(FileBytes(), before);
  EXPECT_EQ(env.files.replaces, replaces);

  EXPECT_EQ(store.SaveText({"PIN", 1}, "0815", true), EntryWrite::Written);
  EXPECT_EQ(store.ReadEntry(1)->Text, "0815");
  EXPECT_EQ(store.SaveText({"PIN", 1}, "0815", false), EntryWrite::Written);
  EXPECT_EQ(Value("Text", "1"), "0815");
  EXPECT_EQ(Value("Crypt", "1"), "0");
}

TEST_F(SnippetStoreTest, IgnoreListGetsItsDefaultsOnce) {
  const std::vector<std::string> defaults{"DFÜ-Netzwerkmonitor", "Microsoft Office Shortcut-Leiste"};
  EXPECT_EQ(store.LoadIgnoreList(), defaults);
  EXPECT_EQ(Value("Ignore", "1"), defaults[0]);
  EXPECT_EQ(Value("Ignore", "2"), defaults[1]);
  const std::string after = FileBytes();
  EXPECT_EQ(store.LoadIgnoreList(), defaults);
  EXPECT_EQ(FileBytes(), after);

  // Another PC added a title meanwhile: ours goes after it, and the list
  // given back is the file's.
  IniDocument doc = IniDocument::Parse(after);
  doc.Set("Ignore", "3", "Fremd");
  env.dir.Write(kDataFileName, doc.Serialize());
  EXPECT_EQ(store.AddIgnoreTitle("Posteingang - Outlook"),
            (std::vector<std::string>{defaults[0], defaults[1], "Fremd", "Posteingang - Outlook"}));
  EXPECT_EQ(Value("Ignore", "3"), "Fremd");
  EXPECT_EQ(Value("Ignore", "4"), "Posteingang - Outlook");
}

TEST_F(SnippetStoreTest, IgnoreDefaultsOnReadOnlyFileStayQuiet) {
  WriteFile("[Name]\r\n1=a\r\n");
  MakeReadOnly();
  EXPECT_EQ(store.LoadIgnoreList()->size(), 2u);
  EXPECT_TRUE(env.dialogs.shown.empty());
  EXPECT_FALSE(store.AddIgnoreTitle("x"));
  EXPECT_EQ(env.dialogs.shown.size(), 1u);
}

// ---- data folder ----

class DataFolderTest : public SnippetStoreTest {
 protected:
  std::string DefaultPath() const { return env.dir.File(kDataFileName); }
};

TEST_F(DataFolderTest, StartupKeepsAnExistingStoredPath) {
  TempDir other;
  other.Write(kDataFileName, "[Name]\r\n");
  env.settings.values[kKeyPath] = other.File(kDataFileName);
  EXPECT_TRUE(SelectDataFolder(services, file, DataFolderMode::Startup));
  EXPECT_EQ(file.Path(), other.File(kDataFileName));
  EXPECT_TRUE(env.dialogs.shown.empty());
}

TEST_F(DataFolderTest, StartupWithVanishedFileTellsAndFallsBackToDefaultWithSample) {
  env.dir.Write(kSampleFileName, "[Name]\r\n1=Beispiel\r\n");
  TempDir folder;  // there, but without the file
  env.settings.values[kKeyPath] = folder.File(kDataFileName);
  EXPECT_TRUE(SelectDataFolder(services, file, DataFolderMode::Startup));
  ASSERT_EQ(env.dialogs.shown.size(), 1u);
  EXPECT_EQ(env.dialogs.LastText(),
            "Im angegebenen Ordner befindet sich keine Zelvoscript-datei.\r\rDie Pfadangabe wird "
            "daher auf Standardwerte zurückgesetzt.");
  EXPECT_EQ(env.dialogs.shown[0].message.icon, MsgIcon::Information);
  EXPECT_EQ(env.dialogs.shown[0].title, "Zelvoscript");
  EXPECT_EQ(file.Path(), DefaultPath());
  EXPECT_EQ(env.settings.values[kKeyPath], DefaultPath());
  EXPECT_EQ(Value("Name", "1"), "Beispiel");
}

// A share not yet connected at logon, a drive that is away: the stored path
// stays. The user tries again, or works with the file beside the program
// for this session only.
TEST_F(DataFolderTest, StartupWithUnreachableFolderKeepsTheStoredPath) {
  TempDir share;
  const std::string stored = share.Path() + "nicht-verbunden/" + kDataFileName;
  env.dir.Write(kSampleFileName, "[Name]\r\n1=Beispiel\r\n");
  env.settings.values[kKeyPath] = stored;

  env.dialogs.answers = {MsgResult::Yes, MsgResult::No};
  EXPECT_TRUE(SelectDataFolder(services, file, DataFolderMode::Startup));
  ASSERT_EQ(env.dialogs.shown.size(), 2u);  // tried again once
  const Message& q = env.dialogs.shown[0].message;
  EXPECT_EQ(q.buttons, MsgButtons::YesNo);
  EXPECT_EQ(q.defaultButton, MsgResult::Yes);
  EXPECT_NE(q.text.find(stored + "\r\nist zur Zeit nicht erreichbar."), std::string::npos);
  EXPECT_NE(q.text.find("Netzlaufwerk"), std::string::npos);
  EXPECT_EQ(file.Path(), DefaultPath());
  EXPECT_EQ(Value("Name", "1"), "Beispiel");
  EXPECT_EQ(env.settings.values[kKeyPath], stored);

  // Connected while the question is shown: trying again finds it.
  env.dialogs.shown.clear();
  env.dialogs.answers = {MsgResult::Yes};
  env.dialogs.onShow = [&](const Message&) {
    ::mkdir((share.Path() + "nicht-verbunden").c_str(), 0755);
    share.Write("nicht-verbunden/" + std::string(kDataFileName), "[Name]\r\n1=Geteilt\r\n");
  };
  EXPECT_TRUE(SelectDataFolder(services, file, DataFolderMode::Startup));
  EXPECT_EQ(env.dialogs.shown.size(), 1u);
  EXPECT_EQ(file.Path(), stored);
  EXPECT_EQ(env.settings.values[kKeyPath], stored);
}

TEST_F(DataFolderTest, DefaultNeverOverwritesAnExistingFile) {
  env.dir.Write(kSampleFileName, "[Name]\r\n1=Beispiel\r\n");
  WriteFile("[Name]\r\n1=Eigenes\r\n");
  EXPECT_TRUE(SelectDataFolder(services, file, DataFolderMode::Default));
  EXPECT_EQ(Value("Name", "1"), "Eigenes");
}

TEST_F(DataFolderTest, DefaultWithoutSampleCreatesNothingYet) {
  EXPECT_TRUE(SelectDataFolder(services, file, DataFolderMode::Startup));
  EXPECT_EQ(file.Path(), DefaultPath());
  EXPECT_FALSE(env.files.IsRegularFile(DefaultPath()));
  EXPECT_TRUE(env.dialogs.shown.empty());
}

TEST_F(DataFolderTest, FailedSampleCopyIsReported) {
  env.dir.Write(kSampleFileName, "[Name]\r\n");
  env.files.copyFailures = {FileError::AccessDenied};
  EXPECT_TRUE(SelectDataFolder(services, file, DataFolderMode::Default));
  EXPECT_NE(env.dialogs.LastText().find("Beispieldatei"), std::string::npos);
  EXPECT_EQ(file.Path(), DefaultPath());
}

TEST_F(DataFolderTest, ChooseCancelChangesNothing) {
  file.SetPath("/alt/Zelvoscript.ini");
  env.dialogs.folders = {std::nullopt, std::string("")};
  EXPECT_FALSE(SelectDataFolder(services, file, DataFolderMode::Choose));
  EXPECT_FALSE(SelectDataFolder(services, file, DataFolderMode::Choose));
  EXPECT_EQ(env.dialogs.folderPrompts[0], "Bitte wählen Sie den neuen Ablageordner:");
  EXPECT_EQ(file.Path(), "/alt/Zelvoscript.ini");
  EXPECT_TRUE(env.settings.values.empty());
}

TEST_F(DataFolderTest, ChooseExistingFileTakesItWithoutQuestion) {
  TempDir other;
  other.Write(kDataFileName, "[Name]\r\n1=x\r\n");
  std::string folder = other.Path();
  folder.pop_back();  // the folder chooser gives no trailing separator ...
  env.dialogs.folders = {folder + "/"};  // ... but POSIX paths need "/" rather than "\"
  EXPECT_TRUE(SelectDataFolder(services, file, DataFolderMode::Choose));
  EXPECT_EQ(file.Path(), other.File(kDataFileName));
  EXPECT_EQ(env.settings.values[kKeyPath], other.File(kDataFileName));
  EXPECT_TRUE(env.dialogs.shown.empty());
}

TEST_F(DataFolderTest, ChooseMissingFileAsksAndCreatesOnYes) {
  TempDir other;
  file.SetPath("/alt/Zelvoscript.ini");
  env.dialogs.folders = {other.Path(), other.Path()};
  env.dialogs.answers = {MsgResult::No, MsgResult::Yes};
  EXPECT_FALSE(SelectDataFolder(services, file, DataFolderMode::Choose));
  EXPECT_EQ(file.Path(), "/alt/Zelvoscript.ini");
  EXPECT_FALSE(env.files.IsRegularFile(other.File(kDataFileName)));
  const Message& q = env.dialogs.shown[0].message;
  EXPECT_EQ(q.text,
            "Im ausgewählten Ordner befindet sich (noch) keine Zelvoscript-datei.\r\rMöchten Sie "
            "eine neue anlegen?");
  EXPECT_EQ(q.buttons, MsgButtons::YesNo);

  EXPECT_TRUE(SelectDataFolder(services, file, DataFolderMode::Choose));
  EXPECT_EQ(file.Path(), other.File(kDataFileName));
  EXPECT_EQ(other.Read(kDataFileName), "");
  EXPECT_TRUE(env.files.IsRegularFile(other.File(kDataFileName)));
  EXPECT_EQ(env.settings.values[kKeyPath], other.File(kDataFileName));
}

TEST_F(DataFolderTest, ChooseKeepsAHiddenFileOfThatName) {
  // A hidden data file is not seen by FileExists, but it must not be emptied.
  struct HiddenFiles : FaultyFileSystem {
    bool FileExists(const std::string&) override { return false; }
  } hidden;
  Services s{hidden, env.clock, env.random, env.settings, env.dialogs, env.system};
  TempDir other;
  other.Write(kDataFileName, "[Name]\r\n1=Daten\r\n");
  env.dialogs.folders = {other.Path()};
  env.dialogs.answers = {MsgResult::Yes};
  EXPECT_TRUE(SelectDataFolder(s, file, DataFolderMode::Choose));
  EXPECT_EQ(other.Read(kDataFileName), "[Name]\r\n1=Daten\r\n");
}

TEST_F(DataFolderTest, ChooseWhenCreatingFailsChangesNothing) {
  file.SetPath("/alt/Zelvoscript.ini");
  env.dialogs.folders = {std::string("/proc/")};
  env.dialogs.answers = {MsgResult::Yes};
  EXPECT_FALSE(SelectDataFolder(services, file, DataFolderMode::Choose));
  EXPECT_EQ(file.Path(), "/alt/Zelvoscript.ini");
  EXPECT_TRUE(env.settings.values.empty());
  ASSERT_EQ(env.dialogs.shown.size(), 2u);
  EXPECT_NE(env.dialogs.LastText().find("konnte nicht angelegt werden"), std::string::npos);
}

// ---- settings ----

TEST(Settings, LoadClampsEveryValue) {
  struct Case {
    const char* common;
    int HK, border, byClick, pos;
    int32_t col;
    int mode;
  };
  const Case cases[] = {
      {"", 0, 0, 0, 0, kDefaultBorderColour, 0},
      {"HK=1795", 1795, 0, 0, 0, kDefaultBorderColour, 0},
      {"HK=4096", 0, 0, 0, 0, kDefaultBorderColour, 0},
      {"HK=-1", 0, 0, 0, 0, kDefaultBorderColour, 0},
      {"HK=20", 0, 0, 0, 0, kDefaultBorderColour, 0},
      {"HK=1044", 1024, 0, 0, 0, kDefaultBorderColour, 0},  // Strg + index 20
      {"HK=2053", 5, 0, 0, 0, kDefaultBorderColour, 0},      // bit 11 is not used
      {"HK=1028.5", 1028, 0, 0, 0, kDefaultBorderColour, 0},
      {"HK=abc", 0, 0, 0, 0, kDefaultBorderColour, 0},
      {"PumActViaBorder=1\r\nPumActBorderByClick=1\r\nPumActPos=3", 0, 1, 1, 3, kDefaultBorderColour, 0},
      {"PumActViaBorder=2\r\nPumActBorderByClick=-1\r\nPumActPos=4", 0, 0, 0, 0, kDefaultBorderColour, 0},
      {"PumActBorderCol=255", 0, 0, 0, 0, 255, 0},
      {"PumActBorderCol=0", 0, 0, 0, 0, 0, 0},
      {"PumActBorderCol=-2147483648", 0, 0, 0, 0, INT32_MIN, 0},
      {"PumActBorderCol=2147483663", 0, 0, 0, 0, kDefaultBorderColour, 0},
      {"PumActBorderCol=rot", 0, 0, 0, 0, kDefaultBorderColour, 0},
      {"PumMode=1", 0, 0, 0, 0, kDefaultBorderColour, 1},
      {"PumMode=-7", 0, 0, 0, 0, kDefaultBorderColour, 1},
      {"PumMode=0.4", 0, 0, 0, 0, kDefaultBorderColour, 0},
  };
  for (const Case& c : cases) {
    const ProgramSettings s = LoadSettings(IniDocument::Parse(std::string("[Common]\r\n") + c.common));
    EXPECT_EQ(s.HK, c.HK) << c.common;
    EXPECT_EQ(s.PumActViaBorder, c.border) << c.common;
    EXPECT_EQ(s.PumActBorderByClick, c.byClick) << c.common;
    EXPECT_EQ(s.PumActPos, c.pos) << c.common;
    EXPECT_EQ(s.PumActBorderCol, c.col) << c.common;
    EXPECT_EQ(s.PumMode, c.mode) << c.common;
  }
  const ProgramSettings s = LoadSettings(IniDocument::Parse("[Common]\r\nHK=1795"));
  EXPECT_EQ(s.KeyIndex(), 3);
  EXPECT_TRUE(s.Shift() && s.Alt() && s.Strg());
}

TEST_F(SnippetStoreTest, SaveSettingsWritesSixKeysInOrderInOneWrite) {
  WriteFile("[Common]\r\nLock=\r\n");
  ProgramSettings s;
  s.HK = ProgramSettings::EncodeHK(12, false, false, true);
  s.PumActViaBorder = 1;
  s.PumActPos = 2;
  s.PumActBorderCol = 255;
  ASSERT_TRUE(SaveSettings(file, s));
  EXPECT_EQ(env.files.replaces, 1);
  EXPECT_EQ(FileBytes(),
            "[Common]\r\nLock=\r\nHK=1036\r\nPumActViaBorder=1\r\nPumActBorderByClick=0\r\n"
            "PumActPos=2\r\nPumActBorderCol=255\r\nPumMode=0\r\n");
  const ProgramSettings back = LoadSettings(*file.Read());
  EXPECT_EQ(back.HK, 1036);
  EXPECT_EQ(back.PumActBorderCol, 255);
}

}  // namespace
}  // namespace zelvo
