// The rich-text control of the snippet editor, as a recorder.
#pragma once

#include <string>
#include <vector>

#include "mainwindow/snippet_editor.h"

namespace zelvo {

// Records what the editor asked the rich-text control for. Its picture is
// whatever the test says the control shows: what a real control makes of
// the runs it is given is tested under Wine, never modelled here.
class RecordingEditorSurface : public EditorSurface {
 public:
  struct Replacement {
    int start, length;
    std::vector<EditorRun> runs;
    friend bool operator==(const Replacement&, const Replacement&) = default;
  };
  std::u32string picture;
  int selStart = 0, selLength = 0;
  std::string clipboard;
  std::vector<std::vector<EditorRun>> renders;
  std::vector<Replacement> replacements;
  std::vector<EditorFormat> insertFormats;

  // The editor-form text of the last runs shown in one go.
  std::string RenderedText() const {
    std::string out;
    if (!renders.empty())
      for (const EditorRun& run : renders.back()) out += run.text;
    return out;
  }

  std::u32string Picture() override { return picture; }
  int SelStart() override { return selStart; }
  int SelLength() override { return selLength; }
  void SetSelection(int start, int length) override {
    selStart = start;
    selLength = length;
  }
  void Render(const std::vector<EditorRun>& runs) override { renders.push_back(runs); }
  void Replace(int start, int length, const std::vector<EditorRun>& runs) override {
    replacements.push_back({start, length, runs});
  }
  void SetInsertFormat(EditorFormat format) override { insertFormats.push_back(format); }
  std::string ClipboardText() override { return clipboard; }
  void SetClipboardText(const std::string& text) override { clipboard = text; }
};

}  // namespace zelvo
