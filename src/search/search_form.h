// The search window's controller: the query, the matches it shows and the
// entry the user chooses. The Win32 view forwards its events here.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "search/search_filter.h"

namespace zelvo {

class SearchView {
 public:
  virtual ~SearchView() = default;
  // The list now holds `count` rows; the first one is selected and shown.
  virtual void ShowRows(std::size_t count) = 0;
  // The row the list has selected, -1 for none.
  virtual int SelectedRow() = 0;
  // The line below the list: the selected entry's whole name, which the
  // list may have to cut.
  virtual void ShowDetail(const std::string& text) = 0;
  virtual void Close() = 0;
};

class SearchForm {
 public:
  explicit SearchForm(std::shared_ptr<const SearchIndex> index);

  // Shows every entry, recently used first.
  void AttachView(SearchView* view);
  // The index of a reload made while the window is open: what is typed
  // now is looked up in it.
  void UseIndex(std::shared_ptr<const SearchIndex> index);
  void OnQueryChanged(const std::string& typed);
  // The list's selection moved to `row` (-1: none).
  void OnRowSelected(int row);
  // Enter: the selected row; nothing happens when there is none.
  void OnEnter();
  // A double click on a row.
  void OnRowActivated(int row);
  // Escape: closes, nothing chosen; the user goes back to the window they
  // came from.
  void OnEscape();
  // A click elsewhere (the window lost the focus): closes, nothing chosen,
  // and the focus stays where the user put it.
  void OnFocusLost();

  std::size_t RowCount() const { return rows_->size(); }
  std::string RowName(std::size_t row) const;
  // The text on one line, or "(verschlüsselt)".
  std::string RowPreview(std::size_t row) const;

  // The entry chosen with Enter or a double click.
  const std::optional<EntryListItem>& Choice() const { return choice_; }
  // After closing: the window the user came from gets the focus back.
  bool ReturnFocus() const { return returnFocus_; }

 private:
  void Choose(int row);
  // The rows of the current query, the first one selected.
  void ShowRows();

  std::shared_ptr<const SearchIndex> index_;
  SearchFilter filter_;
  std::string query_;
  const std::vector<uint32_t>* rows_;
  SearchView* view_ = nullptr;
  std::optional<EntryListItem> choice_;
  bool returnFocus_ = false;
};

}  // namespace zelvo
