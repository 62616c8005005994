// Quick search at 32,767 entries, an eighth of them enciphered: the time per
// keystroke of our indexed, incremental filter against the naive way (every
// name and text deciphered, folded and scanned again at every keystroke, the
// matches sorted), in the same run.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "fakes/fake_clock.h"
#include "fakes/fake_random.h"
#include "search/folding.h"
#include "search/search_filter.h"
#include "store/cipher.h"
#include "store/codepage.h"
#include "store/text_codes.h"

namespace zelvo {
namespace {

// CPU time of this thread: the machine may be busy with other work, and
// waiting for a core is not what is measured here.
double NowMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

double MsSince(double start) { return NowMs() - start; }

constexpr int kEntries = 32767;

const char* const kWords[] = {
    "Angebot", "Brief", "Dank", "Einladung", "Gru\xC3\x9F", "Hinweis", "Kunde", "Liefertermin",
    "Mahnung", "Notiz", "Preis", "Quittung", "Rechnung", "Signatur", "Termin", "Urlaub",
    "Vertrag", "Zahlung", "\xC3\x84nderung", "B\xC3\xBCro", "M\xC3\xBCller", "Stra\xC3\x9F" "e"};
constexpr int kWordCount = sizeof(kWords) / sizeof(kWords[0]);

struct Source {
  int number;
  std::string name, text;  // the text as the data file holds it
  bool crypt;
};

// Every eighth entry is stored enciphered, as new entries are by default.
std::vector<Source> MakeEntries() {
  FakeRandom random;
  FakeClock clock;
  std::vector<Source> entries;
  for (int i = 1; i <= kEntries; ++i) {
    Source s{i, std::string(kWords[i % kWordCount]) + " " + kWords[(i / kWordCount) % kWordCount] +
                    " " + std::to_string(i),
             "Sehr geehrte Damen und Herren,\\N\\Nvielen Dank f\xC3\xBCr Ihre Nachricht zum Thema " +
                 std::string(kWords[(i * 7) % kWordCount]) + " vom " + std::to_string(i % 28 + 1) +
                 ". M\xC3\xA4rz. Wir melden uns bei Ihnen.\\N\\NMit freundlichen Gr\xC3\xBC\xC3\x9F" "en",
             i % 8 == 0};
    if (s.crypt) s.text = EncipherText(s.text, random, clock);
    entries.push_back(std::move(s));
  }
  return entries;
}

// What one keystroke costs without an index: fold and scan everything again.
std::vector<int> NaiveKeystroke(const std::vector<Source>& entries, const std::string& typed) {
  const SearchQuery q = ParseQuery(typed);
  struct Hit {
    int kind;
    std::string folded;
    int number;
  };
  std::vector<Hit> hits;
  for (const Source& e : entries) {
    const std::string name = FoldForSearch(e.name);
    const std::string text = FoldForSearch(UnescapeText(e.crypt ? DecipherText(e.text) : e.text));
    bool all = true, allInName = true;
    for (const std::string& w : q.words) {
      if (HoldsWord(name, w)) continue;
      allInName = false;
      if (!HoldsWord(text, w)) all = false;
    }
    if (!all) continue;
    int kind = 3;
    if (allInName) {
      const std::size_t at = name.find(q.phrase);
      kind = at == 0 ? 0 : (at != std::string::npos && !IsWordByte(name[at - 1])) ? 1 : 2;
    }
    hits.push_back({kind, name, e.number});
  }
  std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
    if (a.kind != b.kind) return a.kind < b.kind;
    return a.folded < b.folded;
  });
  std::vector<int> numbers;
  for (const Hit& h : hits) numbers.push_back(h.number);
  return numbers;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace
}  // namespace zelvo

int main() {
  using namespace zelvo;
  const std::vector<Source> entries = MakeEntries();
  // What users type, letter by letter, with a correction in between.
  const std::vector<std::string> sessions = {"grus", "mit freundl", "rechnung 12", "muller",
                                             "mueller bur", "sehr geehrte damen", "zahlungx"};

  // The data file as the program reads it.
  std::string file = "[Name]\r\n";
  for (const Source& e : entries) file += std::to_string(e.number) + "=" + e.name + "\r\n";
  file += "[Text]\r\n";
  for (const Source& e : entries) file += std::to_string(e.number) + "=" + e.text + "\r\n";
  file += "[Crypt]\r\n";
  for (const Source& e : entries) file += std::to_string(e.number) + "=" + (e.crypt ? "1" : "0") + "\r\n";
  const IniDocument doc = IniDocument::Parse(Utf8ToCp1252(file));
  const EntryList list = SnippetStore::EntryListFrom(doc);

  double start = NowMs();
  SearchIndex index = SearchIndex::FromFile(doc, list);
  index.ApplyRecentUse(RecentUse{});
  std::printf("search_index_build_%d_ms: %.1f\n", kEntries, MsSince(start));
  const std::string bytes = Utf8ToCp1252(file);
  std::printf("search_index_%d_kb: %zu\n", kEntries, index.MemoryBytes() / 1024);
  std::printf("search_index_%d_names_and_texts_kb: %zu\n", kEntries, bytes.size() / 1024);

  std::vector<double> ours, naive;
  int mismatches = 0;
  for (const std::string& typed : sessions) {
    SearchFilter filter(index);  // a new search window
    std::vector<std::string> keystrokes;
    for (std::size_t n = 1; n <= typed.size(); ++n) keystrokes.push_back(typed.substr(0, n));
    keystrokes.push_back(typed.substr(0, typed.size() - 1));  // a backspace
    for (const std::string& q : keystrokes) {
      start = NowMs();
      const std::vector<uint32_t>& found = filter.Update(q);
      ours.push_back(MsSince(start));
      std::vector<int> numbers;
      for (uint32_t id : found) numbers.push_back(index.Number(id));

      start = NowMs();
      const std::vector<int> expected = NaiveKeystroke(entries, q);
      naive.push_back(MsSince(start));
      std::vector<int> a = numbers, b = expected;
      std::sort(a.begin(), a.end());
      std::sort(b.begin(), b.end());
      if (a != b) ++mismatches;
    }
  }
  const double oursMedian = Median(ours), naiveMedian = Median(naive);
  std::printf("search_keystroke_%d_median_ms: %.3f\n", kEntries, oursMedian);
  std::printf("search_keystroke_%d_max_ms: %.3f\n", kEntries, *std::max_element(ours.begin(), ours.end()));
  std::printf("search_keystroke_%d_naive_median_ms: %.1f\n", kEntries, naiveMedian);
  std::printf("search_keystroke_%d_speedup: %.0f\n", kEntries, naiveMedian / oursMedian);
  if (mismatches) std::printf("search_keystroke_%d_error: %d keystrokes found other entries than the naive way\n", kEntries, mismatches);
  return mismatches ? 1 : 0;
}
