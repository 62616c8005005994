// The quick search's state for the whole program: the index of the data
// file as last loaded and this PC's recent use, kept in the per-user store.
#pragma once

#include <memory>
#include <string>

#include "platform/app_settings.h"
#include "search/recent_use.h"
#include "search/search_index.h"

namespace zelvo {

class QuickSearch {
 public:
  // Reads the recent use stored for this user.
  explicit QuickSearch(AppSettings& settings);

  // After a reload that found the file changed.
  void Rebuild(const IniDocument& doc, const EntryList& list);
  // The entry was chosen for delivery: it goes first among the recently
  // used, here and in the per-user store.
  void NoteUse(int number, const std::string& name);

  // Shared, so that a search window keeps the index it opened with even if
  // a reload replaces it meanwhile.
  std::shared_ptr<const SearchIndex> Index() const { return index_; }
  const RecentUse& Recent() const { return recent_; }

 private:
  AppSettings& settings_;
  RecentUse recent_;
  std::shared_ptr<SearchIndex> index_ = std::make_shared<SearchIndex>();
};

}  // namespace zelvo
