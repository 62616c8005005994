#include "platform/win32/win32_shell.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/wide.h"

namespace zelvo {

void Win32Shell::OpenDocument(const std::string& target, ShowMode mode) {
  ShellExecuteW(GetDesktopWindow(), L"open", Widen(target).c_str(), nullptr, nullptr,
                static_cast<int>(mode));
}

bool Win32Shell::RunCommand(const std::string& commandLine, ShowMode mode) {
  std::wstring line = Widen(commandLine);  // CreateProcessW may write into it
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(mode);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

}  // namespace zelvo
