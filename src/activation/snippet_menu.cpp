#include "activation/snippet_menu.h"

#include <algorithm>

#include "store/codepage.h"

namespace zelvo {
namespace {

constexpr int kFixedItemIdBase = 0xF000;

struct SortKey {
  std::string key;  // 1252 bytes of the name, "\x03", number text
  int entry = 0;  // index into the entry list
};

SnippetMenuItem FixedItem(const char* caption, int tag, MenuItemKind kind) {
  SnippetMenuItem item;
  item.kind = kind;
  item.caption = caption;
  item.tag = tag;
  item.isDefault = tag == kMenuOpen;
  return item;
}

}  // namespace

int MenuGroupOf(const std::string& name) {
  if (name.empty()) return 0;
  const unsigned char c = static_cast<unsigned char>(name[0]);
  if (c >= 'A' && c <= 'Z') return c - 'A' + 1;
  if (c >= 'a' && c <= 'z') return c - 'a' + 1;
  return 0;
}

std::string MenuGroupCaption(int group) {
  if (group <= 0) return "&0-9";
  return std::string("&") + static_cast<char>('A' + group - 1);
}

SnippetMenu BuildSnippetMenu(const std::vector<EntryListItem>& entries, bool cascading) {
  std::vector<SortKey> keys;
  keys.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const EntryListItem& e = entries[i];
    if (e.Name.empty() || e.Number < 1 || e.Number > kMenuLastEntryNumber) continue;
    SortKey k;
    k.key = Utf8ToCp1252(e.Name);
    k.key += '\x03';
    k.key += std::to_string(e.Number);
    k.entry = static_cast<int>(i);
    keys.push_back(std::move(k));
  }
  // std::string compares as unsigned bytes: the ordinal order of the codes.
  std::sort(keys.begin(), keys.end(),
            [](const SortKey& a, const SortKey& b) { return a.key < b.key; });

  SnippetMenu menu;
  menu.cascading = cascading;
  std::array<bool, kMenuGroupCount> used{};
  auto& flat = menu.items;
  if (!cascading) flat.reserve(keys.size() + 4);
  for (const SortKey& k : keys) {
    const EntryListItem& e = entries[k.entry];
    SnippetMenuItem item;
    item.caption = e.Name;
    item.tag = e.Number;
    if (!cascading) {
      flat.push_back(std::move(item));
      continue;
    }
    // Grouped by the 1252 byte, so letters with diacritics go to "&0-9".
    const int g = MenuGroupOf(k.key);
    used[g] = true;
    menu.groups[g].push_back(std::move(item));
  }
  if (cascading) {
    for (int g = 0; g < kMenuGroupCount; ++g) {
      if (!used[g]) continue;
      SnippetMenuItem header;
      header.kind = MenuItemKind::GroupHeader;
      header.caption = MenuGroupCaption(g);
      header.group = g;
      flat.push_back(std::move(header));
    }
  }
  flat.push_back(FixedItem("-", kMenuSeparator, MenuItemKind::Separator));
  // Above "&Öffnen": the entries keep their places from the top and the
  // other fixed items theirs from the bottom, so known key presses still work.
  flat.push_back(FixedItem("&Suchen \xE2\x80\xA6", kMenuSearch, MenuItemKind::Command));
  flat.push_back(FixedItem("&\xC3\x96" "ffnen", kMenuOpen, MenuItemKind::Command));
  flat.push_back(FixedItem("&Beenden", kMenuEnd, MenuItemKind::Command));
  flat.push_back(FixedItem("&Abbrechen", kMenuCancel, MenuItemKind::Command));
  return menu;
}

int MenuCommandId(int tag) {
  if (tag > 0 && tag <= kMenuLastEntryNumber) return tag;
  if (tag < 0) return kFixedItemIdBase - tag;
  return 0;
}

int MenuTagFromCommandId(int id) {
  if (id > 0 && id <= kMenuLastEntryNumber) return id;
  if (id > kFixedItemIdBase && id <= kFixedItemIdBase - kMenuLowestCode) return kFixedItemIdBase - id;
  return 0;
}

const SnippetMenuItem* FindMenuEntry(const SnippetMenu& menu, int number) {
  auto find = [number](const std::vector<SnippetMenuItem>& items) -> const SnippetMenuItem* {
    for (const SnippetMenuItem& item : items)
      if (item.kind == MenuItemKind::Entry && item.tag == number) return &item;
    return nullptr;
  };
  if (const SnippetMenuItem* item = find(menu.items)) return item;
  for (const std::vector<SnippetMenuItem>& group : menu.groups)
    if (const SnippetMenuItem* item = find(group)) return item;
  return nullptr;
}

}  // namespace zelvo
