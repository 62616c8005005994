// Loading the entry list from large data files: our one-read parse against
// the naive way of the profile functions (the whole file read and scanned
// again for every single value).
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "fakes/fake_services.h"
#include "store/codepage.h"
#include "store/snippet_store.h"
#include "store/text_codes.h"
#include "large_data_file.h"

namespace zelvo {
namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One value the way GetPrivateProfileString finds it: read the whole file,
// walk its lines to the section and the key.
std::optional<std::string> NaiveGet(FileSystem& fs, const std::string& path,
                                    const std::string& section, const std::string& key) {
  std::string bytes;
  if (fs.ReadAll(path, bytes) != FileError::None) return std::nullopt;
  const std::string wantSection = UpperCp1252(section), wantKey = UpperCp1252(key);
  bool inSection = false;
  for (std::size_t pos = 0; pos < bytes.size();) {
    std::size_t end = bytes.find('\n', pos);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      const std::size_t close = line.rfind(']');
      inSection = close != std::string::npos && UpperCp1252(line.substr(1, close - 1)) == wantSection;
      continue;
    }
    const std::size_t eq = line.find('=');
    if (inSection && eq != std::string::npos && UpperCp1252(Trim(line.substr(0, eq))) == wantKey)
      return Trim(line.substr(eq + 1));
  }
  return std::nullopt;
}

double NaiveLoadMs(FileSystem& fs, const std::string& path, int* reads) {
  const auto start = Clock::now();
  *reads = 0;
  std::vector<std::string> names, titles;
  for (int i = 1;; ++i) {
    ++*reads;
    const std::optional<std::string> name = NaiveGet(fs, path, "Name", std::to_string(i));
    if (!name || name->empty()) break;
    names.push_back(*name);
    ++*reads;
    const std::string title = NaiveGet(fs, path, "Title", std::to_string(i)).value_or("");
    if (!title.empty()) titles.push_back(title);
  }
  return MsSince(start);
}

void Run(int entries, bool naive) {
  FakeServices env;
  const std::string path = env.dir.File(kDataFileName);
  env.dir.Write(kDataFileName, BuildLargeDataFile(entries));
  DataFile file(env.services);
  file.SetPath(path);
  SnippetStore store(env.services, file);

  double best = 1e9;
  long reads = 0;
  for (int round = 0; round < 5; ++round) {
    const long before = file.ReadCount();
    const auto start = Clock::now();
    const std::optional<EntryList> list = store.LoadEntryList();
    best = std::min(best, MsSince(start));
    reads = file.ReadCount() - before;
    if (!list || static_cast<int>(list->entries.size()) != entries) {
      std::printf("load_entries_%d_error: wrong entry count\n", entries);
      return;
    }
  }
  std::printf("load_entries_%d_ms: %.2f\n", entries, best);
  std::printf("load_entries_%d_file_reads: %ld\n", entries, reads);
  if (!naive) {
    std::printf("load_entries_%d_naive_ms: skipped (about %d full-file reads)\n", entries,
                2 * entries + 1);
    return;
  }
  int naiveReads = 0;
  const double naiveMs = NaiveLoadMs(env.files, path, &naiveReads);
  std::printf("load_entries_%d_naive_ms: %.0f\n", entries, naiveMs);
  std::printf("load_entries_%d_naive_file_reads: %d\n", entries, naiveReads);
  std::printf("load_entries_%d_ratio: %.0f\n", entries, naiveMs / best);
}

}  // namespace
}  // namespace zelvo

int main(int argc, char** argv) {
  // "--full" also runs the naive load of 32,767 entries (several minutes).
  const bool full = argc > 1 && std::string(argv[1]) == "--full";
  zelvo::Run(1000, true);
  zelvo::Run(10000, true);
  zelvo::Run(32767, full);
  return 0;
}
