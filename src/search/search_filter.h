// Matching and ranking what the user types against the search index,
// incrementally: each keystroke that extends the query only narrows the
// matches of the shorter query.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/search_index.h"

namespace zelvo {

struct SearchQuery {
  std::vector<std::string> words;  // folded, in the order typed
  std::string phrase;              // the words joined by one blank
};
SearchQuery ParseQuery(std::string_view typed);

// Whether folded text holds a folded word of a query.
bool HoldsWord(std::string_view folded, std::string_view word);

// How well an entry matches, best first.
enum class MatchKind : uint8_t { NameStarts, NameWordStarts, NameContains, TextOnly };

// Empty when a word of the query occurs neither in the name nor in the text.
// Multi-word queries rank by the phrase as typed; a name holding every word
// in another order counts as containing it.
std::optional<MatchKind> MatchEntry(const SearchIndex& index, uint32_t id,
                                    const SearchQuery& query);

class SearchFilter {
 public:
  explicit SearchFilter(const SearchIndex& index) : index_(&index) {}

  // The ids of the entries matching `typed`, best match first, ties in the
  // index's order (recently used, then alphabetical). An empty query lists
  // every entry in that order.
  const std::vector<uint32_t>& Update(std::string_view typed);

 private:
  // The matches of one query, in the index's order. Each step's phrase
  // extends the one before, so its matches are a subset of the step before.
  struct Step {
    std::string phrase;
    std::vector<uint32_t> ids;
    std::vector<MatchKind> kinds;
  };
  static constexpr std::size_t kMaxSteps = 32;

  const SearchIndex* index_;
  std::vector<Step> steps_;
  std::vector<uint32_t> result_;
};

}  // namespace zelvo
