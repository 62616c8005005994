// What turning one version of the data file into another changes, by entry
// name: what restoring a backup would do, or what another PC just did.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "store/ini_document.h"

namespace zelvo {

struct ChangeSummary {
  std::vector<std::string> added, removed, changed;
  std::vector<std::pair<std::string, std::string>> renamed;  // old name, new name
  bool Empty() const { return added.empty() && removed.empty() && changed.empty() && renamed.empty(); }
  bool operator==(const ChangeSummary&) const = default;
};

// Entries are matched by name; an entry that vanished under one name and
// appeared under another with the same content counts as renamed. Texts
// are compared deciphered, since each save enciphers afresh.
ChangeSummary SummarizeChanges(const IniDocument& from, const IniDocument& to);

// German lines for the dialog ("Hinzugefügt: A, B"), one per kind of change;
// "Keine Änderungen an Einträgen." when there are none.
std::string DescribeChanges(const ChangeSummary& summary);

}  // namespace zelvo
