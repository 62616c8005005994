#include "activation/snippet_menu.h"

#include <algorithm>

#include "store/codepage.h"
#include "store/heap_blocks.h"

namespace zelvo {
namespace {

constexpr int kFixedItemIdBase = 0xF000;

SnippetMenuItem FixedItem(const char* caption, int tag, MenuItemKind kind) {
  SnippetMenuItem item;
  item.kind = kind;
  item.caption = caption;
  item.tag = tag;
  item.isDefault = tag == kMenuOpen;
  return item;
}

}  // namespace

int MenuGroupOf(std::string_view name) {
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
  // Each key is the 1252 bytes of the name, "\x03" and the number's text,
  // all in one buffer: tens of thousands of keys of their own would be as
  // many small blocks left in the heap.
  std::size_t bound = 0;
  for (const EntryListItem& e : entries) bound += e.Name.size() + 7;  // 1252 is never longer
  std::string keys;
  std::vector<uint32_t> starts, order;
  ReserveHeapFriendly(keys, bound);
  ReserveHeapFriendly(starts, entries.size() + 1);
  ReserveHeapFriendly(order, entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const EntryListItem& e = entries[i];
    starts.push_back(static_cast<uint32_t>(keys.size()));
    if (e.Name.empty() || e.Number < 1 || e.Number > kMenuLastEntryNumber) continue;
    keys += Utf8ToCp1252(e.Name);
    keys += '\x03';
    keys += std::to_string(e.Number);
    order.push_back(static_cast<uint32_t>(i));
  }
  starts.push_back(static_cast<uint32_t>(keys.size()));
  const auto key = [&](uint32_t i) { return std::string_view(keys).substr(starts[i], starts[i + 1] - starts[i]); };
  // Compared as unsigned bytes: the ordinal order of the codes.
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return key(a) < key(b); });

  SnippetMenu menu;
  menu.cascading = cascading;
  // Grouped by the 1252 byte, so letters with diacritics go to "&0-9".
  std::array<std::size_t, kMenuGroupCount> sizes{};
  for (uint32_t i : order) ++sizes[MenuGroupOf(key(i))];
  auto& flat = menu.items;
  if (!cascading) flat.reserve(order.size() + 4);
  for (int g = 0; cascading && g < kMenuGroupCount; ++g) menu.groups[g].reserve(sizes[g]);
  for (uint32_t i : order) {
    const EntryListItem& e = entries[i];
    SnippetMenuItem item;
    item.caption = e.Name;
    item.tag = e.Number;
    if (cascading)
      menu.groups[MenuGroupOf(key(i))].push_back(std::move(item));
    else
      flat.push_back(std::move(item));
  }
  std::array<bool, kMenuGroupCount> used{};
  for (int g = 0; g < kMenuGroupCount; ++g) used[g] = sizes[g] > 0;
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
