// The editor's runs as one RTF document, so a rich-text control can show a
// whole snippet in a single step.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mainwindow/editor_text.h"

namespace zelvo {

// How the editor shows a text: colours as 0x00BBGGRR, and the size in half
// points (10 pt, scaled where the window's DPI is not the one the control
// measures points with).
struct EditorLook {
  uint32_t text = 0x000000, returnSymbol = 0x0000FF, tabSymbol = 0xFF0000, lineFeedSymbol = 0x808080;
  int halfPoints = 20;
};

// Arial 10 pt black for text, Wingdings light red for ReturnSymbol, light
// blue for TabSymbol and grey for the line feed's symbol (or the given look:
// a high-contrast theme's colours, a size for another scale); the CR LF after
// a symbol is a paragraph end. Symbols go by their code points (U+F0xx),
// which the control keeps, so they never mix with the letters of the same
// byte.
std::string EditorRunsToRtf(const std::vector<EditorRun>& runs, const EditorLook& look = {});

}  // namespace zelvo
