// Two PCs on one data file: two program instances, each with its own user
// and PC name, its own dialogs, clock and windows, but one real file. A
// table of interleavings; after each, every entry that was not deleted on
// purpose still has its own name and text, and the PC that acted on an
// out-of-date list was told.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>

#include "activation/activation.h"
#include "delivery/delivery.h"
#include "fakes/fake_auswahl_view.h"
#include "fakes/fake_clipboard.h"
#include "fakes/fake_keyboard.h"
#include "fakes/fake_main_form_view.h"
#include "fakes/fake_services.h"
#include "fakes/fake_window_system.h"
#include "store/cipher.h"
#include "store/codepage.h"

namespace zelvo {
namespace {

// One PC: the program with its main window's controller, the snippet menu
// and the delivery, over fakes of the windows and dialogs.
class Pc : public ActivationTarget, public DeliveryHost {
 public:
  Pc(const std::string& path, const std::string& user, const std::string& computer) {
    env.system.userName = user;
    env.system.computerName = computer;
    program.dataFile().SetPath(path);
    view.form = &form;
    host.form = &form;
    editorWindow = ws.Add("Unbenannt - Editor");
    program.ReloadAll();
  }

  // ---- what the user does ----
  void Select(const std::string& name) { form.OnEntryListClick(Row(name)); }
  void DeleteSelected() {
    env.dialogs.answers.push_back(MsgResult::Yes);
    form.OnToolbarClick(kTagDelete);
  }
  void RenameSelected(const std::string& name) {
    env.dialogs.inputs.push_back(name);
    form.OnToolbarClick(kTagRename);
  }
  void Add(const std::string& name) {
    env.dialogs.inputs.push_back(name);
    form.OnToolbarClick(kTagNew);
    view.Focus(FocusControl::None);  // the new entry's editor had the focus
  }
  void StartEdit(const std::string& typed) {
    view.Focus(FocusControl::Editor);
    // The control shows the entry as rendered, with the typing in front.
    view.editor.picture = ToCodePoints(typed + view.editor.RenderedText());
  }
  void FinishEdit() { view.Focus(FocusControl::None); }
  // Opens the snippet menu and picks the entry of that name; `meanwhile`
  // runs while the menu is open.
  void Choose(const std::string& name, std::function<void()> meanwhile = nullptr) {
    choice = name;
    whileMenuOpen = std::move(meanwhile);
    ws.foreground = editorWindow;  // the user worked in the editor
    activation.HandleActivation(kActivateMenu);
  }

  std::string Typed() const {
    std::string out;
    for (const KeySequence& keys : keyboard.sent)
      for (const KeyStroke& k : keys) AppendUtf8(out, k.ch);
    return out;
  }
  int ConflictsReported() const {
    int n = 0;
    for (const auto& s : env.dialogs.shown)
      n += s.message.text.find("wurde inzwischen auf einem anderen PC") != std::string::npos;
    return n;
  }
  std::vector<std::string> ListNames() const {
    std::vector<std::string> names;
    for (const EntryListItem& row : form.Rows()) names.push_back(row.Name);
    std::sort(names.begin(), names.end());
    return names;
  }

  // ---- ActivationTarget ----
  bool IsNTPlatform() override { return true; }
  void CaptureLastUsedWindow() override { targets.CaptureAtMenuOpening(); }
  void BringMainWindowToForeground() override {}
  void ReloadAll() override { program.ReloadAll(); }
  const std::vector<EntryListItem>& MenuEntries() override { return program.entryList().entries; }
  bool MenuCascading() override { return false; }
  int PopupSnippetMenu(const SnippetMenu& menu) override {
    if (whileMenuOpen) whileMenuOpen();
    for (const SnippetMenuItem& item : menu.items)
      if (item.caption == choice) return item.tag;
    return 0;
  }
  bool SearchWindowInsteadOfMenu() override { return false; }
  std::optional<EntryListItem> PopupSearchWindow(const std::function<void()>&) override { return std::nullopt; }
  void DeliverEntry(int number, const std::string& name) override { delivery.DeliverEntry(number, name); }
  bool IsMainWindowVisible() override { return true; }
  void ShowMainWindow(bool) override {}
  void HideMainWindow() override {}
  void ReleaseLock() override { program.lock().ReleaseLock(false); }
  void EndProgram() override {}

