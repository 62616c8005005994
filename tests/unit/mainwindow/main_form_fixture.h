// The main window's controller over a real data file in a temporary folder,
// with a fake view that models the controls it is told about.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_main_form_view.h"
#include "fakes/fake_services.h"
#include "mainwindow/main_form.h"
#include "store/codepage.h"
#include "store/text_codes.h"

namespace zelvo {

class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest() {
    program.dataFile().SetPath(env.dir.File(kDataFileName));
    view.form = &form;
    host.form = &form;
  }

  // Writes the data file from UTF-8 lines and reloads as start-up does.
  void Load(const std::string& utf8) {
    env.dir.Write(kDataFileName, Utf8ToCp1252(utf8));
    program.ReloadAll();
  }
  // Entries given as name, text (escaped), title, method; clear text.
  struct E {
    std::string name, text, title = "";
    int method = 0;
  };
  void LoadEntries(const std::vector<E>& entries, const std::string& extra = "") {
    std::string name = "[Name]\r\n", text = "[Text]\r\n", crypt = "[Crypt]\r\n",
                title = "[Title]\r\n", dos = "[DosBox]\r\n";
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const std::string k = std::to_string(i + 1) + "=";
      name += k + entries[i].name + "\r\n";
      text += k + entries[i].text + "\r\n";
      crypt += k + "0\r\n";
      title += k + entries[i].title + "\r\n";
      dos += k + std::to_string(entries[i].method) + "\r\n";
    }
    Load(name + text + crypt + title + dos + extra);
  }
  std::string Value(const std::string& section, const std::string& key) {
    return IniDocument::Parse(env.dir.Read(kDataFileName)).Get(section, key, "<missing>");
  }
  std::string LockValue() { return Value("Common", "Lock"); }
  bool Locked() {
    const std::string v = LockValue();
    return !v.empty() && v != "<missing>";
  }
  // The next write fails as on a read-only share.
  void FailNextWrite() { env.files.replaceFailures.push_back(FileError::AccessDenied); }
  // The write after the next one fails: an operation's own write, after
  // the one that took the lock.
  void FailWriteAfterLock() {
    env.files.replaceFailures.push_back(FileError::None);
    FailNextWrite();
  }
  std::string SelectedName() { return form.Rows().at(form.SelectedRow()).Name; }
  int Row(const std::string& name) {
    for (std::size_t i = 0; i < form.Rows().size(); ++i)
      if (form.Rows()[i].Name == name) return static_cast<int>(i);
    return -1;
  }
  std::vector<std::string> Messages() {
    std::vector<std::string> out;
    for (const auto& s : env.dialogs.shown) out.push_back(s.message.text);
    return out;
  }

  FakeServices env;
  FormHost host;
  Program program{env.services, host};
  FakeMainFormView view;
  MainForm form{program, view};
};

inline constexpr const char* kForeignLock =
    "[Common]\r\nLock=hbauer;PC-LAGER;07.12.2026 10:00:00;1234567890123456\r\n";

}  // namespace zelvo
