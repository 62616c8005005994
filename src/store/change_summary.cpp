#include "store/change_summary.h"

#include <map>

#include "store/snippet_store.h"

namespace zelvo {
namespace {

struct Content {
  std::string text, title;
  bool crypt;
  int dosBox;
  bool operator==(const Content&) const = default;
};

// Entries by name; of two entries with one name the first counts, as the
// snippet menu shows the first too.
std::map<std::string, Content> EntriesByName(const IniDocument& doc, std::vector<std::string>& order) {
  std::map<std::string, Content> entries;
  const int count = SnippetStore::EntryCount(doc);
  for (int n = 1; n <= count; ++n) {
    const SnippetEntry e = SnippetStore::EntryFrom(doc, n);
    if (entries.emplace(e.Name, Content{e.Text, e.Title, e.Crypt, e.DosBox}).second) order.push_back(e.Name);
  }
  return entries;
}

std::string JoinNames(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) out += (out.empty() ? "" : ", ") + n;
  return out;
}

}  // namespace

ChangeSummary SummarizeChanges(const IniDocument& from, const IniDocument& to) {
  std::vector<std::string> fromOrder, toOrder;
  const auto before = EntriesByName(from, fromOrder);
  const auto after = EntriesByName(to, toOrder);
  ChangeSummary s;
  std::vector<std::string> gone;
  for (const std::string& name : fromOrder) {
    const auto it = after.find(name);
    if (it == after.end()) gone.push_back(name);
    else if (!(it->second == before.at(name))) s.changed.push_back(name);
  }
  std::vector<bool> pairedGone(gone.size(), false);
  for (const std::string& name : toOrder) {
    if (before.count(name)) continue;
    bool renamed = false;
    for (std::size_t i = 0; i < gone.size() && !renamed; ++i)
      if (!pairedGone[i] && before.at(gone[i]) == after.at(name)) {
        pairedGone[i] = renamed = true;
        s.renamed.emplace_back(gone[i], name);
      }
    if (!renamed) s.added.push_back(name);
  }
  for (std::size_t i = 0; i < gone.size(); ++i)
    if (!pairedGone[i]) s.removed.push_back(gone[i]);
  return s;
}

std::string DescribeChanges(const ChangeSummary& s) {
  if (s.Empty()) return "Keine Änderungen an Einträgen.";
  std::string out;
  const auto line = [&](const char* label, const std::string& names) {
    if (!names.empty()) out += (out.empty() ? "" : "\r\n") + std::string(label) + names;
  };
  line("Hinzugefügt: ", JoinNames(s.added));
  line("Gelöscht: ", JoinNames(s.removed));
  line("Geändert: ", JoinNames(s.changed));
  std::vector<std::string> renames;
  for (const auto& [was, now] : s.renamed) renames.push_back(was + " → " + now);
  line("Umbenannt: ", JoinNames(renames));
  return out;
}

}  // namespace zelvo
