#include "store/default_data_file.h"

#include <unistd.h>

#include <cctype>

#include "store/settings.h"
#include "store_fixture.h"

namespace zelvo {
namespace {

// The program folder is env.dir; the user's folders live in a second one.
class DefaultDataFileTest : public StoreTest {
 protected:
  DefaultDataFileTest() {
    env.system.userDataFolder = profile.Path() + "Roaming/";
    env.system.localUserDataFolder = profile.Path() + "Local/";
    env.dir.Write(kSampleFileName, "[Name]\r\n1=Beispiel\r\n");
  }
  std::string Beside() const { return env.dir.File(kDataFileName); }
  std::string InUserFolder() const { return profile.Path() + "Roaming/Brannox Software/Zelvoscript/" + kDataFileName; }
  // Where Windows redirected an older version's writes into the program folder.
  std::string VirtualStore() const { return profile.Path() + "Local/VirtualStore" + env.dir.Path() + kDataFileName; }
  void WriteAt(const std::string& path, const std::string& bytes) {
    ASSERT_EQ(env.files.CreateFolders(path.substr(0, path.rfind('/') + 1)), FileError::None);
    ASSERT_EQ(env.files.ReplaceAtomically(path, bytes), FileError::None);
  }
  std::string Read(const std::string& path) {
    std::string bytes;
    env.files.ReadAll(path, bytes);
    return bytes;
  }
  void InstallForTheMachine(const std::string& installDir) { env.settings.machineValues[kKeyInstallDir] = installDir; }

