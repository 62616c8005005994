// Heap the program keeps for a large data file, natively: the whole program
// (the list of the main window, the quick search, the snippet menu) against
// the empty program, and what each part of a reload holds. The Wine figure
// (tests/wine/bench_search.py) adds the controls' own copies.
#include <malloc.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "activation/activation.h"
#include "activation/snippet_menu.h"
#include "fakes/fake_main_form_view.h"
#include "fakes/fake_services.h"
#include "mainwindow/main_form.h"
#include "mainwindow/program.h"
#include "search/search_index.h"
#include "store/snippet_store.h"
#include "large_data_file.h"

namespace zelvo {
namespace {

constexpr int kEntries = 32767;

// Blocks from the heap and those mapped from the system for large requests.
long HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long>(info.uordblks + info.hblkhd);
}

// The program with its main window's controller and the snippet menu.
class Pc : public ActivationTarget {
 public:
  Pc(const std::string& path, FakeServices& services) : env(services) {
    program.dataFile().SetPath(path);
    host.form = &form;
    program.ReloadAll();
  }
  void ShowMenu() { activation.HandleActivation(kActivateMenu); }

  bool IsNTPlatform() override { return true; }
  void CaptureLastUsedWindow() override {}
  void BringMainWindowToForeground() override {}
  void ReloadAll() override { program.ReloadAll(); }
  const std::vector<EntryListItem>& MenuEntries() override { return program.entryList().entries; }
  bool MenuCascading() override { return true; }
  int PopupSnippetMenu(const SnippetMenu&) override { return 0; }
  bool SearchWindowInsteadOfMenu() override { return false; }
  std::optional<EntryListItem> PopupSearchWindow(const std::function<void()>&) override {
    return std::nullopt;
  }
  void DeliverEntry(int, const std::string&) override {}
  bool IsMainWindowVisible() override { return false; }
  void ShowMainWindow(bool) override {}
  void HideMainWindow() override {}
  void ReleaseLock() override {}
  void EndProgram() override {}

  FakeServices& env;
  FormHost host;
  Program program{env.services, host};
  FakeMainFormView view;
  MainForm form{program, view};
  Activation activation{*this};
};

// Heap held by what `make` returns, while it lives.
template <class Make>
long Held(Make make) {
  const long before = HeapInUse();
  auto kept = make();
  return HeapInUse() - before;
}

void Print(const char* name, long bytes, double fileBytes) {
  std::printf("memory_%s_%d_kb: %ld\n", name, kEntries, bytes / 1024);
  std::printf("memory_%s_%d_per_file_size: %.2f\n", name, kEntries, bytes / fileBytes);
}

}  // namespace
}  // namespace zelvo

int main() {
  using namespace zelvo;
  FakeServices env;
  env.dir.Write("leer.ini", "[Common]\r\nHK=1029\r\n");
  env.dir.Write("voll.ini", BuildLargeDataFile(kEntries));
  const std::string bytes = env.dir.Read("voll.ini");
  const double fileBytes = static_cast<double>(bytes.size());
  std::printf("data_file_%d_kb: %zu\n", kEntries, bytes.size() / 1024);

  const long emptyProgram = Held([&] { return std::make_unique<Pc>(env.dir.File("leer.ini"), env); });
  const long fullProgram = Held([&] {
    auto pc = std::make_unique<Pc>(env.dir.File("voll.ini"), env);
    pc->ShowMenu();
    return pc;
  });
  Print("program_above_empty", fullProgram - emptyProgram, fileBytes);

  // The parts, each alone.
  DataFile file(env.services);
  file.SetPath(env.dir.File("voll.ini"));
  Print("parsed_file", Held([&] { return file.Read(); }), fileBytes);
  const IniDocument doc = *file.Read();
  const EntryList list = SnippetStore::EntryListFrom(doc);
  Print("entry_list", Held([&] { return SnippetStore::EntryListFrom(doc); }), fileBytes);
  Print("search_index", Held([&] { return SearchIndex::FromFile(doc, list); }), fileBytes);
  Print("menu_cascading", Held([&] { return BuildSnippetMenu(list.entries, true); }), fileBytes);
  Print("menu_flat", Held([&] { return BuildSnippetMenu(list.entries, false); }), fileBytes);
  return 0;
}
