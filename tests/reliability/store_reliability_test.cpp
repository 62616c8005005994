// Several processes against one data file: no lost writes, one lock owner
// at a time, no torn file when a writer dies.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <vector>

#include "fakes/temp_dir.h"
#include "reliability/one_pc.h"

namespace zelvo {
namespace {

using Instance = OnePc;

// Runs `body(i)` in n child processes and returns their exit codes.
std::vector<int> RunChildren(int n, const std::function<int(int)>& body) {
  std::vector<pid_t> pids;
  for (int i = 0; i < n; ++i) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body(i));
    pids.push_back(pid);
  }
  std::vector<int> codes;
  for (pid_t pid : pids) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    codes.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status));
  }
  return codes;
}

// Process `p` writes `writes` values of its own; its exit code.
int WriteValues(const std::string& path, int p, int writes) {
  Instance me(path, "user" + std::to_string(p));
  for (int w = 0; w < writes; ++w)
    if (!me.file.WriteIni("P" + std::to_string(p), std::to_string(w), "wert " + std::to_string(w)))
      return 1;
  // Only the note that a folder without create rights keeps no backup may show.
  for (const auto& s : me.dialogs.shown)
    if (s.message.text.find("keine Sicherung aufbewahrt") == std::string::npos) return 2;
  return 0;
}

// Counts how many of `procs` x `writes` values the writers left.
int ValuesPresent(const std::string& bytes, int procs, int writes) {
  const IniDocument doc = IniDocument::Parse(bytes);
  int present = 0;
  for (int p = 0; p < procs; ++p)
    for (int w = 0; w < writes; ++w)
      present += doc.Get("P" + std::to_string(p), std::to_string(w)) == "wert " + std::to_string(w);
  return present;
}

TEST(StoreReliability, ConcurrentWritersLoseNothing) {
  TempDir dir;
  const std::string path = dir.File("Zelvoscript.ini");
  constexpr int kProcs = 8, kWrites = 200;
  const auto codes = RunChildren(kProcs, [&](int p) { return WriteValues(path, p, kWrites); });
  for (int c : codes) EXPECT_EQ(c, 0);
  EXPECT_EQ(ValuesPresent(dir.Read("Zelvoscript.ini"), kProcs, kWrites), kProcs * kWrites);
}

// Half the writers reach the file through a symbolic link in another
// folder, half directly: they all lock beside the one real file.
TEST(StoreReliability, WritersThroughASymbolicLinkLoseNothing) {
  TempDir dir, elsewhere;
  const std::string path = dir.File("Zelvoscript.ini");
  const std::string link = elsewhere.File("Zelvoscript.ini");
  ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
  constexpr int kProcs = 6, kWrites = 100;
  const auto codes =
      RunChildren(kProcs, [&](int p) { return WriteValues(p % 2 ? link : path, p, kWrites); });
  for (int c : codes) EXPECT_EQ(c, 0);
  struct stat st {};
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ValuesPresent(dir.Read("Zelvoscript.ini"), kProcs, kWrites), kProcs * kWrites);
}

// A folder where the users may change the data file but not create files:
// no lock file, no temporary file, every write in place under a lock on
// the data file itself. The writers run as an unprivileged user, for whom
// the folder's permissions count.
TEST(StoreReliability, InPlaceWritersInAFolderWithoutCreateRightsLoseNothing) {
  TempDir dir;
  const std::string path = dir.File("Zelvoscript.ini");
  dir.Write("Zelvoscript.ini", "[Name]\r\n1=eins\r\n");
  ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0555), 0);
  constexpr int kProcs = 4, kWrites = 100;
  const auto codes = RunChildren(kProcs, [&](int p) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 3;
    return WriteValues(path, p, kWrites);
  });
  for (int c : codes) EXPECT_EQ(c, 0);
  const std::string bytes = dir.Read("Zelvoscript.ini");
  EXPECT_EQ(ValuesPresent(bytes, kProcs, kWrites), kProcs * kWrites);
  EXPECT_EQ(IniDocument::Parse(bytes).Get("Name", "1"), "eins");
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) names.push_back(e.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"Zelvoscript.ini"});
}

