#include "search/quick_search.h"

namespace zelvo {

QuickSearch::QuickSearch(AppSettings& settings)
    : settings_(settings), recent_(RecentUse::Parse(settings.Get(kKeyRecentUse, ""))) {}

void QuickSearch::Rebuild(const IniDocument& doc, const EntryList& list) {
  auto index = std::make_shared<SearchIndex>(SearchIndex::FromFile(doc, list));
  index->ApplyRecentUse(recent_);
  index_ = std::move(index);
}

void QuickSearch::NoteUse(int number, const std::string& name) {
  recent_.Note(number, name);
  // Losing the order of recent use is no reason to bother the user.
  settings_.Save(kKeyRecentUse, recent_.Serialize());
  if (index_.use_count() == 1) {
    index_->ApplyRecentUse(recent_);
  } else {
    auto index = std::make_shared<SearchIndex>(*index_);
    index->ApplyRecentUse(recent_);
    index_ = std::move(index);
  }
}

}  // namespace zelvo
