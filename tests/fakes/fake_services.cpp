#include "fakes/fake_services.h"

namespace zelvo {
namespace {

bool TakeFailure(std::deque<FileError>& queue, FileError& e) {
  if (queue.empty()) return false;
  e = queue.front();
  queue.pop_front();
  return e != FileError::None;
}

}  // namespace

FileError FaultyFileSystem::ReadAll(const std::string& path, std::string& bytes) {
  ++readAttempts[path];
  FileError e;
  if (TakeFailure(readFailures, e)) return e;
  e = PosixFileSystem::ReadAll(path, bytes);
  if (e == FileError::None && afterRead) afterRead(++reads);
  return e;
}

long long FaultyFileSystem::FileSize(const std::string& path) {
  const auto it = sizes.find(path);
  return it == sizes.end() ? PosixFileSystem::FileSize(path) : it->second;
}

FileError FaultyFileSystem::WithExclusiveLock(const std::string& path,
                                              const std::function<FileError()>& body) {
  FileError e;
  if (TakeFailure(lockFailures, e)) return e;
  return PosixFileSystem::WithExclusiveLock(path, body);
}

FileError FaultyFileSystem::ReplaceAtomically(const std::string& path, const std::string& bytes) {
  FileError e;
  if (TakeFailure(replaceFailures, e)) return e;
  ++replaces;
  return PosixFileSystem::ReplaceAtomically(path, bytes);
}

FileError FaultyFileSystem::CopyNew(const std::string& from, const std::string& to) {
  FileError e;
  return TakeFailure(copyFailures, e) ? e : PosixFileSystem::CopyNew(from, to);
}

bool FaultyFileSystem::CanCreateFilesIn(const std::string& folder) {
  return readOnlyFolders.count(folder) == 0 && PosixFileSystem::CanCreateFilesIn(folder);
}

}  // namespace zelvo
