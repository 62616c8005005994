#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <shlobj.h>

#include <algorithm>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace zelvo {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Lock of a data file that is written in place: one byte far behind its
// end, so that readers and writers of the content are never blocked (a
// Windows byte-range lock is mandatory), and below 2 GB for old servers.
constexpr DWORD kInPlaceLockOffset = 0x7FFFFFFE;

FileError LastError() { return FileErrorFromWin32(GetLastError()); }

bool IsDirectory(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Errors of a lock request on a share that has no byte-range locks.
bool LocksUnsupported(DWORD code) {
  return code == ERROR_NOT_SUPPORTED || code == ERROR_INVALID_FUNCTION ||
         code == ERROR_CALL_NOT_IMPLEMENTED;
}

// Windows refuses to replace a file that another program holds open as
// access denied, even when that program shares deleting (another PC's read,
// a virus scanner). When we may delete the file ourselves, the refusal can
// only come from such a handle: busy, worth a retry, not missing rights.
FileError ReplaceError(DWORD code, const std::wstring& target) {
  if (code == ERROR_ACCESS_DENIED || code == ERROR_UNABLE_TO_REMOVE_REPLACED ||
      code == ERROR_SHARING_VIOLATION) {
    UniqueHandle probe(CreateFileW(target.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    if (probe.Valid() || GetLastError() == ERROR_SHARING_VIOLATION) return FileError::SharingViolation;
    return FileError::AccessDenied;
  }
  return FileErrorFromWin32(code);
}

// The file that a symbolic link at `path` finally names, or `path` itself.
// Writers replace that file, so the link keeps working for everyone.
std::wstring FollowLinks(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
    return path;
  UniqueHandle h(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                             0, nullptr));
  if (!h.Valid()) return path;
  std::wstring resolved(MAX_PATH, L'\0');
  DWORD n = GetFinalPathNameByHandleW(h.Get(), resolved.data(), static_cast<DWORD>(resolved.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (n >= resolved.size()) {
    resolved.resize(n + 1);
    n = GetFinalPathNameByHandleW(h.Get(), resolved.data(), static_cast<DWORD>(resolved.size()),
                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  }
  if (n == 0 || n >= resolved.size()) return path;
  resolved.resize(n);
  return resolved;
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

// Removes the temporary files of `target` that are much older than the
// fresh one of this write (`fresh` is its last write time, as the file
// server dated it).
void RemoveStaleTempFiles(const std::wstring& target, const FILETIME& fresh) {
  const std::wstring folder = FolderOf(target);
  const std::string name = Narrow(target.substr(folder.size() + 1));
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((target + L".*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  const auto ticks = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  const unsigned long long staleTicks = kStaleTempSeconds * 10000000ull;  // 100 ns units
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        IsTempFileOf(name, Narrow(found.cFileName)) &&
        ticks(found.ftLastWriteTime) + staleTicks < ticks(fresh))
      DeleteFileW((folder + L"\\" + found.cFileName).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

bool ReadFully(HANDLE h, std::string& bytes) {
  bytes.clear();
  // Room for the whole file at once: a large file read into a growing
  // string would leave each smaller copy behind in the heap. The file may
  // still change while it is read, so the read goes on to its end.
  LARGE_INTEGER size{};
  if (GetFileSizeEx(h, &size) && size.QuadPart > 0 && size.QuadPart < (1LL << 30))
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  char buffer[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(h, buffer, sizeof buffer, &got, nullptr)) return false;
    if (got == 0) return true;
    bytes.append(buffer, got);
  }
}

bool WriteFully(HANDLE h, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

FileError FileErrorFromWin32(unsigned long code) {
  switch (code) {
    case ERROR_SUCCESS: return FileError::None;
    case ERROR_FILE_NOT_FOUND: return FileError::NotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY:
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_BAD_NET_RESP:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_HOST_UNREACHABLE:
    case ERROR_NO_NET_OR_BAD_PATH:
    case ERROR_REM_NOT_LIST:
    case ERROR_NETWORK_BUSY:
    case ERROR_SEM_TIMEOUT:
    case ERROR_NO_NETWORK:
    case ERROR_CONNECTION_UNAVAIL:
    case ERROR_NOT_CONNECTED: return FileError::Unreachable;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED: return FileError::AccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return FileError::SharingViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return FileError::DiskFull;
    default: return FileError::Other;
  }
}

FileError Win32FileSystem::ReadAll(const std::string& path, std::string& bytes) {
  const std::wstring wide = Widen(path);
  if (IsDirectory(GetFileAttributesW(wide.c_str()))) return FileError::NotAFile;
  UniqueHandle h(CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.Valid()) {
    const FileError e = LastError();
    // A file is only missing when its folder is there: a drive letter whose
    // target is gone can answer "file not found" as well.
    const std::wstring folder = wide.substr(0, wide.find_last_of(L"\\/") + 1);
    if (e == FileError::NotFound && !folder.empty() && !IsDirectory(GetFileAttributesW(folder.c_str())))
      return FileError::Unreachable;
    return e;
  }
  // A device or pipe would make the read wait for data that never comes.
  if (GetFileType(h.Get()) != FILE_TYPE_DISK) return FileError::NotAFile;
  return ReadFully(h.Get(), bytes) ? FileError::None : LastError();
}

bool Win32FileSystem::FileExists(const std::string& path) {
  // A search pattern would match other files: only this exact path counts.
  if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Widen(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  const DWORD excluded = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (found.dwFileAttributes & excluded) == 0;
}

bool Win32FileSystem::IsRegularFile(const std::string& path) {
  if (path.empty()) return false;
  DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

long long Win32FileSystem::FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (path.empty() || !GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

FileError Win32FileSystem::WithExclusiveLock(const std::string& path,
                                             const std::function<FileError(SaveMethod)>& body) {
  // Through a link, everyone locks beside the one file they all change.
  const std::wstring target = FollowLinks(Widen(path));
  const std::wstring lockPath = target + L".lock";
  // Opened with full sharing and never deleted: every process locks the same
  // file object, also while the data file itself is being replaced.
  UniqueHandle h(CreateFileW(lockPath.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  const DWORD openError = GetLastError();
  // A lock file that someone with more rights made is still ours to lock.
  if (!h.Valid() && openError == ERROR_ACCESS_DENIED)
    h = UniqueHandle(CreateFileW(lockPath.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  SaveMethod method = SaveMethod::Replace;
  OVERLAPPED range{};
  if (!h.Valid()) {
    if (openError != ERROR_ACCESS_DENIED) return FileErrorFromWin32(openError);
    // No lock file here, so nobody can make a temporary file either: lock
    // the data file itself and overwrite it in place.
    h = UniqueHandle(CreateFileW(target.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.Valid())
      return GetLastError() == ERROR_FILE_NOT_FOUND ? FileError::AccessDenied : LastError();
    if (GetFileType(h.Get()) != FILE_TYPE_DISK) return FileError::NotAFile;
    method = SaveMethod::InPlace;
    range.Offset = kInPlaceLockOffset;
  }

  // Poll rather than block, so a holder that hangs (a frozen PC on the
  // share) ends in a message instead of a frozen program.
  DWORD waited = 0, wait = 10;
  bool locked = true;
  while (!LockFileEx(h.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                     &range)) {
    DWORD code = GetLastError();
    if (LocksUnsupported(code)) {
      locked = false;
      break;
    }
    if (code != ERROR_LOCK_VIOLATION && code != ERROR_IO_PENDING) return FileErrorFromWin32(code);
    if (waited >= static_cast<DWORD>(lockWaitMs)) return FileError::SharingViolation;
    Sleep(wait);
    waited += wait;
    wait = std::min<DWORD>(wait * 2, 200);
  }
  struct Unlock {
    HANDLE h;
    OVERLAPPED range;
    bool locked;
    ~Unlock() {
      if (locked) UnlockFileEx(h, 0, 1, 0, &range);
    }
  } unlock{h.Get(), range, locked};
  return body(method);
}

FileError Win32FileSystem::ReplaceAtomically(const std::string& path, const std::string& bytes) {
  const std::wstring target = FollowLinks(Widen(path));
  // A read-only data file is the user's decision: report it, never clear it.
  DWORD attributes = GetFileAttributesW(target.c_str());
  if (IsDirectory(attributes)) return FileError::NotAFile;
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    return FileError::AccessDenied;

  // A program that holds the file open without sharing its deletion makes
  // every replace fail: busy, before anything is written.
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    UniqueHandle probe(CreateFileW(target.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!probe.Valid() && GetLastError() == ERROR_SHARING_VIOLATION) return FileError::SharingViolation;
  }

  // The temporary file sits beside the target (a rename never crosses
  // volumes) and carries its name, so a leftover after a crash is recognisable.
  // It gets the target's attributes from the start: ReplaceFileW keeps them
  // on Windows, but neither a plain move nor every implementation of it does.
  const DWORD carried = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  DWORD tempAttributes = attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes & carried;
  if (tempAttributes == 0) tempAttributes = FILE_ATTRIBUTE_NORMAL;
  std::wstring temp;
  UniqueHandle h;
  for (unsigned attempt = 0; !h.Valid(); ++attempt) {
    temp = Widen(TempFilePath(Narrow(target), GetCurrentProcessId(), GetTickCount() + attempt));
    h = UniqueHandle(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 tempAttributes, nullptr));
    DWORD code = GetLastError();
    if (!h.Valid() && (code != ERROR_FILE_EXISTS || attempt == 100)) return FileErrorFromWin32(code);
  }
  auto fail = [&](FileError e) {
    DeleteFileW(temp.c_str());
    return e;
  };

  FILETIME fresh{};
  if (!WriteFully(h.Get(), bytes) || !FlushFileBuffers(h.Get()) ||
      !GetFileTime(h.Get(), nullptr, nullptr, &fresh)) {
    FileError e = LastError();
    h.Close();
    return fail(e);
  }
  if (!h.Close()) return fail(LastError());

  // ReplaceFileW keeps the data file's permissions, owner and attributes.
  // Where it cannot work (no data file yet, a share that does not support
  // it), a plain move does the replace.
  bool replaced = attributes != INVALID_FILE_ATTRIBUTES &&
                  ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                               REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr);
  if (!replaced && attributes != INVALID_FILE_ATTRIBUTES) {
    const DWORD code = GetLastError();
    switch (code) {
      case ERROR_ACCESS_DENIED:
      case ERROR_SHARING_VIOLATION:
      case ERROR_UNABLE_TO_REMOVE_REPLACED:
      case ERROR_LOCK_VIOLATION:
      case ERROR_DISK_FULL:
      case ERROR_HANDLE_DISK_FULL:
        return fail(ReplaceError(code, target));
      default:
        // ERROR_UNABLE_TO_MOVE_REPLACEMENT: the old file is gone already and
        // the move below puts the new one in its place.
        break;
    }
  }
  if (!replaced &&
      !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD code = GetLastError();
    // ReplaceFileW took the old file away: never delete the only copy left.
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES)
      return FileErrorFromWin32(code);
    return fail(ReplaceError(code, target));
  }
  RemoveStaleTempFiles(target, fresh);
  return FileError::None;
}

FileError Win32FileSystem::WriteInPlace(const std::string& path, const std::string& bytes) {
  const std::wstring target = Widen(path);
  DWORD attributes = GetFileAttributesW(target.c_str());
  if (IsDirectory(attributes)) return FileError::NotAFile;
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    return FileError::AccessDenied;
  UniqueHandle h(CreateFileW(target.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.Valid()) return LastError();
  if (GetFileType(h.Get()) != FILE_TYPE_DISK) return FileError::NotAFile;
  // Growing: take the space first (the size stays), so a full disk fails
  // before any byte changes. A share that cannot reserve just writes.
  LARGE_INTEGER size{};
  if (GetFileSizeEx(h.Get(), &size) && static_cast<unsigned long long>(size.QuadPart) < bytes.size()) {
    FILE_ALLOCATION_INFO reserve{};
    reserve.AllocationSize.QuadPart = static_cast<LONGLONG>(bytes.size());
    if (!SetFileInformationByHandle(h.Get(), FileAllocationInfo, &reserve, sizeof reserve)) {
      const FileError e = LastError();
      if (e == FileError::DiskFull) return e;
    }
  }
  if (!WriteFully(h.Get(), bytes) || !SetEndOfFile(h.Get()) || !FlushFileBuffers(h.Get()))
    return LastError();
  return h.Close() ? FileError::None : LastError();
}

FileError Win32FileSystem::CopyNew(const std::string& from, const std::string& to) {
  return CopyFileW(Widen(from).c_str(), Widen(to).c_str(), TRUE) ? FileError::None : LastError();
}

bool Win32FileSystem::CanCreateFilesIn(const std::string& folder) {
  std::wstring probe = Widen(folder);
  if (!probe.empty() && probe.back() != L'\\' && probe.back() != L'/') probe += L'\\';
  probe += L"~zelvo" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  UniqueHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE,
                                nullptr));
  return file.Valid() || GetLastError() == ERROR_FILE_EXISTS;
}

FileError Win32FileSystem::WriteNew(const std::string& path, const std::string& bytes) {
  const std::wstring wide = Widen(path);
  UniqueHandle h(CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.Valid()) return LastError();
  if (WriteFully(h.Get(), bytes) && FlushFileBuffers(h.Get())) return FileError::None;
  const FileError e = LastError();
  h.Close();
  DeleteFileW(wide.c_str());
  return e;
}

FileError Win32FileSystem::ListFiles(const std::string& folder, std::vector<std::string>& names) {
  std::wstring pattern = Widen(folder);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((pattern + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? FileError::None : FileErrorFromWin32(code);
  }
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(Narrow(found.cFileName));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return FileError::None;
}

FileError Win32FileSystem::RemoveFile(const std::string& path) {
  return DeleteFileW(Widen(path).c_str()) ? FileError::None : LastError();
}

FileError Win32FileSystem::CreateFolders(const std::string& folder) {
  const int code = SHCreateDirectoryExW(nullptr, Widen(folder).c_str(), nullptr);
  return code == ERROR_SUCCESS || code == ERROR_ALREADY_EXISTS ? FileError::None : FileErrorFromWin32(code);
}

}  // namespace zelvo
