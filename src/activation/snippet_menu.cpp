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

std::vector<uint32_t> SnippetMenuOrder(const std::vector<EntryListItem>& entries) {
  // Each key is the 1252 bytes of the name, "\x03" and the number's text,
  // all in one buffer: tens of thousands of keys of their own would be as
  // many small blocks left in the heap.
  std::size_t bound = 0;
  for (const EntryListItem& e : entries) bound += e.Name.size() + 7;  // 1252 is never longer
  std::string keys;
  std::vector<uint32_t> starts, order;
  ReserveHeapFriendly(keys, bound);
  ReserveHeapFriendly(starts, entries.size() + 1);
  order.reserve(entries.size());
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
  return order;
}

SnippetMenu BuildSnippetMenu(const std::vector<EntryListItem>& entries, bool cascading) {
  return BuildSnippetMenu(entries, cascading, SnippetMenuOrder(entries));
}

SnippetMenu BuildSnippetMenu(const std::vector<EntryListItem>& entries, bool cascading,
                             const std::vector<uint32_t>& order) {
  const auto item = [&](uint32_t i) {
    SnippetMenuItem entry;
    entry.caption = entries[i].Name;
    entry.tag = entries[i].Number;
    return entry;
  };
  SnippetMenu menu;
  menu.cascading = cascading;
  auto& flat = menu.items;
  if (!cascading) {
    ReserveHeapFriendly(flat, order.size() + 5);
    for (uint32_t i : order) flat.push_back(item(i));
  } else {
    // Grouped by the 1252 byte, so letters with diacritics go to "&0-9";
    // each group's entries keep their order and lie together.
    const auto groupOf = [&](uint32_t i) { return MenuGroupOf(Utf8ToCp1252(entries[i].Name.substr(0, 4))); };
    std::array<std::size_t, kMenuGroupCount + 1> start{};
    for (uint32_t i : order) ++start[groupOf(i) + 1];
    for (int g = 0; g < kMenuGroupCount; ++g) start[g + 1] += start[g];
    std::vector<uint32_t> grouped(order.size());
    std::array<std::size_t, kMenuGroupCount> next{};
    for (int g = 0; g < kMenuGroupCount; ++g) next[g] = start[g];
    for (uint32_t i : order) grouped[next[groupOf(i)]++] = i;
    ReserveHeapFriendly(menu.grouped, grouped.size());
    for (uint32_t i : grouped) menu.grouped.push_back(item(i));
    for (int g = 0; g < kMenuGroupCount; ++g) {
      menu.groups[g] = std::span<const SnippetMenuItem>(menu.grouped).subspan(start[g], start[g + 1] - start[g]);
      if (menu.groups[g].empty()) continue;
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
  auto find = [number](std::span<const SnippetMenuItem> items) -> const SnippetMenuItem* {
    for (const SnippetMenuItem& item : items)
      if (item.kind == MenuItemKind::Entry && item.tag == number) return &item;
    return nullptr;
  };
  if (const SnippetMenuItem* item = find(menu.items)) return item;
  for (std::span<const SnippetMenuItem> group : menu.groups)
    if (const SnippetMenuItem* item = find(group)) return item;
  return nullptr;
}

}  // namespace zelvo
