#include "delivery/chooser.h"

#include <algorithm>

#include "store/text_codes.h"

namespace zelvo {

namespace {

// German dictionary order as the list control has it: umlauts sort with
// their base letter, ß as "SS"; the exact spelling only breaks ties.
std::pair<std::string, std::string> SortKey(const std::string& title) {
  std::string upper = ToUpperLocale(title);
  std::string primary = upper;
  for (auto [from, to] : {std::pair{"Ä", "A"}, {"Ö", "O"}, {"Ü", "U"}, {"ß", "SS"}})
    primary = ReplaceAll(primary, from, to, false);
  return {primary, upper};
}

}  // namespace

std::vector<TargetWindow> SortedForChooser(std::vector<TargetWindow> candidates) {
  std::vector<std::pair<std::pair<std::string, std::string>, TargetWindow>> keyed;
  keyed.reserve(candidates.size());
  for (auto& c : candidates) keyed.emplace_back(SortKey(c.Title), std::move(c));
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<TargetWindow> out;
  out.reserve(keyed.size());
  for (auto& k : keyed) out.push_back(std::move(k.second));
  return out;
}

AuswahlForm::AuswahlForm(std::string loadCaption, ScreenPoint mainWindowCorner)
    : loadCaption_(std::move(loadCaption)), mainWindowCorner_(mainWindowCorner) {}

std::optional<WindowHandle> AuswahlForm::Choose(AuswahlView& view,
                                                const std::vector<TargetWindow>& candidates) {
  view_ = &view;
  view.SetCaption(loadCaption_);
  view.MoveTo({mainWindowCorner_.x + 50, mainWindowCorner_.y + 50});
  view.SetTopmost(true);

  lines_ = SortedForChooser(candidates);
  std::vector<std::string> titles;
  for (const auto& l : lines_) titles.push_back(l.Title);
  view.SetLines(titles);
  if (!lines_.empty()) view.SelectLine(0);
  view.SetCaption("Auswahl - Zelvoscript");
  chosen_.reset();
  view.ShowModal();
  Unload();  // the view may have ended without an event
  return chosen_;
}

void AuswahlForm::SelectionOK() {
  if (!view_) return;
  int line = view_->SelectedLine();
  if (line < 0 || line >= static_cast<int>(lines_.size())) return;  // nothing selected
  chosen_ = lines_[line].Handle;
  Unload();
}

void AuswahlForm::Unload() {
  if (!view_) return;
  AuswahlView* view = view_;
  view_ = nullptr;
  view->SetTopmost(false);
  view->Close();
}

}  // namespace zelvo