  // ---- DeliveryHost ----
  std::optional<SnippetEntry> ReadEntry(int number) override { return program.store().ReadEntry(number); }
  std::string BuildCaption(const std::string& suffix) override { return program.Caption(suffix); }
  ScreenPoint MainWindowCorner() override { return {0, 0}; }
  std::unique_ptr<AuswahlView> CreateAuswahlView(AuswahlForm&) override {
    return std::make_unique<FakeAuswahlView>();
  }

  FakeServices env;
  FormHost host;
  Program program{env.services, host};
  FakeMainFormView view;
  MainForm form{program, view};
  FakeWindowSystem ws;
  FakeKeyboard keyboard;
  FakeClipboard clipboard;
  TargetWindows targets{ws, "Zelvoscript 2.5"};
  Delivery delivery{env.services, {ws, keyboard, clipboard}, targets, *this};
  Activation activation{*this};
  WindowHandle editorWindow = 0;
  std::string choice;
  std::function<void()> whileMenuOpen;

 private:
  int Row(const std::string& name) const {
    for (std::size_t i = 0; i < form.Rows().size(); ++i)
      if (form.Rows()[i].Name == name) return static_cast<int>(i);
    ADD_FAILURE() << "no row " << name;
    return -1;
  }
};

// Five entries; "C" is stored enciphered, so a move that loses the cipher
// flag or its text shows.
std::string InitialFile() {
  std::string name = "[Name]\r\n", text = "[Text]\r\n", crypt = "[Crypt]\r\n";
  FakeRandom random;
  FakeClock clock;
  for (const char* n : {"A", "B", "C", "D", "E"}) {
    const std::string key = std::to_string(n[0] - 'A' + 1) + "=";
    const bool secret = n[0] == 'C';
    name += key + n + "\r\n";
    text += key + (secret ? EncipherText(std::string("Text ") + n, random, clock) : std::string("Text ") + n) + "\r\n";
    crypt += key + (secret ? "1" : "0") + "\r\n";
  }
  return name + text + crypt;
}

// An older version writes with the profile functions: in place, without our
// lock and without looking at names.
void OlderVersionWrites(const std::string& path, const std::function<void(IniDocument&)>& change) {
  std::ifstream in(path, std::ios::binary);
  IniDocument doc = IniDocument::Parse(std::string(std::istreambuf_iterator<char>(in), {}));
  in.close();
  change(doc);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << doc.Serialize();
}

// The older version's delete of `hole` with the numbers of its own list.
void OlderVersionDeletes(const std::string& path, int hole, int highest) {
  OlderVersionWrites(path, [&](IniDocument& doc) {
    for (const char* field : {kFieldName, kFieldCrypt, kFieldText, kFieldTitle, kFieldDosBox}) {
      doc.Set(field, std::to_string(hole), doc.Get(field, std::to_string(highest)));
      doc.Set(field, std::to_string(highest), "");
    }
  });
}

using Entries = std::map<std::string, std::string>;  // name -> deciphered text

struct Interleaving {
  const char* what;
  std::function<void(Pc& a, Pc& b, const std::string& path)> steps;
  Entries expected;
  int conflictsToldToA;
};

Entries Unchanged(std::initializer_list<const char*> names) {
  Entries e;
  for (const char* n : names) e[n] = std::string("Text ") + n;
  return e;
}
Entries With(Entries e, const std::string& name, const std::string& text) {
  e[name] = text;
  return e;
}

TEST(TwoPcs, EveryEntryKeepsItsNameAndTextWhateverTheOrder) {
  const Interleaving rows[] = {
      {"delete/delete: A deletes what it shows as E, which B's delete of A moved",
       [](Pc& a, Pc& b, const std::string&) {
         a.Select("E");
         b.Select("A");
         b.DeleteSelected();
         a.DeleteSelected();  // refused: number 5 is empty now
         a.Select("E");       // the reloaded list
         a.DeleteSelected();
       },
       Unchanged({"B", "C", "D"}), 1},
      {"delete/delete of entries the move leaves alone",
       [](Pc& a, Pc& b, const std::string&) {
         a.Select("C");
         b.Select("B");
         b.DeleteSelected();  // E moves to 2
         a.DeleteSelected();  // the file's highest now is D, not A's E
       },
       Unchanged({"A", "D", "E"}), 0},
      {"delete/edit: B deletes B while A types into E",
       [](Pc& a, Pc& b, const std::string&) {
         a.Select("E");
         b.Select("B");
         b.env.dialogs.onShow = [&](const Message&) {  // B's delete question is open
           b.env.dialogs.onShow = nullptr;
           a.StartEdit("neu ");
         };
         b.DeleteSelected();
         a.FinishEdit();  // refused, kept, shown again with E at number 2
         a.StartEdit("");
         a.FinishEdit();  // saved into E
       },
       With(Unchanged({"A", "C", "D"}), "E", "neu Text E"), 1},
      {"delete/edit of the deleted entry: A's text becomes a new entry when A says so",
       [](Pc& a, Pc& b, const std::string&) {
         a.Select("B");
         b.Select("B");
         b.env.dialogs.onShow = [&](const Message&) {
           b.env.dialogs.onShow = nullptr;
           a.StartEdit("neu ");
         };
         b.DeleteSelected();
         a.FinishEdit();  // "save as a new entry?" - default Yes
       },
       With(Unchanged({"A", "C", "D", "E"}), "B", "neu Text B"), 1},
      {"delete/rename",
       [](Pc& a, Pc& b, const std::string&) {
         a.Select("E");
         b.Select("A");
         b.DeleteSelected();
         a.RenameSelected("E2");  // refused: number 5 is empty now
         a.Select("C");
         a.RenameSelected("C2");
       },
       With(Unchanged({"B", "D", "E"}), "C2", "Text C"), 1},
      {"add/delete: A's delete moves B's new entry, not its own list's highest",
       [](Pc& a, Pc& b, const std::string&) {
         a.Select("B");
         b.Add("F");
         a.DeleteSelected();
       },
       With(Unchanged({"A", "C", "D", "E"}), "F", ""), 0},
      {"edit/edit of two entries",
       [](Pc& a, Pc& b, const std::string&) {
         a.Select("C");
         b.Select("D");
         a.StartEdit("a: ");
         b.StartEdit("b: ");  // the lock is A's; B edits all the same
         a.FinishEdit();
         b.FinishEdit();
       },
       With(With(Unchanged({"A", "B", "E"}), "C", "a: Text C"), "D", "b: Text D"), 0},
      {"edit/edit of one entry: the later save wins, the name stays",
       [](Pc& a, Pc& b, const std::string&) {
         a.Select("C");
         b.Select("C");
         a.StartEdit("a: ");
         b.StartEdit("b: ");
         a.FinishEdit();
         b.FinishEdit();
       },
       With(Unchanged({"A", "B", "D", "E"}), "C", "b: Text C"), 0},
      {"delivery after delete: the menu was open while B deleted B",
       [](Pc& a, Pc& b, const std::string&) {
         b.Select("B");
         a.Choose("B", [&] { b.DeleteSelected(); });  // E now has number 2
         EXPECT_EQ(a.Typed(), "");
         a.Choose("E");
         EXPECT_EQ(a.Typed(), "Text E");
       },
       Unchanged({"A", "C", "D", "E"}), 1},
      {"an older version deletes and renames in between",
       [](Pc& a, Pc& b, const std::string& path) {
         a.Select("E");
         OlderVersionDeletes(path, 1, 5);  // A, the old way: E moves to 1
         a.RenameSelected("E2");           // refused
         a.Select("C");
         OlderVersionWrites(path, [](IniDocument& doc) { doc.Set(kFieldName, "3", "C alt"); });
         a.env.dialogs.answers.push_back(MsgResult::No);  // no new entry "C"
         a.StartEdit("neu ");
         a.FinishEdit();  // refused; "C" is gone, the user drops the text
       },
       With(Unchanged({"B", "D", "E"}), "C alt", "Text C"), 2},
  };

  for (const Interleaving& row : rows) {
    SCOPED_TRACE(row.what);
    TempDir dir;
    const std::string path = dir.File(kDataFileName);
    dir.Write(kDataFileName, InitialFile());
    Pc a(path, "mkraus", "PC-EMPFANG");
    Pc b(path, "Łukasz", "PC-LAGER");

    row.steps(a, b, path);

    const IniDocument doc = IniDocument::Parse(dir.Read(kDataFileName));
    const EntryList list = SnippetStore::EntryListFrom(doc);
    Entries found;
    for (const EntryListItem& e : list.entries) found[e.Name] = SnippetStore::EntryFrom(doc, e.Number).Text;
    EXPECT_EQ(found, row.expected);
    EXPECT_EQ(list.entries.size(), row.expected.size()) << "an entry twice";
    EXPECT_EQ(a.ConflictsReported(), row.conflictsToldToA);
    EXPECT_EQ(b.ConflictsReported(), 0);
    std::vector<std::string> names;
    for (const auto& [name, text] : found) names.push_back(name);
    EXPECT_EQ(a.ListNames(), names) << "A's list follows the file";
    EXPECT_EQ(doc.Get("Common", "Lock"), "") << "a lock left behind";
  }
}

TEST(TwoPcs, TheOtherPcIsToldOnceWhoChangedWhat) {
  TempDir dir;
  const std::string path = dir.File(kDataFileName);
  dir.Write(kDataFileName, InitialFile());
  Pc a(path, "mkraus", "PC-EMPFANG");
  Pc b(path, "\xC5\x81ukasz", "PC-LAGER");
  const std::string byB = "\xC5\x81ukasz (PC-LAGER) hat die Textbausteine ge\xC3\xA4ndert.";

  b.Select("C");
  b.StartEdit("neu: ");
  b.FinishEdit();
  a.program.ReloadAll();
  a.program.ReloadAll();  // the same change is not told twice
  b.program.ReloadAll();  // nor to the PC that made it
  // B's lock record comes and goes: the file is read again, nothing is told.
  b.program.lock().AcquireLock();
  a.program.ReloadAll();
  b.program.lock().ReleaseLock(false);
  a.program.ReloadAll();
  EXPECT_EQ(a.host.balloons, std::vector<std::string>{byB + "\r\nGe\xC3\xA4ndert: C"});
  EXPECT_TRUE(b.host.balloons.empty());

  // Minutes later the same writer's next change keeps no backup of its own;
  // it is told with everything since the last backup.
  b.env.clock.now.minute += 2;
  b.Add("F");
  b.Select("A");
  b.DeleteSelected();
  a.program.ReloadAll();
  ASSERT_EQ(a.host.balloons.size(), 2u);
  EXPECT_EQ(a.host.balloons[1], byB + "\r\nHinzugef\xC3\xBCgt: F\r\nGel\xC3\xB6scht: A\r\nGe\xC3\xA4ndert: C");

  // A's own change, and B's change while A has switched the balloon off.
  a.Select("D");
  a.DeleteSelected();
  b.program.ReloadAll();
  a.program.ReloadAll();
  a.env.settings.values[kKeyChangeBalloon] = "0";
  b.Select("B");
  b.DeleteSelected();
  a.program.ReloadAll();
  EXPECT_EQ(a.host.balloons.size(), 2u);
  ASSERT_EQ(b.host.balloons.size(), 1u);
  EXPECT_EQ(b.host.balloons[0], "mkraus (PC-EMPFANG) hat die Textbausteine ge\xC3\xA4ndert.\r\nGel\xC3\xB6scht: D");
}

}  // namespace
}  // namespace zelvo