  TempDir profile;
};

TEST_F(DefaultDataFileTest, PortableCopyKeepsItBesideTheProgramInstalledOrReadOnlyOnesUseTheUsersFolder) {
  struct Case {
    const char* what;
    bool readOnly;
    std::string installDir;
    bool userFolderKnown;
    bool inUserFolder;
  };
  std::string upper = env.dir.Path();
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const Case cases[] = {
      {"portable, writable", false, "", true, false},
      {"folder refuses new files", true, "", true, true},
      {"installed here (other case, no trailing separator)", false, upper.substr(0, upper.size() - 1), true, true},
      {"installed elsewhere", false, "/opt/anders/", true, false},
      {"user folder unknown", true, "", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    env.files.readOnlyFolders.clear();
    if (c.readOnly) env.files.readOnlyFolders.insert(env.dir.Path());
    env.settings.machineValues.clear();
    if (!c.installDir.empty()) InstallForTheMachine(c.installDir);
    env.system.userDataFolder = c.userFolderKnown ? profile.Path() + "Roaming/" : "";
    EXPECT_EQ(DefaultDataFile(services), c.inUserFolder ? InUserFolder() : Beside());
  }
}

TEST_F(DefaultDataFileTest, UserFolderTakesOverTheOldFileFirstOfVirtualStoreBesideProgramSample) {
  InstallForTheMachine(env.dir.Path());
  WriteAt(VirtualStore(), "[Name]\r\n1=Aus VirtualStore\r\n");
  WriteAt(Beside(), "[Name]\r\n1=Beside\r\n");

  ProvideDefaultDataFile(services, InUserFolder());
  EXPECT_EQ(Read(InUserFolder()), "[Name]\r\n1=Aus VirtualStore\r\n");
  EXPECT_EQ(Read(VirtualStore()), "[Name]\r\n1=Aus VirtualStore\r\n");  // kept as it was

  // Once there, the user's file is never replaced.
  WriteAt(InUserFolder(), "[Name]\r\n1=Eigenes\r\n");
  ProvideDefaultDataFile(services, InUserFolder());
  EXPECT_EQ(Read(InUserFolder()), "[Name]\r\n1=Eigenes\r\n");

  ::unlink(InUserFolder().c_str());
  ::unlink(VirtualStore().c_str());
  ProvideDefaultDataFile(services, InUserFolder());
  EXPECT_EQ(Read(InUserFolder()), "[Name]\r\n1=Beside\r\n");

  ::unlink(InUserFolder().c_str());
  ::unlink(Beside().c_str());
  ProvideDefaultDataFile(services, InUserFolder());
  EXPECT_EQ(Read(InUserFolder()), "[Name]\r\n1=Beispiel\r\n");
  EXPECT_TRUE(env.dialogs.shown.empty());
}

TEST_F(DefaultDataFileTest, FailedTakeOverIsReportedAndLeavesTheOldFile) {
  WriteAt(VirtualStore(), "[Name]\r\n1=Alt\r\n");
  env.files.copyFailures = {FileError::DiskFull};
  ProvideDefaultDataFile(services, InUserFolder());
  ASSERT_EQ(env.dialogs.shown.size(), 1u);
  EXPECT_EQ(env.dialogs.LastText().rfind("Die bisherige Datendatei\r\n" + VirtualStore(), 0), 0u)
      << env.dialogs.LastText();
  EXPECT_NE(env.dialogs.LastText().find("unverändert erhalten"), std::string::npos);
  EXPECT_EQ(Read(VirtualStore()), "[Name]\r\n1=Alt\r\n");
}

TEST_F(DefaultDataFileTest, StartupMovesAFormerDefaultBesideTheProgramQuietly) {
  InstallForTheMachine(env.dir.Path());
  WriteAt(VirtualStore(), "[Name]\r\n1=Alt\r\n");
  env.settings.values[kKeyPath] = Beside();  // what an older version stored
  EXPECT_TRUE(SelectDataFolder(services, file, DataFolderMode::Startup));
  EXPECT_EQ(file.Path(), InUserFolder());
  EXPECT_EQ(env.settings.values[kKeyPath], InUserFolder());
  EXPECT_EQ(Read(InUserFolder()), "[Name]\r\n1=Alt\r\n");
  EXPECT_TRUE(env.dialogs.shown.empty());
}

TEST_F(DefaultDataFileTest, MachinePathServesUsersWithoutAPathOfTheirOwn) {
  TempDir office, own;
  office.Write(kDataFileName, "[Name]\r\n1=Büro\r\n");
  own.Write(kDataFileName, "[Name]\r\n1=Eigen\r\n");
  env.settings.machineValues[kKeyPath] = office.File(kDataFileName);

  EXPECT_TRUE(SelectDataFolder(services, file, DataFolderMode::Startup));
  EXPECT_EQ(file.Path(), office.File(kDataFileName));
  EXPECT_EQ(env.settings.values.count(kKeyPath), 0u);  // a later change of the office's file reaches this user

  env.settings.values[kKeyPath] = own.File(kDataFileName);
  EXPECT_TRUE(SelectDataFolder(services, file, DataFolderMode::Startup));
  EXPECT_EQ(file.Path(), own.File(kDataFileName));

  // "&Standard" still means the default file, and the user keeps that choice.
  EXPECT_TRUE(SelectDataFolder(services, file, DataFolderMode::Default));
  EXPECT_EQ(file.Path(), Beside());
  EXPECT_EQ(env.settings.values[kKeyPath], Beside());
  EXPECT_TRUE(env.dialogs.shown.empty());
}

TEST_F(DefaultDataFileTest, MissingMachineFileIsReportedAndTheDefaultServesThisSessionOnly) {
  // Its folder is there, the file is not.
  env.settings.machineValues[kKeyPath] = profile.Path() + "Zelvoscript.ini";
  EXPECT_TRUE(SelectDataFolder(services, file, DataFolderMode::Startup));
  ASSERT_EQ(env.dialogs.shown.size(), 1u);
  EXPECT_NE(env.dialogs.LastText().find("keine Zelvoscript-datei"), std::string::npos);
  EXPECT_EQ(file.Path(), Beside());
  EXPECT_EQ(env.settings.values.count(kKeyPath), 0u);  // the next start tries the office's file again
}

}  // namespace
}  // namespace zelvo
