// Loading the entry list from a hand-made data file with 200,000 section
// headers in front of the real ones: our indexed section lookup against the
// naive way that compares every header for every value. Times are the
// process's CPU time, so that other work on a shared machine does not blur
// the ratio.
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "fakes/fake_services.h"
#include "store/codepage.h"
#include "store/snippet_store.h"

namespace zelvo {
namespace {

constexpr int kHeaders = 200000;
constexpr int kEntries = 1000;

double CpuMs() { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

std::string BuildFile() {
  std::string file;
  for (int i = 1; i <= kHeaders; ++i) file += "[Abschnitt " + std::to_string(i) + "]\r\n";
  file += "[Name]\r\n";
  for (int i = 1; i <= kEntries; ++i) file += std::to_string(i) + "=Baustein " + std::to_string(i) + "\r\n";
  file += "[Title]\r\n";
  for (int i = 10; i <= kEntries; i += 10) file += std::to_string(i) + "=Editor\r\n";
  return file;
}

// The file parsed once, every section header in a list that each lookup
// walks, reading the name out of each header line and comparing it without
// regard to case, as a profile-function reader does; the keys of a section
// are a hash map, as ours.
class NaiveSections {
 public:
  explicit NaiveSections(const std::string& bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
      std::size_t end = bytes.find("\r\n", pos);
      if (end == std::string::npos) end = bytes.size();
      const std::string_view line(bytes.data() + pos, end - pos);
      pos = end + 2;
      if (!line.empty() && line[0] == '[') {
        sections_.push_back({line, 0});
      } else if (const std::size_t eq = line.find('='); eq != std::string::npos && !sections_.empty()) {
        if (sections_.back().keys == 0) {
          keys_.emplace_back();
          sections_.back().keys = keys_.size();
        }
        keys_[sections_.back().keys - 1].emplace(UpperCp1252(std::string(line.substr(0, eq))),
                                                 std::string(line.substr(eq + 1)));
      }
    }
  }
  std::string Get(const std::string& section, const std::string& key) const {
    for (const Section& s : sections_) {
      const std::string_view name = s.header.substr(1, s.header.rfind(']') - 1);
      if (!SameName(name, section)) continue;
      if (s.keys == 0) return "";
      const auto& keys = keys_[s.keys - 1];
      const auto it = keys.find(UpperCp1252(key));
      return it == keys.end() ? "" : it->second;
    }
    return "";
  }

 private:
  static bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (UpperCp1252Char(a[i]) != UpperCp1252Char(b[i])) return false;
    return true;
  }
  struct Section {
    std::string_view header;  // "[Name]"
    std::size_t keys;  // 1 + index into keys_, 0 = none
  };
  std::vector<Section> sections_;
  std::vector<std::unordered_map<std::string, std::string>> keys_;
};

// The lookups of an entry-list load on a parsed file; returns the entries found.
template <class Ini>
int LoadLookups(const Ini& ini) {
  int found = 0;
  for (int i = 1;; ++i) {
    if (ini.Get("Name", std::to_string(i)).empty()) return found;
    ++found;
    ini.Get("Title", std::to_string(i));
  }
}

// CPU milliseconds of one run of `op`, the best of `rounds`.
template <class Op>
double BestMs(int rounds, const Op& op) {
  double best = 1e12;
  for (int round = 0; round < rounds; ++round) {
    const double start = CpuMs();
    op();
    best = std::min(best, CpuMs() - start);
  }
  return best;
}

}  // namespace
}  // namespace zelvo

int main() {
  using namespace zelvo;
  FakeServices env;
  const std::string path = env.dir.File(kDataFileName);
  env.dir.Write(kDataFileName, BuildFile());
  bool right = true;

  // The whole load as the program does it: read, parse, look up.
  const double load = BestMs(3, [&] {
    DataFile file(env.services);  // a fresh one, so that every load parses anew
    file.SetPath(path);
    const std::optional<EntryList> list = SnippetStore(env.services, file).LoadEntryList();
    right = right && list && static_cast<int>(list->entries.size()) == kEntries;
  });
  const double naiveLoad = BestMs(1, [&] {
    std::string bytes;
    env.files.ReadAll(path, bytes);
    right = right && LoadLookups(NaiveSections(bytes)) == kEntries;
  });

  // The lookups alone, on a parsed file.
  std::string bytes;
  env.files.ReadAll(path, bytes);
  const IniDocument doc = IniDocument::Parse(bytes);
  const NaiveSections naive(bytes);
  const double lookups = BestMs(20, [&] { right = right && LoadLookups(doc) == kEntries; });
  const double naiveLookups = BestMs(1, [&] { right = right && LoadLookups(naive) == kEntries; });
  if (!right) {
    std::printf("section_headers_200000_error: wrong entry count\n");
    return 1;
  }
  std::printf("section_headers_200000_load_ms: %.1f\n", load);
  std::printf("section_headers_200000_naive_load_ms: %.0f\n", naiveLoad);
  std::printf("section_headers_200000_load_ratio: %.1f\n", naiveLoad / load);
  std::printf("section_headers_200000_lookups_ms: %.2f\n", lookups);
  std::printf("section_headers_200000_naive_lookups_ms: %.0f\n", naiveLookups);
  std::printf("section_headers_200000_lookups_ratio: %.0f\n", naiveLookups / lookups);
  return 0;
}
