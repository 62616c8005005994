// A data file of many entries as an office might have, for benchmarks.
#pragma once

#include <string>

#include "store/ini_document.h"

namespace zelvo {

inline std::string BuildLargeDataFile(int entries) {
  IniDocument doc;
  for (int i = 1; i <= entries; ++i) {
    const std::string k = std::to_string(i);
    doc.Set("Name", k, "Textbaustein Nr. " + k);
    doc.Set("Crypt", k, "0");
    doc.Set("Text", k, "Sehr geehrte Damen und Herren,\\N\\Nvielen Dank für Ihre Nachricht Nr. " + k + ".");
    doc.Set("Title", k, i % 10 == 0 ? "Editor" : "");
    doc.Set("DosBox", k, "0");
  }
  doc.Set("Common", "HK", "1029");
  return doc.Serialize();
}

}  // namespace zelvo
