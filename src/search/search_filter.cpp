#include "search/search_filter.h"

#include <array>

#include "search/folding.h"

namespace zelvo {
namespace {

bool StartsAWord(std::string_view text, std::size_t pos) {
  return pos == 0 || !IsWordByte(text[pos - 1]);
}

bool OccursAtWordStart(std::string_view text, std::string_view part) {
  for (std::size_t pos = text.find(part); pos != std::string_view::npos;
       pos = text.find(part, pos + 1))
    if (StartsAWord(text, pos)) return true;
  return false;
}

}  // namespace

bool HoldsWord(std::string_view folded, std::string_view word) {
  if (folded.find(word) != std::string_view::npos) return true;
  if (word.empty() || word[0] != 'e') return false;
  // The "e" may be one the folding left out after "a", "o" or "u": "er"
  // still finds "Bauer", folded "baur".
  const std::string_view rest = word.substr(1);
  if (rest.empty()) return folded.find_first_of("aou") != std::string_view::npos;
  for (std::size_t pos = folded.find(rest, 1); pos != std::string_view::npos; pos = folded.find(rest, pos + 1))
    if (DropsFollowingE(folded[pos - 1])) return true;
  return false;
}

SearchQuery ParseQuery(std::string_view typed) {
  SearchQuery q;
  q.phrase = FoldForSearch(typed);  // blanks already single, none at the ends
  for (std::size_t pos = 0; pos < q.phrase.size();) {
    std::size_t end = q.phrase.find(' ', pos);
    if (end == std::string::npos) end = q.phrase.size();
    q.words.emplace_back(q.phrase, pos, end - pos);
    pos = end + 1;
  }
  return q;
}

std::optional<MatchKind> MatchEntry(const SearchIndex& index, uint32_t id,
                                    const SearchQuery& query) {
  const std::string_view name = index.FoldedName(id);
  const std::string_view text = index.FoldedText(id);
  bool allInName = true;
  for (const std::string& word : query.words) {
    if (HoldsWord(name, word)) continue;
    allInName = false;
    if (!HoldsWord(text, word)) return std::nullopt;
  }
  if (!allInName) return MatchKind::TextOnly;
  if (name.starts_with(query.phrase)) return MatchKind::NameStarts;
  if (OccursAtWordStart(name, query.phrase)) return MatchKind::NameWordStarts;
  return MatchKind::NameContains;
}

const std::vector<uint32_t>& SearchFilter::Update(std::string_view typed) {
  const SearchQuery query = ParseQuery(typed);
  if (query.words.empty()) {
    steps_.clear();
    result_ = index_->Ordered();
    return result_;
  }
  // Back to the longest earlier query this one extends (a backspace finds
  // its result ready), then narrow that down.
  while (!steps_.empty() && !query.phrase.starts_with(steps_.back().phrase)) steps_.pop_back();
  if (steps_.empty() || steps_.back().phrase != query.phrase) {
    const std::vector<uint32_t>& from = steps_.empty() ? index_->Ordered() : steps_.back().ids;
    Step next;
    next.phrase = query.phrase;
    for (uint32_t id : from) {
      if (const std::optional<MatchKind> kind = MatchEntry(*index_, id, query)) {
        next.ids.push_back(id);
        next.kinds.push_back(*kind);
      }
    }
    // Long typing sessions keep the first steps (the widest) and the latest.
    if (steps_.size() >= kMaxSteps) steps_.erase(steps_.begin() + kMaxSteps / 2);
    steps_.push_back(std::move(next));
  }

  // Best kind first; within a kind the index's order is kept.
  const Step& step = steps_.back();
  std::array<std::size_t, 5> start{};
  for (MatchKind k : step.kinds) ++start[static_cast<std::size_t>(k) + 1];
  for (std::size_t k = 1; k < start.size(); ++k) start[k] += start[k - 1];
  result_.resize(step.ids.size());
  for (std::size_t i = 0; i < step.ids.size(); ++i)
    result_[start[static_cast<std::size_t>(step.kinds[i])]++] = step.ids[i];
  return result_;
}

}  // namespace zelvo
