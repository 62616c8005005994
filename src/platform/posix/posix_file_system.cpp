#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

FileError WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return FileErrorFromErrno(errno);
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

// A file is only missing when its folder is there; a folder that is gone
// means the share or drive cannot be reached.
FileError MissingOrError(const std::string& path, int err) {
  if (err != ENOENT) return FileErrorFromErrno(err);
  struct stat st {};
  const std::string folder = FolderOf(path);
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? FileError::NotFound
                                                                 : FileError::Unreachable;
}

}  // namespace

FileError FileErrorFromErrno(int err) {
  switch (err) {
    case ENOENT: return FileError::NotFound;
    case ENOTDIR: case ENODEV: case ENXIO: case EHOSTUNREACH: case ENETUNREACH:
    case ETIMEDOUT: case ESTALE: return FileError::Unreachable;
    case EACCES: case EPERM: case EROFS: return FileError::AccessDenied;
    case ENOSPC: case EDQUOT: return FileError::DiskFull;
    case EBUSY: case ETXTBSY: return FileError::SharingViolation;
    default: return FileError::Other;
  }
}

FileError PosixFileSystem::ReadAll(const std::string& path, std::string& bytes) {
  bytes.clear();
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return MissingOrError(path, errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) == 0 && S_ISDIR(st.st_mode)) return FileError::AccessDenied;
  if (st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n == 0) return FileError::None;
    if (n < 0) {
      if (errno == EINTR) continue;
      return FileErrorFromErrno(errno);
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
                                             const std::function<FileError()>& body) {
  Fd fd(::open(LockFilePath(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
  if (fd.get() < 0) return FileErrorFromErrno(errno);
  while (::flock(fd.get(), LOCK_EX) != 0) {
    if (errno != EINTR) return FileErrorFromErrno(errno);
  }
  const FileError result = body();
  ::flock(fd.get(), LOCK_UN);
  return result;
}

FileError PosixFileSystem::ReplaceAtomically(const std::string& path, const std::string& bytes) {
  struct stat st {};
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (exists && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return FileError::AccessDenied;
  if (exists && !S_ISREG(st.st_mode)) return FileError::AccessDenied;

  const std::string folder = FolderOf(path);
  std::string tmpl = folder + "/.zelvo-XXXXXX.tmp";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  Fd fd(::mkstemps(name.data(), 4));
  if (fd.get() < 0) return FileErrorFromErrno(errno);
  const std::string tmp(name.data());

  FileError e = WriteAll(fd.get(), bytes);
  if (e == FileError::None && ::fchmod(fd.get(), exists ? (st.st_mode & 07777) : 0644) != 0)
    e = FileErrorFromErrno(errno);
  if (e == FileError::None && ::fsync(fd.get()) != 0) e = FileErrorFromErrno(errno);
  if (e == FileError::None && ::close(fd.release()) != 0) e = FileErrorFromErrno(errno);
  if (e == FileError::None && ::rename(tmp.c_str(), path.c_str()) != 0) e = FileErrorFromErrno(errno);
  if (e != FileError::None) {
    ::unlink(tmp.c_str());
    return e;
  }
  // Make the rename itself durable.
  Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return FileError::None;
}

FileError PosixFileSystem::CopyNew(const std::string& from, const std::string& to) {
  std::string bytes;
  const FileError e = ReadAll(from, bytes);
  if (e != FileError::None) return e;
  Fd fd(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (fd.get() < 0) return FileErrorFromErrno(errno);
  const FileError w = WriteAll(fd.get(), bytes);
  if (w != FileError::None) {
    ::unlink(to.c_str());
    return w;
  }
  return ::fsync(fd.get()) == 0 ? FileError::None : FileErrorFromErrno(errno);
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
