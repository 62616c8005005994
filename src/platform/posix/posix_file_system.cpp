#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <vector>

namespace zelvo {
namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) {
      if (fd_ >= 0) ::close(fd_);
      fd_ = other.release();
    }
    return *this;
  }
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

FileError Errno() { return FileErrorFromErrno(errno); }

FileError WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Errno();
    }
    done += static_cast<std::size_t>(n);
  }
  return FileError::None;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// A file is only missing when its folder is there; a folder that is gone
// means the share or drive cannot be reached.
FileError MissingOrError(const std::string& path, int err) {
  if (err != ENOENT) return FileErrorFromErrno(err);
  struct stat st {};
  const std::string folder = FolderOf(path);
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? FileError::NotFound
                                                                 : FileError::Unreachable;
}

bool WritableByMode(const struct stat& st) { return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0; }

// The file that a symbolic link at `path` finally names, or `path` itself.
// Writers replace that file, so the link keeps working for everyone.
std::string FollowLinks(const std::string& path) {
  std::string current = path;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::vector<char> target(PATH_MAX);
    const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
    if (n <= 0) return current;
    const std::string next(target.data(), static_cast<std::size_t>(n));
    current = next.front() == '/' ? next : FolderOf(current) + "/" + next;
  }
  return current;
}

// Errors of creating a file that mean the folder allows no new file here.
bool NoNewFileAllowed(int err) { return err == EACCES || err == EPERM || err == EROFS || err == EISDIR; }

// Errors of a lock request on a file system that has no locks.
bool LocksUnsupported(int err) { return err == ENOLCK || err == EOPNOTSUPP || err == ENOSYS || err == EINVAL; }

// Removes the temporary files of `target` that are much older than the
// fresh one of this write (`fresh` is its modification time).
void RemoveStaleTempFiles(const std::string& target, time_t fresh) {
  DIR* dir = ::opendir(FolderOf(target).c_str());
  if (!dir) return;
  const std::string folder = FolderOf(target) + "/", name = NameOf(target);
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTempFileOf(name, entry->d_name)) continue;
    const std::string leftover = folder + entry->d_name;
    struct stat st {};
    if (::lstat(leftover.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        st.st_mtime < fresh - kStaleTempSeconds)
      ::unlink(leftover.c_str());
  }
  ::closedir(dir);
}

}  // namespace

FileError FileErrorFromErrno(int err) {
  switch (err) {
    case ENOENT: return FileError::NotFound;
    case ENOTDIR: case ENODEV: case ENXIO: case EHOSTUNREACH: case EHOSTDOWN: case ENETUNREACH:
    case ENETDOWN: case ENOTCONN: case ETIMEDOUT: case ESTALE: case ENOMEDIUM:
      return FileError::Unreachable;
    case EACCES: case EPERM: case EROFS: return FileError::AccessDenied;
    case ENOSPC: case EDQUOT: return FileError::DiskFull;
    case EBUSY: case ETXTBSY: case EWOULDBLOCK: return FileError::SharingViolation;
    case EISDIR: return FileError::NotAFile;
    default: return FileError::Other;
  }
}

int PosixFileSystem::OpenFile(const std::string& path, int flags, mode_t mode) {
  return ::open(path.c_str(), flags | O_CLOEXEC, mode);
}

int PosixFileSystem::LockFile(int fd) { return ::flock(fd, LOCK_EX); }

FileError PosixFileSystem::ReadAll(const std::string& path, std::string& bytes) {
  bytes.clear();
  // Non-blocking, so that a pipe or device at the path is refused at once
  // instead of waiting for data for ever; regular files read as usual.
  Fd fd(OpenFile(path, O_RDONLY | O_NONBLOCK, 0));
  if (fd.get() < 0) return MissingOrError(path, errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return Errno();
  if (!S_ISREG(st.st_mode)) return FileError::NotAFile;
  if (st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n == 0) return FileError::None;
    if (n < 0) {
      if (errno == EINTR) continue;
      return Errno();
    }
    bytes.append(buf, static_cast<std::size_t>(n));
  }
}

bool PosixFileSystem::IsRegularFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PosixFileSystem::FileExists(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  if (nameStart < path.size() && path[nameStart] == '.') return false;
  return IsRegularFile(path);
}

long long PosixFileSystem::FileSize(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<long long>(st.st_size);
}