TEST(StoreReliability, NeverTwoLockOwners) {
  TempDir dir;
  const std::string path = dir.File("Zelvoscript.ini");
  const std::string log = dir.File("owners.log");
  constexpr int kProcs = 8, kRounds = 200;
  const auto append = [&](const std::string& line) {
    const int fd = ::open(log.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    const bool ok = fd >= 0 && ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    if (fd >= 0) ::close(fd);
    return ok;
  };
  const auto codes = RunChildren(kProcs, [&](int p) {
    Instance me(path, "user" + std::to_string(p));
    me.random.Reseed(p);
    DataLock lock(me.services, me.file);
    for (int r = 0; r < kRounds; ++r) {
      if (lock.AcquireLock()) continue;
      if (!append("B " + std::to_string(p) + "\n")) return 3;
      ::usleep(200);
      if (!append("E " + std::to_string(p) + "\n")) return 3;
      lock.ReleaseLock(false);
    }
    return 0;
  });
  for (int c : codes) EXPECT_EQ(c, 0);

  std::ifstream in(log);
  std::string kind, owner, open;
  int acquisitions = 0;
  while (in >> kind >> owner) {
    if (kind == "B") {
      ASSERT_EQ(open, "") << "two owners: " << open << " and " << owner;
      open = owner;
      ++acquisitions;
    } else {
      ASSERT_EQ(open, owner);
      open.clear();
    }
  }
  EXPECT_GE(acquisitions, kProcs);  // the race really happened
  EXPECT_EQ(IniDocument::Parse(dir.Read("Zelvoscript.ini")).Get("Common", "Lock"), "");
}

TEST(StoreReliability, KilledWriterNeverLeavesAHalfFile) {
  TempDir dir;
  const std::string path = dir.File("Zelvoscript.ini");
  constexpr int kKeys = 50, kKills = 200;
  {
    Instance setup(path, "setup");
    ASSERT_TRUE(setup.file.Update([](IniDocument& doc) {
      for (int k = 1; k <= kKeys; ++k) doc.Set("Text", std::to_string(k), "alt");
      return true;
    }));
  }
  std::mt19937 rng(42);
  for (int kill = 0; kill < kKills; ++kill) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(ready[0]);
      Instance me(path, "writer");
      for (int round = 0;; ++round) {
        me.file.Update([&](IniDocument& doc) {
          for (int k = 1; k <= kKeys; ++k)
            doc.Set("Text", std::to_string(k), "neu " + std::to_string(kill) + "/" + std::to_string(round));
          return true;
        });
        if (round == 0) (void)!::write(ready[1], "x", 1);
      }
    }
    ::close(ready[1]);
    // Kill only a writer that is at work: a slow disk (fsync) must not let
    // every kill land before the first write has even started.
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ::usleep(std::uniform_int_distribution<int>(0, 3000)(rng));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);

    const std::string bytes = dir.Read("Zelvoscript.ini");
    ASSERT_EQ(bytes.find('\0'), std::string::npos);
    const IniDocument doc = IniDocument::Parse(bytes);
    // Every write replaces all keys at once: they all hold one value, and
    // it is one this writer wrote.
    const std::string first = doc.Get("Text", "1", "<fehlt>");
    ASSERT_EQ(first.rfind("neu " + std::to_string(kill) + "/", 0), 0u) << first;
    for (int k = 2; k <= kKeys; ++k) ASSERT_EQ(doc.Get("Text", std::to_string(k), "<fehlt>"), first);
  }
}

TEST(StoreReliability, ReadOnlyFileStaysUnchangedForEveryWriter) {
  TempDir dir;
  const std::string path = dir.File("Zelvoscript.ini");
  dir.Write("Zelvoscript.ini", "[Name]\r\n1=eins\r\n");
  ::chmod(path.c_str(), 0444);
  const auto codes = RunChildren(4, [&](int p) {
    Instance me(path, "user" + std::to_string(p));
    const bool ok = me.file.WriteIni("Name", "1", "neu");
    const bool told = me.dialogs.shown.size() == 1 &&
                      me.dialogs.LastText().find("Es wurde nichts gespeichert.") != std::string::npos;
    return !ok && told ? 0 : 1;
  });
  for (int c : codes) EXPECT_EQ(c, 0);
  EXPECT_EQ(dir.Read("Zelvoscript.ini"), "[Name]\r\n1=eins\r\n");
}

}  // namespace
}  // namespace zelvo
