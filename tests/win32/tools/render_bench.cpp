// Times showing long snippet texts in the editor control: one formatted
// piece per character, as the editor once did, against the one-go RTF
// rendering the program uses. Prints `name: value` lines.
//   render_bench [naive sizes...] -- [sizes...]
#include <windows.h>

#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "mainwindow/editor_text.h"
#include "platform/win32/wide.h"
#include "store/text_codes.h"
#include "ui/win32/rich_editor.h"

using namespace zelvo;

namespace {

// Editor form: lines of text with umlauts, a tab symbol inside and a return
// symbol at the end, so the format changes on every line.
std::string SampleText(size_t chars) {
  std::u32string out;
  const std::u32string words = U"Sehr geehrte Damen und Herren, f\u00fcr R\u00fcckfragen {stehen} wir ";
  size_t i = 0;
  while (out.size() < chars) {
    out += words[i % words.size()];
    ++i;
    if (i % 37 == 0) out += std::u32string{kTabSymbolChar, U'\r', U'\n'};
    if (i % 61 == 0) out += std::u32string{kReturnSymbolChar, U'\r', U'\n'};
  }
  return FromCodePoints(out);
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

double Now() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

// The old way: append one piece per character at the end, each with its own
// format, letting messages run every 256 characters.
void RenderPieceByPiece(RichEditor& editor, const std::string& editorText) {
  const std::u32string text = ToCodePoints(ReplaceAll(editorText, "\r\n", "", false));
  HWND h = editor.hwnd();
  const int caret = editor.SelStart();
  SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  EditorFormat previous = EditorFormat::Text;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((i + 1) % 256 == 0) Pump();
    std::string piece = FromCodePoints(text.substr(i, 1));
    EditorFormat format = EditorFormat::Text;
    if (piece == kReturnSymbol || piece == kTabSymbol) {
      format = piece == kReturnSymbol ? EditorFormat::ReturnSymbol : EditorFormat::TabSymbol;
      piece += "\r\n";
    } else if (text[i] < 0x20) {
      format = previous;
    }
    previous = format;
    const LRESULT end = SendMessageW(h, WM_GETTEXTLENGTH, 0, 0);
    SendMessageW(h, EM_SETSEL, end, end);
    editor.SetInsertFormat(format);
    SendMessageW(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Widen(piece).c_str()));
  }
  editor.SetSelection(caret, 0);
}

// Both ways start with the caret at the top, as after showing an entry.
template <typename F>
double TimeIt(RichEditor& editor, F render) {
  editor.SetSelection(0, 0);
  Pump();
  HWND window = editor.hwnd();
  const double start = Now();
  render();
  UpdateWindow(window);  // shown, not only stored
  Pump();
  return Now() - start;
}

// The median and the best of several runs. On a shared machine other work
// only ever adds time, so the best run is the truest figure of the cost; the
// median shows what a user typically sees.
struct Timing {
  double median, best;
};

Timing Measure(int runs, const std::function<double()>& once) {
  std::vector<double> v;
  for (int r = 0; r < runs; ++r) v.push_back(once());
  std::sort(v.begin(), v.end());
  return {v[v.size() / 2], v.front()};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<size_t> naiveSizes, sizes;
  bool afterSeparator = false;
  for (int i = 1; i < argc; ++i) {
    if (wcscmp(argv[i], L"--") == 0) afterSeparator = true;
    else (afterSeparator ? sizes : naiveSizes).push_back(wcstoul(argv[i], nullptr, 10));
  }
  LoadLibraryW(L"msftedit.dll");
  HWND window = CreateWindowExW(0, L"STATIC", L"render_bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 640,
                                480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  RichEditor editor;
  editor.Create(window, 1, GetModuleHandleW(nullptr));
  MoveWindow(editor.hwnd(), 0, 0, 620, 440, TRUE);
  Pump();
  auto oneGo = [&](const std::string& text) {
    return TimeIt(editor, [&] { editor.Render(BuildEditorRuns(text)); });
  };
  oneGo(SampleText(2000));  // warm-up: fonts, the control's first layout

  for (size_t n : naiveSizes) {
    const std::string text = SampleText(n);
    const Timing naive =
        Measure(5, [&] { return TimeIt(editor, [&] { RenderPieceByPiece(editor, text); }); });
    const std::string naiveResult = EditorPictureToText(editor.Picture());
    const Timing ours = Measure(15, [&] { return oneGo(text); });
    std::printf("render_piecewise_%zu_ms: %.1f (best %.1f)\n", n, naive.median, naive.best);
    std::printf("render_onego_%zu_ms: %.2f (best %.2f)\n", n, ours.median, ours.best);
    std::printf("render_ratio_%zu: %.1f (best to best %.1f)\n", n, naive.median / ours.median,
                naive.best / ours.best);
    std::printf("render_same_text_%zu: %d\n", n, naiveResult == EditorPictureToText(editor.Picture()) ? 1 : 0);
  }
  for (size_t n : sizes) {
    const std::string text = SampleText(n);
    const Timing t = Measure(n > 10000 ? 3 : 7, [&] { return oneGo(text); });
    std::printf("render_onego_%zu_ms: %.2f (best %.2f)\n", n, t.median, t.best);
  }
  std::fflush(stdout);
  DestroyWindow(window);
  return 0;
}
