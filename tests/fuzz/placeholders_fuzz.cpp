// Placeholder expansion over a folder of hostile files: files that name
// themselves twice, cycles, a file naming another twice, directories, a
// FIFO, a symbolic link loop, a hidden file, a huge file, UTF-8 (with and
// without a byte-order mark) and UTF-16 files. Input: the snippet's text (relative paths lead into that folder).
//
// Properties: the expansion ends and its size is bounded by the text and
// the included files; it equals one left-to-right pass over the text that
// puts each named file's content (or the missing-file text) in place of its
// placeholder, never searching text that came out of a file, followed by
// the clock placeholders over the whole result.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <utility>

#include "delivery/placeholders.h"
#include "fakes/fake_clock.h"
#include "fakes/temp_dir.h"
#include "fuzz_support.h"
#include "platform/posix/posix_file_system.h"
#include "store/text_codes.h"

using namespace zelvo;
using namespace zelvo::fuzz;

namespace {

struct HostileFile {
  const char* name;
  std::string bytes;
  std::string content;  // what the snippet receives in its place
};

std::string Utf16Le(const std::u16string& s) {
  std::string out = "\xFF\xFE";
  for (char16_t c : s) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  return out;
}

struct Folder {
  TempDir dir;
  std::map<std::pair<dev_t, ino_t>, HostileFile> contents;  // by file identity
  std::size_t largest = 0;

  Folder() {
    const HostileFile files[] = {
        {"leer", "", ""},
        {"brief.txt", "Sehr geehrte Damen und Herren,\r\nGr\xFC\xDF" "e\r\n",
         "Sehr geehrte Damen und Herren,\rGrüße\r"},
        {"lf", "eins\nzwei\n", "einszwei"},
        {"selbst", "[%datei=selbst%%datei=selbst%]", "[%datei=selbst%%datei=selbst%]"},
        {"kreis-a", "A%datei=kreis-b%", "A%datei=kreis-b%"},
        {"kreis-b", "B%datei=kreis-a%%datei=kreis-a%", "B%datei=kreis-a%%datei=kreis-a%"},
        {"zweimal", "%datei=brief.txt% und %DATEI=brief.txt%", "%datei=brief.txt% und %DATEI=brief.txt%"},
        {"datum", "Heute: %datum%, %Wochentag%", "Heute: %datum%, %Wochentag%"},
        {"prozent", "100% sicher %datei=", "100% sicher %datei="},
        {"utf8", "\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F" "e aus \xC5\x81\xC3\xB3" "d\xC5\xBA\r\n",
         "Grüße aus Łódź\r"},
        {"utf16", Utf16Le(u"Grüße \u20AC\r\nzwei"), "Grüße €\rzwei"},
        {"ohne-bom", "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC\r\n", "Grüße €\r"},
    };
    for (const HostileFile& f : files) {
      dir.Write(f.name, f.bytes);
      contents[Identity(dir.File(f.name))] = f;
      largest = std::max(largest, f.content.size());
    }
    ::mkdir(dir.File("ordner").c_str(), 0755);
    ::mkfifo(dir.File("fifo").c_str(), 0644);
    dir.Write(".versteckt", "geheim");
    ::symlink("schleife", dir.File("schleife").c_str());
    ::symlink("brief.txt", dir.File("link").c_str());
    // Larger than any file a snippet may include; sparse, so it costs nothing.
    const int fd = ::open(dir.File("riesig").c_str(), O_CREAT | O_WRONLY, 0644);
    if (fd < 0 || ::ftruncate(fd, kMaxIncludedFileBytes + 1) != 0) std::abort();
    ::close(fd);
  }

