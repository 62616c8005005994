// The snippet menu built from a hostile entry list: empty names, numbers
// outside the menu's range, duplicates, names with "&", control characters
// and characters 1252 lacks. Input: the list.
//
// Properties: every valid entry (a name, a number 1..32767) is in the menu
// exactly once, in the ordinal order of its 1252 name and number text, in
// the group of its first letter; the fixed items close the top level, from
// a separator to "&Öffnen" (the one default item), "&Beenden", "&Abbrechen"; every item's command identifier leads back to its
// tag.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <set>

#include "activation/snippet_menu.h"
#include "fuzz_support.h"

using namespace zelvo;
using namespace zelvo::fuzz;

namespace {

std::string SortKey(const SnippetMenuItem& item) {
  return Utf8ToCp1252(item.caption) + '\x03' + std::to_string(item.tag);
}

// Ordinal order of the codes, as unsigned bytes.
bool InOrder(std::span<const SnippetMenuItem> items) {
  for (std::size_t i = 1; i < items.size(); ++i) {
    const std::string a = SortKey(items[i - 1]), b = SortKey(items[i]);
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), [](char x, char y) {
          return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        }))
      return false;
  }
  return true;
}

void CheckIds(const SnippetMenuItem& item) {
  if (item.kind == MenuItemKind::GroupHeader) return;
  const int id = MenuCommandId(item.tag);
  FUZZ_CHECK(id != 0);
  FUZZ_CHECK_EQ(MenuTagFromCommandId(id), item.tag, "command identifier of " + item.caption);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider fdp(data, size);
  const bool cascading = fdp.ConsumeBool();
  std::vector<EntryListItem> entries;
  std::multiset<std::pair<std::string, int>> valid;
  while (fdp.remaining_bytes() > 0 && entries.size() < 300) {
    EntryListItem e;
    e.Number = fdp.ConsumeBool() ? fdp.ConsumeIntegralInRange(1, 40) : fdp.ConsumeIntegral<int>();
    e.Name = TextFrom(fdp.ConsumeRandomLengthString(20));
    if (!e.Name.empty() && e.Number >= 1 && e.Number <= kMenuLastEntryNumber) valid.insert({e.Name, e.Number});
    entries.push_back(e);
  }

  const SnippetMenu menu = BuildSnippetMenu(entries, cascading);
  const auto& items = menu.items;
  const auto fixed = std::find_if(items.begin(), items.end(),
                                  [](const auto& i) { return i.kind == MenuItemKind::Separator; });
  FUZZ_CHECK(items.end() - fixed >= 4 && fixed->tag == kMenuSeparator);
  for (auto it = fixed + 1; it != items.end(); ++it) FUZZ_CHECK(it->kind == MenuItemKind::Command && it->tag < 0);
  const auto last = items.end() - 3;
  FUZZ_CHECK(last[0].tag == kMenuOpen && last[0].isDefault);
  FUZZ_CHECK(last[1].tag == kMenuEnd && last[2].tag == kMenuCancel);
  FUZZ_CHECK_EQ(std::count_if(items.begin(), items.end(), [](const auto& i) { return i.isDefault; }), 1,
                "default items");
  for (const SnippetMenuItem& item : items) CheckIds(item);

  std::multiset<std::pair<std::string, int>> shown;
  if (!cascading) {
    const std::vector<SnippetMenuItem> listed(items.begin(), fixed);
    FUZZ_CHECK(InOrder(listed));
    for (const SnippetMenuItem& item : listed) {
      FUZZ_CHECK(item.kind == MenuItemKind::Entry);
      shown.insert({item.caption, item.tag});
    }
  } else {
    int lastGroup = -1;
    const auto used = std::count_if(menu.groups.begin(), menu.groups.end(), [](const auto& g) { return !g.empty(); });
    FUZZ_CHECK(fixed - items.begin() == used);
    for (auto it = items.begin(); it != fixed; ++it) {
      FUZZ_CHECK(it->kind == MenuItemKind::GroupHeader && it->group > lastGroup && it->group < kMenuGroupCount);
      FUZZ_CHECK_EQ(it->caption, MenuGroupCaption(it->group), "group header");
      FUZZ_CHECK(!menu.groups[it->group].empty());
      lastGroup = it->group;
    }
    for (int g = 0; g < kMenuGroupCount; ++g) {
      FUZZ_CHECK(InOrder(menu.groups[g]));
      for (const SnippetMenuItem& item : menu.groups[g]) {
        FUZZ_CHECK_EQ(MenuGroupOf(Utf8ToCp1252(item.caption)), g, "group of " + item.caption);
        CheckIds(item);
        shown.insert({item.caption, item.tag});
      }
    }
  }
  FUZZ_CHECK(shown == valid);
  return 0;
}
