// A data file in a temporary folder with fake services around it.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "fakes/fake_services.h"
#include "store/codepage.h"
#include "store/data_file.h"
#include "store/data_lock.h"
#include "store/snippet_store.h"

namespace zelvo {

class StoreTest : public ::testing::Test {
 protected:
  StoreTest() { file.SetPath(env.dir.File(kDataFileName)); }

  // Writes the data file from UTF-8 text with CR LF line ends.
  void WriteFile(const std::string& utf8) { env.dir.Write(kDataFileName, Utf8ToCp1252(utf8)); }
  std::string FileBytes() const { return env.dir.Read(kDataFileName); }
  std::string Value(const std::string& section, const std::string& key) {
    return IniDocument::Parse(FileBytes()).Get(section, key, "<missing>");
  }
  void MakeReadOnly() { ::chmod(file.Path().c_str(), 0444); }

  FakeServices env;
  Services& services = env.services;
  DataFile file{services};
};

}  // namespace zelvo
