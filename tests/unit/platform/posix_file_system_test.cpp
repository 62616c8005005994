#include "platform/posix/posix_file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "fakes/temp_dir.h"

namespace zelvo {
namespace {

// Only a missing file in a folder that is there counts as missing; the
// program keeps its last good state for everything else.
TEST(PosixFileSystem, ReadAllTellsMissingFromUnreachableAndNoFile) {
  TempDir dir;
  dir.Write("datei.ini", "x");
  ::mkdir(dir.File("ordner").c_str(), 0777);
  ::mkfifo(dir.File("pipe").c_str(), 0666);
  const std::pair<std::string, FileError> rows[] = {
      {dir.File("fehlt.ini"), FileError::NotFound},
      {dir.File("fehlt/Zelvoscript.ini"), FileError::Unreachable},
      {dir.File("datei.ini/Zelvoscript.ini"), FileError::Unreachable},
      {dir.File("ordner"), FileError::NotAFile},
      {dir.File("pipe"), FileError::NotAFile},
      {"/dev/zero", FileError::NotAFile},
  };
  PosixFileSystem fs;
  for (const auto& [path, expected] : rows) {
    std::string bytes = "alt";
    EXPECT_EQ(fs.ReadAll(path, bytes), expected) << path;
    EXPECT_EQ(bytes, "") << path;
  }
}

}  // namespace
}  // namespace zelvo
