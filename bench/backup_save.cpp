// What keeping a backup adds to a save of a large data file: the same
// change saved with and without a backup of the version it replaces.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "fakes/fake_services.h"
#include "large_data_file.h"
#include "store/data_file.h"
#include "store/snippet_store.h"

namespace zelvo {
namespace {

using Clock = std::chrono::steady_clock;

// Median milliseconds of `rounds` saves of one changed value.
double MedianSaveMs(BackupKind backup, int rounds) {
  FakeServices env;
  env.dir.Write(kDataFileName, BuildLargeDataFile(32767));
  DataFile file(env.services);
  file.SetPath(env.dir.File(kDataFileName));
  std::vector<double> ms;
  for (int i = 0; i < rounds; ++i) {
    // Eleven minutes apart, so no backup falls into another's run.
    env.clock.Set(2026, 12, 7, 8 + i * 11 / 60, i * 11 % 60, 0);
    const auto start = Clock::now();
    file.Update(
        [&](IniDocument& doc) {
          doc.Set("Text", "1", "Fassung " + std::to_string(i));
          return true;
        },
        false, backup);
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

}  // namespace
}  // namespace zelvo

int main() {
  using zelvo::BackupKind;
  zelvo::MedianSaveMs(BackupKind::None, 2);  // warm the page cache
  const double alone = zelvo::MedianSaveMs(BackupKind::None, 15);
  const double withBackup = zelvo::MedianSaveMs(BackupKind::Ordinary, 15);
  std::printf("save_32767_entries_ms: %.1f\n", alone);
  std::printf("save_32767_entries_with_backup_ms: %.1f\n", withBackup);
  std::printf("backup_save_ratio: %.2f\n", withBackup / alone);
  return 0;
}
