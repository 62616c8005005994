// The editor's runs as one RTF document, so a rich-text control can show a
// whole snippet in a single step.
#pragma once

#include <string>
#include <vector>

#include "mainwindow/editor_text.h"

namespace zelvo {

// Arial 10 pt black for text, Wingdings light red for ReturnSymbol, light
// blue for TabSymbol and grey for the line feed's symbol; the CR LF after a
// symbol is a paragraph end. Symbols go by their code points (U+F0xx), which
// the control keeps, so they never mix with the letters of the same byte.
std::string EditorRunsToRtf(const std::vector<EditorRun>& runs);

}  // namespace zelvo
