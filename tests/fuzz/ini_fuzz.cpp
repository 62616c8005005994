// The INI document. Input: a data file, optionally followed by a NUL and a
// script of writes (section, key, value) that the program could make.
//
// Properties: serialising keeps every line's text (only line ends become
// CR LF); parse, serialise, parse reads the same values; serialising again
// is stable; a written value reads back as written (blanks for line breaks,
// "?" for what a 1252 file cannot hold), also through the file; writing the
// same values again changes no byte; values nobody wrote are untouched.
#include <fuzzer/FuzzedDataProvider.h>

#include <map>

#include "fuzz_support.h"

using namespace zelvo;
using namespace zelvo::fuzz;

namespace {

const char* const kSections[] = {"Name", "Text", "Title", "Crypt", "DosBox", "Common", "Ignore",
                                  "NAME", "common", "Übersicht", "Straße"};
const char* const kKeys[] = {"1", "2", "3", "10", "32767", "HK", "Lock", "PumMode", "hk",
                             "Schlüssel", "ÄÖÜ"};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; }

// Names the program could write: one line, no outer blanks, every character
// in 1252, and nothing that would make the line mean something else.
bool WritableName(const std::string& n, bool section) {
  if (n.empty() || IsBlank(n.front()) || IsBlank(n.back())) return false;
  if (n.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) return false;
  if (Cp1252ToUtf8(Utf8ToCp1252(n)) != n) return false;
  if (section) return true;
  return n.find('=') == std::string::npos && n.front() != ';' && n.front() != '[';
}

std::string PickName(FuzzedDataProvider& fdp, const std::vector<Probe>& probes, bool section) {
  std::string n;
  switch (fdp.ConsumeIntegralInRange(0, 2)) {
    case 0:
      n = section ? kSections[fdp.ConsumeIntegralInRange<size_t>(0, std::size(kSections) - 1)]
                  : kKeys[fdp.ConsumeIntegralInRange<size_t>(0, std::size(kKeys) - 1)];
      break;
    case 1:
      if (!probes.empty()) {
        const Probe& p = probes[fdp.ConsumeIntegralInRange<size_t>(0, probes.size() - 1)];
        n = section ? p.section : p.key;
      }
      break;
    default:
      n = TextFrom(fdp.ConsumeRandomLengthString(24));
  }
  return WritableName(n, section) ? n : (section ? "Text" : "1");
}

struct Written {
  std::string section, key, value;
  std::vector<std::string> expected;  // any of these is right
};

void CheckWritten(const IniDocument& doc, const std::map<std::pair<std::string, std::string>, Written>& written,
                  const char* where) {
  for (const auto& [name, w] : written) {
    const std::string got = doc.Get(w.section, w.key, "<fehlt>");
    bool ok = false;
    for (const std::string& e : w.expected) ok = ok || got == e;
    if (!ok) FUZZ_CHECK_EQ(got, w.expected.front(), std::string(where) + ": " + w.section + "/" + w.key);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = input.find('\0');
  const std::string file = input.substr(0, nul);
  const std::string script = nul == std::string::npos ? "" : input.substr(nul + 1);
  const bool markedFile = file.compare(0, 3, kBom) == 0;
  const bool utf8File = IsUtf8File(file);

  IniDocument doc = IniDocument::Parse(file);
  const std::string saved = doc.Serialize();
  // A file of unknown encoding (a mark, then no valid UTF-8) only has to
  // read the same after saving.
  if (!markedFile || utf8File)
    FUZZ_CHECK_EQ(FileText(saved), WithCrLf(FileText(file)), "saving an unchanged document");

  const std::vector<Probe> probes = ProbesIn(file);
  const auto before = Snapshot(doc, probes);
  const IniDocument reread = IniDocument::Parse(saved);
  const auto after = Snapshot(reread, probes);
  for (std::size_t i = 0; i < probes.size(); ++i)
    FUZZ_CHECK_EQ(after[i], before[i], "parse, save, parse: " + probes[i].section + "/" + probes[i].key);
  FUZZ_CHECK_EQ(reread.Serialize(), saved, "saving a parsed saved file");

  if (script.empty()) return 0;
  FuzzedDataProvider fdp(reinterpret_cast<const uint8_t*>(script.data()), script.size());
  std::map<std::pair<std::string, std::string>, Written> written;
  for (int op = 0; op < 12 && fdp.remaining_bytes() > 0; ++op) {
    Written w;
    w.section = PickName(fdp, probes, true);
    w.key = PickName(fdp, probes, false);
    w.value = TextFrom(fdp.ConsumeRandomLengthString(200));
    // Long values: older versions read only 32766 characters, we read all.
    // One at most, they are slow. (An exhausted provider gives 0, so the
    // rare case is the highest value.)
    if (op == 0 && fdp.ConsumeIntegralInRange(0, 31) == 31) {
      std::string v;
      while (v.size() < 33000) v += w.value + "ä€";
      w.value = v;
    }
    doc.Set(w.section, w.key, w.value);
    w.expected = {AsWritten(w.value, utf8File)};
    if (markedFile && !utf8File) w.expected.push_back(AsWritten(w.value, true));
    written[{NameKey(w.section), NameKey(w.key)}] = w;
  }
  CheckWritten(doc, written, "after writing");

  const std::string changed = doc.Serialize();
  const IniDocument reloaded = IniDocument::Parse(changed);
  CheckWritten(reloaded, written, "after saving and reading the file");
  FUZZ_CHECK_EQ(reloaded.Serialize(), changed, "saving a changed document again");

  // Nobody else's values moved.
  const auto now = Snapshot(reloaded, probes);
  for (std::size_t i = 0; i < probes.size(); ++i) {
    if (written.count({NameKey(probes[i].section), NameKey(probes[i].key)})) continue;
    FUZZ_CHECK_EQ(now[i], before[i], "untouched " + probes[i].section + "/" + probes[i].key);
  }

  // Writing what is there already changes nothing.
  IniDocument again = reloaded;
  for (const auto& [name, w] : written) again.Set(w.section, w.key, w.value);
  FUZZ_CHECK_EQ(again.Serialize(), changed, "writing the same values again");
  return 0;
}
