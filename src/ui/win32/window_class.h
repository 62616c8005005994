// One way to register the program's own window classes and to find the C++
// object behind one of their windows.
#pragma once

#include <windows.h>

namespace zelvo {

struct WindowClassInfo {
  const wchar_t* name;
  WNDPROC proc;
  LPCWSTR cursor = IDC_ARROW;  // a system cursor
  HBRUSH background = nullptr;
  HICON icon = nullptr, smallIcon = nullptr;
};

// A second registration of the same name fails harmlessly, so windows that
// can be created more than once simply register each time.
inline void RegisterWindowClass(HINSTANCE instance, const WindowClassInfo& info) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = info.proc;
  wc.hInstance = instance;
  wc.hIcon = info.icon;
  wc.hIconSm = info.smallIcon;
  wc.hCursor = LoadCursorW(nullptr, info.cursor);
  wc.hbrBackground = info.background;
  wc.lpszClassName = info.name;
  RegisterClassExW(&wc);
}

// The object given as CreateWindowEx's creation parameter, kept in the
// window's user data from WM_NCCREATE on; null for the few messages before.
template <typename T>
T* WindowObject(HWND hwnd, UINT msg, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return self;
  }
  return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace zelvo
