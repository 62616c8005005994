#include "search/search_form.h"

namespace zelvo {

SearchForm::SearchForm(std::shared_ptr<const SearchIndex> index)
    : index_(std::move(index)),
      filter_(*index_),
      rows_(&filter_.Update("")) {}

void SearchForm::AttachView(SearchView* view) {
  view_ = view;
  ShowRows();
}

void SearchForm::ShowRows() {
  if (!view_) return;
  view_->ShowRows(RowCount());
  OnRowSelected(RowCount() > 0 ? 0 : -1);
}

void SearchForm::OnRowSelected(int row) {
  if (view_) view_->ShowDetail(row >= 0 ? RowName(static_cast<std::size_t>(row)) : std::string());
}

void SearchForm::UseIndex(std::shared_ptr<const SearchIndex> index) {
  if (!index || index == index_) return;
  index_ = std::move(index);
  filter_ = SearchFilter(*index_);
  OnQueryChanged(query_);
}

void SearchForm::OnQueryChanged(const std::string& typed) {
  query_ = typed;
  rows_ = &filter_.Update(typed);
  ShowRows();
}

void SearchForm::OnEnter() {
  if (view_) Choose(view_->SelectedRow());
}

void SearchForm::OnRowActivated(int row) { Choose(row); }

void SearchForm::OnEscape() {
  choice_.reset();
  returnFocus_ = true;
  if (view_) view_->Close();
}

void SearchForm::OnFocusLost() {
  choice_.reset();
  returnFocus_ = false;
  if (view_) view_->Close();
}

void SearchForm::Choose(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= RowCount()) return;
  const uint32_t id = (*rows_)[row];
  choice_ = EntryListItem{index_->Name(id), index_->Number(id)};
  if (view_) view_->Close();
}

std::string SearchForm::RowName(std::size_t row) const {
  return row < RowCount() ? index_->Name((*rows_)[row]) : std::string();
}

std::string SearchForm::RowPreview(std::size_t row) const {
  if (row >= RowCount()) return {};
  const uint32_t id = (*rows_)[row];
  if (index_->Enciphered(id)) return kEncipheredPreview;
  return index_->Preview(id);
}

}  // namespace zelvo
