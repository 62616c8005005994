// Entry point: builds the platform services and the main window, then runs
// the message loop until the main window is gone.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "platform/std_random.h"
#include "platform/win32/win32_app_settings.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_system_info.h"
#include "ui/win32/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  // The folder chooser needs COM on this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

  zelvo::Win32FileSystem files;
  zelvo::Win32Clock clock;
  zelvo::StdRandomSource random;
  zelvo::Win32AppSettings settings;
  zelvo::Win32Dialogs dialogs;
  zelvo::Win32SystemInfo system;
  zelvo::Services services{files, clock, random, settings, dialogs, system};

  int exitCode = 0;
  {
    zelvo::MainWindow mainWindow(instance, services);
    if (mainWindow.Create()) {
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (mainWindow.PreTranslate(msg)) continue;
        if (mainWindow.PreTranslateMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      exitCode = static_cast<int>(msg.wParam);
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return exitCode;
}
