// Small helpers shared by the tests that run under Wine.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/wide.h"

namespace zelvo::test {

// A fresh folder under the user's temp folder, removed with its files.
class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    path_ = std::wstring(base) + L"zelvo-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L"-" + std::to_wstring(GetTickCount());
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    for (const std::wstring& name : Files()) {
      std::wstring file = path_ + L"\\" + name;
      SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!DeleteFileW(file.c_str())) {
        // One level down: the backup folder beside a data file.
        WIN32_FIND_DATAW inner;
        HANDLE search = FindFirstFileW((file + L"\\*").c_str(), &inner);
        if (search != INVALID_HANDLE_VALUE) {
          do DeleteFileW((file + L"\\" + inner.cFileName).c_str());
          while (FindNextFileW(search, &inner));
          FindClose(search);
        }
        RemoveDirectoryW(file.c_str());
      }
    }
    RemoveDirectoryW(path_.c_str());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // UTF-8 path of a file in the folder.
  std::string File(const std::string& name) const { return Narrow(path_) + "\\" + name; }

  // Names of everything in the folder.
  std::vector<std::wstring> Files() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
  }

 private:
  std::wstring path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

inline std::string ReadBytes(const std::string& path) {
  HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(h);
  return bytes;
}

}  // namespace zelvo::test