FileError PosixFileSystem::WithExclusiveLock(const std::string& path,
                                             const std::function<FileError(SaveMethod)>& body) {
  // Through a link, everyone locks beside the one file they all change.
  const std::string target = FollowLinks(path);
  SaveMethod method = SaveMethod::Replace;
  const std::string lockPath = LockFilePath(target);
  Fd fd(OpenFile(lockPath, O_RDWR | O_CREAT | O_NONBLOCK, 0666));
  const int err = errno;
  // A lock file that someone with more rights made is still ours to lock.
  if (fd.get() < 0 && NoNewFileAllowed(err)) fd = Fd(OpenFile(lockPath, O_RDONLY | O_NONBLOCK, 0));
  if (fd.get() < 0) {
    if (!NoNewFileAllowed(err)) return MissingOrError(target, err);
    // No lock file here, so nobody can make a temporary file either: lock
    // the data file itself and overwrite it in place.
    fd = Fd(OpenFile(target, O_RDONLY | O_NONBLOCK, 0));
    if (fd.get() < 0) return errno == ENOENT ? FileError::AccessDenied : MissingOrError(target, errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return Errno();
    if (!S_ISREG(st.st_mode)) return FileError::NotAFile;
    method = SaveMethod::InPlace;
  }
  bool locked = true;
  while (LockFile(fd.get()) != 0) {
    if (errno == EINTR) continue;
    if (!LocksUnsupported(errno)) return Errno();
    locked = false;
    break;
  }
  const FileError result = body(method);
  if (locked) ::flock(fd.get(), LOCK_UN);
  return result;
}

FileError PosixFileSystem::ReplaceAtomically(const std::string& path, const std::string& bytes) {
  const std::string target = FollowLinks(path);
  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) return FileError::NotAFile;
  if (exists && !WritableByMode(st)) return FileError::AccessDenied;

  static std::atomic<unsigned long> counter{0};
  std::string tmp;
  Fd fd(-1);
  for (int attempt = 0; fd.get() < 0; ++attempt) {
    tmp = TempFilePath(target, static_cast<unsigned long>(::getpid()), ++counter);
    fd = Fd(OpenFile(tmp, O_WRONLY | O_CREAT | O_EXCL, 0600));
    if (fd.get() < 0 && (errno != EEXIST || attempt == 100)) return MissingOrError(target, errno);
  }

  FileError e = WriteAll(fd.get(), bytes);
  if (e == FileError::None && ::fchmod(fd.get(), exists ? (st.st_mode & 07777) : 0644) != 0) e = Errno();
  // Only root may give the file back to its owner; others keep their own.
  if (e == FileError::None && exists) (void)!::fchown(fd.get(), st.st_uid, st.st_gid);
  if (e == FileError::None && ::fsync(fd.get()) != 0) e = Errno();
  struct stat fresh {};
  if (e == FileError::None && ::fstat(fd.get(), &fresh) != 0) e = Errno();
  if (e == FileError::None && ::close(fd.release()) != 0) e = Errno();
  if (e == FileError::None && ::rename(tmp.c_str(), target.c_str()) != 0) e = Errno();
  if (e != FileError::None) {
    ::unlink(tmp.c_str());
    return e;
  }
  // Make the rename itself durable.
  Fd dir(OpenFile(FolderOf(target), O_RDONLY | O_DIRECTORY, 0));
  if (dir.get() >= 0) ::fsync(dir.get());
  RemoveStaleTempFiles(target, fresh.st_mtime);
  return FileError::None;
}

FileError PosixFileSystem::WriteInPlace(const std::string& path, const std::string& bytes) {
  Fd fd(OpenFile(path, O_WRONLY | O_NONBLOCK, 0));
  if (fd.get() < 0) return MissingOrError(path, errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return Errno();
  if (!S_ISREG(st.st_mode)) return FileError::NotAFile;
  if (!WritableByMode(st)) return FileError::AccessDenied;
  const auto size = static_cast<off_t>(bytes.size());
#ifdef FALLOC_FL_KEEP_SIZE
  // Growing: take the space first (the size stays), so a full disk fails
  // before any byte changes.
  if (size > st.st_size && ::fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
      errno != EOPNOTSUPP && errno != ENOSYS)
    return Errno();
#endif
  FileError e = WriteAll(fd.get(), bytes);
  if (e == FileError::None && ::ftruncate(fd.get(), size) != 0) e = Errno();
  if (e == FileError::None && ::fsync(fd.get()) != 0) e = Errno();
  return e;
}

FileError PosixFileSystem::CopyNew(const std::string& from, const std::string& to) {
  std::string bytes;
  const FileError e = ReadAll(from, bytes);
  if (e != FileError::None) return e;
  return WriteNew(to, bytes);
}

FileError PosixFileSystem::ListFiles(const std::string& folder, std::vector<std::string>& names) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return errno == ENOENT ? FileError::None : Errno();  // no folder, no files
  std::string base = folder;
  if (!base.empty() && base.back() != '/') base += '/';
  while (const dirent* e = ::readdir(dir)) {
    struct stat st {};
    if (::stat((base + e->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(e->d_name);
  }
  ::closedir(dir);
  return FileError::None;
}

FileError PosixFileSystem::RemoveFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0 ? FileError::None : Errno();
}

FileError PosixFileSystem::WriteNew(const std::string& to, const std::string& bytes) {
  Fd fd(OpenFile(to, O_WRONLY | O_CREAT | O_EXCL, 0644));
  if (fd.get() < 0) return Errno();
  const FileError w = WriteAll(fd.get(), bytes);
  if (w != FileError::None) {
    ::unlink(to.c_str());
    return w;
  }
  return ::fsync(fd.get()) == 0 ? FileError::None : Errno();
}

bool PosixFileSystem::CanCreateFilesIn(const std::string& folder) {
  std::string probe = folder;
  if (!probe.empty() && probe.back() != '/') probe += '/';
  probe += ".zelvo-probe-" + std::to_string(::getpid());
  Fd fd(::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (fd.get() < 0) return errno == EEXIST;
  ::unlink(probe.c_str());
  return true;
}

FileError PosixFileSystem::CreateFolders(const std::string& folder) {
  for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
    const std::string part = folder.substr(0, end);
    if (!part.empty() && ::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return FileErrorFromErrno(errno);
    if (end == std::string::npos || end + 1 >= folder.size()) return FileError::None;
  }
}

}  // namespace zelvo
