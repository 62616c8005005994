// The editor's runs as one RTF document, so a rich-text control can show a
// whole snippet in a single step.
#pragma once

#include <string>
#include <vector>

#include "mainwindow/editor_text.h"

namespace zelvo {

// Arial 10 pt black for text, Wingdings light red for ReturnSymbol and light
// blue for TabSymbol; the CR LF after a symbol is a paragraph end, any other
// line break a line break inside the paragraph.
std::string EditorRunsToRtf(const std::vector<EditorRun>& runs);

}  // namespace zelvo
