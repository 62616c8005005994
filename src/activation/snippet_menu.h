// The snippet popup menu as a model: built from the entry list each time it
// is shown, flat or grouped by initial letter, then five fixed items.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/snippet_store.h"

namespace zelvo {

// Tags of the fixed items; entries carry their number (1..32767), group
// headers 0.
inline constexpr int kMenuSeparator = -1;
inline constexpr int kMenuOpen = -2;    // "&Öffnen": shows the main window
inline constexpr int kMenuEnd = -3;     // "&Beenden": ends the program
inline constexpr int kMenuCancel = -4;  // "&Abbrechen"
inline constexpr int kMenuSearch = -5;  // "&Suchen …": opens the search window
inline constexpr int kMenuLowestCode = kMenuSearch;
// The menu carries entry numbers as 16-bit values.
inline constexpr int kMenuLastEntryNumber = 32767;

enum class MenuItemKind { Entry, GroupHeader, Separator, Command };

struct SnippetMenuItem {
  MenuItemKind kind = MenuItemKind::Entry;
  std::string caption;  // UTF-8; "&" marks the access key
  int tag = 0;
  int group = -1;  // group headers: index into SnippetMenu::groups
  bool isDefault = false;
};

inline constexpr int kMenuGroupCount = 27;  // "&0-9", "&A" ... "&Z"

// Made for one showing: the entries' items lie in one block, which goes
// back to the system with the menu (store/heap_blocks.h). Moves, never
// copies, since the groups point into that block.
struct SnippetMenu {
  SnippetMenu() = default;
  SnippetMenu(SnippetMenu&&) = default;
  SnippetMenu& operator=(SnippetMenu&&) = default;
  SnippetMenu(const SnippetMenu&) = delete;
  SnippetMenu& operator=(const SnippetMenu&) = delete;

  bool cascading = false;
  std::vector<SnippetMenuItem> items;  // the level that pops up
  // Cascading mode: the entries of each group, in sort order.
  std::array<std::span<const SnippetMenuItem>, kMenuGroupCount> groups;
  std::vector<SnippetMenuItem> grouped;  // what the groups point into
};

// Indices of the entries the menu shows, sorted by the Windows-1252 bytes of
// name + "\x03" + decimal number, as an ordinal compare: upper case before
// lower case before accented letters, a prefix before its extensions, equal
// names by number text ("12" before "3"). The costly part of a menu, kept
// while the list is unchanged.
std::vector<uint32_t> SnippetMenuOrder(const std::vector<EntryListItem>& entries);
SnippetMenu BuildSnippetMenu(const std::vector<EntryListItem>& entries, bool cascading,
                             const std::vector<uint32_t>& order);
SnippetMenu BuildSnippetMenu(const std::vector<EntryListItem>& entries, bool cascading);

// The entry item with that number, or null.
const SnippetMenuItem* FindMenuEntry(const SnippetMenu& menu, int number);

// 0 for names not starting with an ASCII letter, 1..26 for "A".."Z" either case.
int MenuGroupOf(std::string_view name);
std::string MenuGroupCaption(int group);

// Menu item identifiers for the window system: entries keep their number,
// fixed items lie above the entry range. 0 means "nothing chosen".
int MenuCommandId(int tag);
int MenuTagFromCommandId(int id);

}  // namespace zelvo