  static std::pair<dev_t, ino_t> Identity(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {0, 0};
    return {st.st_dev, st.st_ino};
  }
};

// The real file system with the folder as the current directory (the
// harness leaves the process's own alone: libFuzzer keeps its paths there),
// and names that ignore case as on Windows (the folder's are lower case).
class FolderFileSystem : public PosixFileSystem {
 public:
  explicit FolderFileSystem(const std::string& folder) : folder_(folder) {}
  std::string Resolve(std::string path) const {
    if (path.c_str()[0] == '/') return path;
    for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folder_ + path;
  }
  FileError ReadAll(const std::string& path, std::string& bytes) override {
    return PosixFileSystem::ReadAll(Resolve(path), bytes);
  }
  bool FileExists(const std::string& path) override { return PosixFileSystem::FileExists(Resolve(path)); }
  bool IsRegularFile(const std::string& path) override {
    return PosixFileSystem::IsRegularFile(Resolve(path));
  }
  long long FileSize(const std::string& path) override { return PosixFileSystem::FileSize(Resolve(path)); }

 private:
  std::string folder_;
};

std::size_t FindIgnoringAsciiCase(const std::string& text, const std::string& lower, std::size_t from) {
  for (std::size_t i = from; i + lower.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < lower.size() && std::tolower(static_cast<unsigned char>(text[i + k])) == lower[k]) ++k;
    if (k == lower.size()) return i;
  }
  return std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Folder folder;
  FolderFileSystem files(folder.dir.Path());
  if (!files.FileExists("Brief.txt")) Fail("the folder is not set up", __FILE__, __LINE__, "");
  FakeClock clock;
  const std::string text = TextFrom(std::string(reinterpret_cast<const char*>(data), size));

  // The one pass over the text, and whether every named file is one of ours.
  bool known = true;
  std::size_t placeholders = 0, longest = folder.largest;
  std::string expected;
  std::vector<std::string> paths;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t start = FindIgnoringAsciiCase(text, "%datei=", pos);
    if (start == std::string::npos) break;
    const std::size_t close = text.find('%', start + 7);
    if (close == std::string::npos) break;
    const std::string path = text.substr(start + 7, close - start - 7);
    // Files outside the folder (/proc, devices) are not this harness's business.
    if (path.c_str()[0] == '/' || path.find("..") != std::string::npos) return 0;
    // "%datei=a%datei=b%": whether the second one shares the first one's "%"
    // is a matter of reading, not of safety; only the bounds apply.
    if (FindIgnoringAsciiCase(text, "%datei=", close) == close) known = false;
    // One file named in two spellings: either spelling may name it in the
    // missing-file text.
    const std::string folded = ToUpperLocale(path);
    for (const std::string& seen : paths) known = known && (seen == path || ToUpperLocale(seen) != folded);
    paths.push_back(path);
    std::string content;
    if (!files.FileExists(path)) {
      content = MissingFileText(path);
    } else if (files.FileSize(path) > kMaxIncludedFileBytes) {
      content = FileTooLargeText(path);
    } else {
      const auto it = folder.contents.find(Folder::Identity(files.Resolve(path)));
      known = known && it != folder.contents.end();
      if (it != folder.contents.end()) content = it->second.content;
      else longest = std::max<std::size_t>(longest, 3 * files.FileSize(path));
    }
    longest = std::max(longest, content.size());
    ++placeholders;
    expected += text.substr(pos, start - pos) + content;
    pos = close + 1;
  }
  expected += text.substr(pos);
  const std::pair<const char*, std::string> clockValues[] = {
      {"%zeit%", "14:05:09"}, {"%stunde%", "14"}, {"%minute%", "05"}, {"%sekunde%", "09"},
      {"%datum%", "07.12.2026"}, {"%tag%", "07"}, {"%wochentag%", "Montag"}, {"%monat%", "12"},
      {"%jahr%", "2026"}};
  for (const auto& [name, value] : clockValues) expected = ReplaceAll(expected, name, value, true);

  const std::string result = ExpandPlaceholders(text, clock, files);
  // The clock's values are at most twice as long as their placeholders.
  FUZZ_CHECK(result.size() <= 2 * (text.size() + placeholders * longest) + 16);
  if (known) FUZZ_CHECK_EQ(result, expected, "expansion of " + Printable(text));
  return 0;
}
