// Which entries this PC used last, most recent first, kept per user.
//
// An entry number is only an address that another PC may move (deleting an
// entry renumbers the ones after it), so each record also carries a hash of
// the entry's name: a record counts only for an entry of that name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelvo {

struct RecentRecord {
  int number = 0;
  uint32_t nameHash = 0;
  bool operator==(const RecentRecord&) const = default;
};

uint32_t RecentNameHash(std::string_view name);

class RecentUse {
 public:
  // Enough for what one person uses; older records fall off the end.
  static constexpr std::size_t kMaxRecords = 300;

  // "17:1a2b3c4d 5:..." as stored; malformed pieces are skipped.
  static RecentUse Parse(std::string_view stored);
  std::string Serialize() const;

  // Puts the entry first, dropping an older record of it.
  void Note(int number, std::string_view name);
  const std::vector<RecentRecord>& Records() const { return records_; }

 private:
  std::vector<RecentRecord> records_;
};

// Per-user key of the settings store.
inline constexpr const char* kKeyRecentUse = "RecentUse";

}  // namespace zelvo
