#include "search/recent_use.h"

#include <algorithm>
#include <charconv>

namespace zelvo {

uint32_t RecentNameHash(std::string_view name) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (char c : name) {
    h ^= static_cast<unsigned char>(c);
    h *= 16777619u;
  }
  return h;
}

RecentUse RecentUse::Parse(std::string_view stored) {
  RecentUse r;
  std::size_t pos = 0;
  while (pos < stored.size() && r.records_.size() < kMaxRecords) {
    std::size_t end = stored.find(' ', pos);
    if (end == std::string_view::npos) end = stored.size();
    const std::string_view piece = stored.substr(pos, end - pos);
    pos = end + 1;
    const std::size_t colon = piece.find(':');
    if (colon == std::string_view::npos) continue;
    RecentRecord rec;
    const char* first = piece.data();
    const char* mid = first + colon;
    const char* last = first + piece.size();
    const auto n = std::from_chars(first, mid, rec.number);
    const auto h = std::from_chars(mid + 1, last, rec.nameHash, 16);
    if (n.ec != std::errc() || n.ptr != mid || h.ec != std::errc() || h.ptr != last ||
        rec.number < 1)
      continue;
    if (std::find(r.records_.begin(), r.records_.end(), rec) == r.records_.end())
      r.records_.push_back(rec);
  }
  return r;
}

std::string RecentUse::Serialize() const {
  std::string out;
  char hex[9];
  for (const RecentRecord& rec : records_) {
    if (!out.empty()) out += ' ';
    out += std::to_string(rec.number);
    out += ':';
    const auto end = std::to_chars(hex, hex + sizeof hex, rec.nameHash, 16).ptr;
    out.append(hex, end);
  }
  return out;
}

void RecentUse::Note(int number, std::string_view name) {
  const RecentRecord rec{number, RecentNameHash(name)};
  records_.erase(std::remove(records_.begin(), records_.end(), rec), records_.end());
  records_.insert(records_.begin(), rec);
  if (records_.size() > kMaxRecords) records_.resize(kMaxRecords);
}

}  // namespace zelvo
