// The store over files in memory: a hostile data file, then a script of
// what the program and other PCs do to it. Input: the file (empty: no file
// yet), optionally followed by a NUL and the script.
//
// Properties: every write reads back as written and changes no other value;
// the lock is taken only when free, leaves the file alone otherwise, and a
// release by its owner frees it while a foreign record stays; settings and
// ignored titles read back; the entry list is dense and trimmed; nothing is
// written outside the file's exclusive lock, nor to a file that is no text.
#include <fuzzer/FuzzedDataProvider.h>

#include "fakes/fake_clock.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_random.h"
#include "fuzz_support.h"
#include "memory_file_system.h"
#include "store/data_lock.h"
#include "store/settings.h"
#include "store/snippet_store.h"
#include "store/text_codes.h"

using namespace zelvo;
using namespace zelvo::fuzz;

namespace {

const std::string kPath = "//server/share/Zelvoscript.ini";
const char* const kFields[] = {kFieldName, kFieldCrypt, kFieldText, kFieldTitle, kFieldDosBox};

struct Rig {
  MemoryFileSystem files;
  FakeClock clock;
  FakeRandom random;
  FakeAppSettings settings;
  FakeDialogs dialogs;
  FakeSystemInfo system;
  Services services{files, clock, random, settings, dialogs, system};
  DataFile file{services};
  SnippetStore store{services, file};
  DataLock lock{services, file};

