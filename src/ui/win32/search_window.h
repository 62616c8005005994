// The search window on screen: a small topmost tool window at the mouse
// pointer with an edit box over a virtual list of matches and, below it,
// the selected entry's whole name. It runs its own message loop until it
// closes, as the popup menu does, so the activation that opened it
// continues with the choice.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/win32/display.h"
#include "search/search_form.h"

namespace zelvo {

class SearchWindow : public SearchView {
 public:
  SearchWindow(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {}
  ~SearchWindow() override;
  SearchWindow(const SearchWindow&) = delete;
  SearchWindow& operator=(const SearchWindow&) = delete;

  // Returns when the window has closed: the chosen entry, or nothing.
  // `caption` makes it one of the program's own windows, never a target;
  // `cameFrom` is the window the user worked in (may be null); `whenShown`
  // runs once the window is on screen, before it takes any input.
  std::optional<EntryListItem> Run(SearchForm& form, const std::string& caption, HWND cameFrom,
                                   const std::function<void()>& whenShown);

  // SearchView
  void ShowRows(std::size_t count) override;
  int SelectedRow() override;
  void ShowDetail(const std::string& text) override;
  void Close() override { done_ = true; }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  bool Create(const std::string& caption);
  // Keys and the wheel in the edit box that belong to the list, Enter and
  // Escape anywhere; true when used.
  bool PreTranslate(MSG& msg);
  LRESULT OnNotify(NMHDR* header);
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
  void OnQueryEdited();

  HINSTANCE instance_;
  HWND owner_;
  SearchForm* form_ = nullptr;
  HWND hwnd_ = nullptr, edit_ = nullptr, list_ = nullptr, detail_ = nullptr;
  FontHandle font_;
  bool done_ = false;
  std::function<void()> whenShown_;
};

}  // namespace zelvo
