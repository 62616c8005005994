#include "mainwindow/editor_rtf.h"

namespace zelvo {
namespace {

std::string ColourEntry(uint32_t c) {
  return "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) + "\\blue" +
         std::to_string((c >> 16) & 0xFF) + ";";
}

std::string Header(const EditorLook& c) {
  return "{\\rtf1\\ansi\\ansicpg1252\\deff0"
         "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fnil\\fcharset2 Wingdings;}}"
         "{\\colortbl ;" +
         ColourEntry(c.text) + ColourEntry(c.returnSymbol) + ColourEntry(c.tabSymbol) + ColourEntry(c.lineFeedSymbol) +
         "}"
         "\\pard\\f0\\fs" +
         std::to_string(c.halfPoints) + "\\cf1 ";
}

const char* FormatCodes(EditorFormat f) {
  switch (f) {
    case EditorFormat::ReturnSymbol: return "\\f1\\cf2 ";
    case EditorFormat::TabSymbol: return "\\f1\\cf3 ";
    case EditorFormat::LineFeedSymbol: return "\\f1\\cf4 ";
    case EditorFormat::Text: break;
  }
  return "\\f0\\cf1 ";
}

void AppendUnicode(std::string& out, char32_t cp) {
  auto unit = [&](unsigned u) { out += "\\u" + std::to_string(static_cast<short>(u)) + "?"; };
  if (cp < 0x10000) {
    unit(cp);
  } else {
    cp -= 0x10000;
    unit(0xD800 + (cp >> 10));
    unit(0xDC00 + (cp & 0x3FF));
  }
}

}  // namespace

std::string EditorRunsToRtf(const std::vector<EditorRun>& runs, const EditorLook& look) {
  std::string out = Header(look);
  out.reserve(out.size() + runs.size() * 16);
  for (const EditorRun& run : runs) {
    out += FormatCodes(run.format);
    const std::u32string text = ToCodePoints(run.text);
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char32_t c = text[i];
      if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') {
        out += "\\par ";
        ++i;
      } else if (c == U'\\' || c == U'{' || c == U'}') {
        out += '\\';
        out += static_cast<char>(c);
      } else if (c >= 0x20 && c < 0x80) {
        out += static_cast<char>(c);
      } else if (c >= 0x20) {
        AppendUnicode(out, c);
      }  // other control characters have no picture
    }
  }
  out += "}";
  return out;
}

}  // namespace zelvo