  Rig() { file.SetPath(kPath); }
  std::string Bytes() const {
    const auto it = files.files.find(kPath);
    return it == files.files.end() ? "" : it->second;
  }
  IniDocument Doc() const { return IniDocument::Parse(Bytes()); }
};

// Names that hold on to a lock: the logged-on user as Windows gives it.
std::string UserName(FuzzedDataProvider& fdp) {
  static const char* const kUsers[] = {"mkraus", "Łukasz", "Şahin", "Jiří", "a;b;c", "Müller",
                                       "\"zitiert\"", " blank "};
  if (fdp.ConsumeBool()) return TextFrom(fdp.ConsumeRandomLengthString(300));
  return kUsers[fdp.ConsumeIntegralInRange<size_t>(0, std::size(kUsers) - 1)];
}

// Every value of the file except those in `written` (section, key) kept.
void CheckUntouched(const std::vector<Probe>& probes, const std::vector<std::optional<std::string>>& before,
                    const IniDocument& now, const std::vector<std::pair<std::string, std::string>>& written) {
  const auto after = Snapshot(now, probes);
  for (std::size_t i = 0; i < probes.size(); ++i) {
    bool mine = false;
    for (const auto& [s, k] : written)
      mine = mine || (NameKey(s) == NameKey(probes[i].section) && NameKey(k) == NameKey(probes[i].key));
    if (!mine) FUZZ_CHECK_EQ(after[i], before[i], "untouched " + probes[i].section + "/" + probes[i].key);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = input.find('\0');
  const std::string initial = input.substr(0, nul);
  const std::string script = nul == std::string::npos ? "" : input.substr(nul + 1);
  FuzzedDataProvider fdp(reinterpret_cast<const uint8_t*>(script.data()), script.size());

  Rig rig;
  if (!initial.empty()) rig.files.files[kPath] = initial;
  rig.files.inPlace = fdp.ConsumeBool();
  rig.system.userName = UserName(fdp);
  rig.system.computerName = fdp.ConsumeBool() ? "PC-EMPFANG" : TextFrom(fdp.ConsumeRandomLengthString(40));

  bool held = false;  // this instance took the lock and has not let it go
  std::string repaired;  // the text before a copy went wrong
  for (int op = 0; op < 16 && fdp.remaining_bytes() > 0; ++op) {
    const std::string bytesBefore = rig.Bytes();
    // A marked file is UTF-8 to the program even where an older version
    // wrote 1252 bytes into it (it reads those as 1252), so what is written
    // keeps every character.
    const bool utf8 = bytesBefore.compare(0, 3, kBom) == 0;
    const IniDocument docBefore = rig.Doc();
    const std::vector<Probe> probes = ProbesIn(bytesBefore, 600);
    const auto before = Snapshot(docBefore, probes);
    const std::size_t messages = rig.dialogs.shown.size();
    const std::string lockBefore = docBefore.Get("Common", "Lock");

    const int step = fdp.ConsumeIntegralInRange(0, 9);
    if (step == 9) {  // a copy gone wrong leaves no text there, until someone repairs it
      if (bytesBefore.find('\0') == std::string::npos) {
        repaired = bytesBefore;
        rig.files.files[kPath] = fdp.ConsumeRandomLengthString(100) + '\0' + bytesBefore;
      } else {
        rig.files.files[kPath] = repaired;
      }
      continue;
    }
    if (bytesBefore.find('\0') != std::string::npos) {
      // Nothing is read from or written to a file that is no text.
      SnippetEntry e;
      e.Number = 1;
      e.Name = "Brief";
      FUZZ_CHECK(!rig.store.WriteEntry(1, e));
      FUZZ_CHECK(!rig.store.LoadEntryList().has_value());
      FUZZ_CHECK(rig.lock.AcquireLock());
      rig.lock.ReleaseLock(true);
      FUZZ_CHECK(!SaveSettings(rig.file, ProgramSettings{}));
      FUZZ_CHECK_EQ(rig.Bytes(), bytesBefore, "a file that is no text stays as it is");
      FUZZ_CHECK(rig.files.lockDepth == 0);
      continue;
    }

    switch (step) {
      case 0: {  // the editor saves an entry
        const int count = static_cast<int>(SnippetStore::EntryListFrom(docBefore).entries.size());
        SnippetEntry e;
        e.Number = fdp.ConsumeIntegralInRange(1, count + 2);
        e.Name = TextFrom(fdp.ConsumeRandomLengthString(40));
        e.Text = EscapeText(TextFrom(fdp.ConsumeRandomLengthString(200)));
        e.Title = TextFrom(fdp.ConsumeRandomLengthString(40));
        e.Crypt = fdp.ConsumeBool();
        e.DosBox = fdp.ConsumeIntegralInRange(0, 2);
        FUZZ_CHECK(rig.store.WriteEntry(e.Number, e));
        const std::optional<SnippetEntry> got = rig.store.ReadEntry(e.Number);
        FUZZ_CHECK(got.has_value());
        FUZZ_CHECK_EQ(got->Name, AsWritten(e.Name, utf8), "name");
        FUZZ_CHECK_EQ(got->Title, AsWritten(e.Title, utf8), "title");
        // The cipher works on 1252 codes, whatever the file's encoding, and
        // its hex digits keep every code.
        const std::string text = e.Crypt ? Cp1252ToUtf8(Utf8ToCp1252(e.Text)) : AsWritten(e.Text, utf8);
        FUZZ_CHECK_EQ(got->Text, text, "text, enciphered: " + Show(e.Crypt));
        FUZZ_CHECK_EQ(got->Crypt, e.Crypt, "cipher flag");
        FUZZ_CHECK_EQ(got->DosBox, e.DosBox, "send method");
        std::vector<std::pair<std::string, std::string>> written;
        for (const char* f : kFields) written.push_back({f, std::to_string(e.Number)});
        CheckUntouched(probes, before, rig.Doc(), written);
        break;
      }
      case 1: {  // any single value
        static const char* const kSections[] = {"Common", "Name", "Text", "Ignore", "Übersicht"};
        static const char* const kKeys[] = {"Lock", "HK", "1", "2", "Schlüssel"};
        const std::string section = kSections[fdp.ConsumeIntegralInRange<size_t>(0, 4)];
        const std::string key = kKeys[fdp.ConsumeIntegralInRange<size_t>(0, 4)];
        const std::string value = TextFrom(fdp.ConsumeRandomLengthString(100));
        FUZZ_CHECK(rig.file.WriteIni(section, key, value));
        FUZZ_CHECK_EQ(rig.file.GetIni(section, key, "<fehlt>"), AsWritten(value, utf8), section + "/" + key);
        CheckUntouched(probes, before, rig.Doc(), {{section, key}});
        break;
      }
      case 2: {  // a control gets the focus
        const bool refused = rig.lock.AcquireLock();
        FUZZ_CHECK_EQ(refused, !lockBefore.empty(), "lock refused exactly when held: " + lockBefore);
        if (refused) {
          FUZZ_CHECK_EQ(rig.Bytes(), bytesBefore, "a refused lock leaves the file");
          FUZZ_CHECK(rig.dialogs.shown.size() == messages + 1);
        } else {
          held = true;
          FUZZ_CHECK(!rig.Doc().Get("Common", "Lock").empty());
          FUZZ_CHECK(rig.dialogs.shown.size() == messages);
          CheckUntouched(probes, before, rig.Doc(), {{"Common", "Lock"}});
        }
        break;
      }
      case 3: {  // the control loses the focus
        const bool own = held && lockBefore == AsWritten(rig.lock.OwnLockValue(), utf8);
        rig.lock.ReleaseLock(false);
        if (own) {
          held = false;
          FUZZ_CHECK_EQ(rig.Doc().Get("Common", "Lock", "<fehlt>"), std::string(), "own lock released");
          CheckUntouched(probes, before, rig.Doc(), {{"Common", "Lock"}});
        } else {
          FUZZ_CHECK_EQ(rig.Bytes(), bytesBefore, "releasing a lock that is not ours");
        }
        break;
      }
      case 4: {  // the emergency removal
        rig.lock.ReleaseLock(true);
        held = false;
        FUZZ_CHECK_EQ(rig.Doc().Get("Common", "Lock"), std::string(), "forced release");
        CheckUntouched(probes, before, rig.Doc(), {{"Common", "Lock"}});
        break;
      }
      case 5: {  // another PC takes the lock (or an older version writes a value)
        IniDocument other = docBefore;
        other.Set("Common", "Lock", TextFrom(fdp.ConsumeRandomLengthString(80)));
        rig.files.files[kPath] = other.Serialize();
        break;
      }
      case 6: {  // the options dialog's OK
        ProgramSettings s;
        s.HK = ProgramSettings::EncodeHK(fdp.ConsumeIntegralInRange(0, 12), fdp.ConsumeBool(),
                                         fdp.ConsumeBool(), fdp.ConsumeBool());
        s.PumActViaBorder = fdp.ConsumeIntegralInRange(0, 1);
        s.PumActBorderByClick = fdp.ConsumeIntegralInRange(0, 1);
        s.PumActPos = fdp.ConsumeIntegralInRange(0, 3);
        s.PumActBorderCol = fdp.ConsumeIntegral<int32_t>();
        s.PumMode = fdp.ConsumeIntegralInRange(0, 1);
        FUZZ_CHECK(SaveSettings(rig.file, s));
        const ProgramSettings got = LoadSettings(rig.Doc());
        FUZZ_CHECK_EQ(got.HK, s.HK, "HK");
        FUZZ_CHECK_EQ(got.PumActViaBorder, s.PumActViaBorder, "PumActViaBorder");
        FUZZ_CHECK_EQ(got.PumActBorderByClick, s.PumActBorderByClick, "PumActBorderByClick");
        FUZZ_CHECK_EQ(got.PumActPos, s.PumActPos, "PumActPos");
        FUZZ_CHECK_EQ(got.PumActBorderCol, s.PumActBorderCol, "PumActBorderCol");
        FUZZ_CHECK_EQ(got.PumMode, s.PumMode, "PumMode");
        std::vector<std::pair<std::string, std::string>> written;
        for (const char* k : {"HK", "PumActViaBorder", "PumActBorderByClick", "PumActPos", "PumActBorderCol",
                              "PumMode"})
          written.push_back({"Common", k});
        CheckUntouched(probes, before, rig.Doc(), written);
        break;
      }
      case 7: {  // the debugger's "ignore this title"
        rig.store.IgnoreListFrom(docBefore);  // puts the defaults into an empty list
        const IniDocument withDefaults = rig.Doc();
        const std::string title = TextFrom(fdp.ConsumeRandomLengthString(60));
        const std::optional<std::vector<std::string>> added = rig.store.AddIgnoreTitle(title);
        FUZZ_CHECK(added.has_value());
        std::vector<std::string> expected = rig.store.IgnoreListFrom(withDefaults);
        // Written behind the titles the file held, defaults included.
        const std::string key = std::to_string(expected.size() + 1);
        if (!AsWritten(title, utf8).empty()) expected.push_back(AsWritten(title, utf8));
        // Titles a hand-edited file kept behind an empty one may follow.
        const std::vector<std::string> got = rig.store.IgnoreListFrom(rig.Doc());
        FUZZ_CHECK(got.size() >= expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) FUZZ_CHECK_EQ(got[i], expected[i], "ignored title");
        FUZZ_CHECK(*added == got);  // the list as the file holds it
        CheckUntouched(probes, before, rig.Doc(), {{"Ignore", key}, {"Ignore", "1"}, {"Ignore", "2"}});
        break;
      }
      default: {  // a reload
        const std::optional<EntryList> list = rig.store.LoadEntryList();
        FUZZ_CHECK(list.has_value());
        for (std::size_t i = 0; i < list->entries.size(); ++i) {
          FUZZ_CHECK_EQ(list->entries[i].Number, static_cast<int>(i + 1), "dense numbers");
          FUZZ_CHECK(!list->entries[i].Name.empty());
        }
        for (const std::string& t : list->destinationTitles) FUZZ_CHECK(!t.empty() && Trim(t) == t);
        FUZZ_CHECK_EQ(rig.Bytes(), bytesBefore, "a reload writes nothing");
      }
    }
    FUZZ_CHECK(rig.files.lockDepth == 0);
  }
  return 0;
}
