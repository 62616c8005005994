#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <shlobj.h>

#include <algorithm>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace zelvo {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

FileError LastError() { return FileErrorFromWin32(GetLastError()); }

// Windows reports a move onto a file that another program holds open as
// access denied; tell that (worth a retry) from missing rights.
FileError MoveError(const std::wstring& target) {
  DWORD code = GetLastError();
  if (code == ERROR_ACCESS_DENIED) {
    UniqueHandle probe(CreateFileW(target.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!probe.Valid() && GetLastError() == ERROR_SHARING_VIOLATION) return FileError::SharingViolation;
  }
  return FileErrorFromWin32(code);
}

bool ReadFully(HANDLE h, std::string& bytes) {
  bytes.clear();
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
    case ERROR_NO_NET_OR_BAD_PATH: return FileError::Unreachable;
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
  UniqueHandle h(CreateFileW(Widen(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.Valid()) return LastError();
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
                                             const std::function<FileError()>& body) {
  // Opened with full sharing and never deleted: every process locks the same
  // file object, also while the data file itself is being replaced.
  UniqueHandle h(CreateFileW(Widen(LockFilePath(path)).c_str(), GENERIC_READ | GENERIC_WRITE,
                             kShareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.Valid()) return LastError();

  // Poll rather than block, so a holder that hangs (a frozen PC on the
  // share) ends in a message instead of a frozen program.
  OVERLAPPED range{};
  DWORD waited = 0, wait = 10;
  while (!LockFileEx(h.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                     &range)) {
    DWORD code = GetLastError();
    if (code != ERROR_LOCK_VIOLATION && code != ERROR_IO_PENDING) return FileErrorFromWin32(code);
    if (waited >= static_cast<DWORD>(lockWaitMs)) return FileError::SharingViolation;
    Sleep(wait);
    waited += wait;
    wait = std::min<DWORD>(wait * 2, 200);
  }
  struct Unlock {
    HANDLE h;
    ~Unlock() {
      OVERLAPPED r{};
      UnlockFileEx(h, 0, 1, 0, &r);
    }
  } unlock{h.Get()};
  return body();
}

FileError Win32FileSystem::ReplaceAtomically(const std::string& path, const std::string& bytes) {
  const std::wstring target = Widen(path);
  // A read-only data file is the user's decision: report it, never clear it.
  DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
    return FileError::AccessDenied;

  // The temporary file sits beside the target (a rename never crosses
  // volumes) and carries its name, so a leftover after a crash is recognisable.
  std::wstring temp;
  UniqueHandle h;
  for (unsigned attempt = 0; !h.Valid(); ++attempt) {
    temp = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount() + attempt) + L".tmp";
    h = UniqueHandle(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD code = GetLastError();
    if (!h.Valid() && (code != ERROR_FILE_EXISTS || attempt == 100)) return FileErrorFromWin32(code);
  }
  auto fail = [&](FileError e) {
    DeleteFileW(temp.c_str());
    return e;
  };

  if (!WriteFully(h.Get(), bytes) || !FlushFileBuffers(h.Get())) {
    FileError e = LastError();
    h.Close();
    return fail(e);
  }
  if (!h.Close()) return fail(LastError());

  if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return fail(MoveError(target));
  return FileError::None;
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

FileError Win32FileSystem::CreateFolders(const std::string& folder) {
  const int code = SHCreateDirectoryExW(nullptr, Widen(folder).c_str(), nullptr);
  return code == ERROR_SUCCESS || code == ERROR_ALREADY_EXISTS ? FileError::None : FileErrorFromWin32(code);
}

}  // namespace zelvo
