#include "platform/win32/win32_keyboard.h"

#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

namespace zelvo {

namespace {

INPUT VirtualKey(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

INPUT UnicodeUnit(wchar_t unit, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wScan = static_cast<WORD>(unit);
  in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
  return in;
}

void AppendCharacter(std::vector<INPUT>& out, char32_t ch) {
  wchar_t units[2];
  int n = 1;
  if (ch >= 0x10000 && ch <= 0x10FFFF) {
    units[0] = static_cast<wchar_t>(0xD800 + ((ch - 0x10000) >> 10));
    units[1] = static_cast<wchar_t>(0xDC00 + ((ch - 0x10000) & 0x3FF));
    n = 2;
  } else {
    units[0] = static_cast<wchar_t>(ch > 0x10FFFF ? 0xFFFD : ch);
  }
  for (int i = 0; i < n; ++i) {
    out.push_back(UnicodeUnit(units[i], false));
    out.push_back(UnicodeUnit(units[i], true));
  }
}

// The events of one stroke: modifiers down, the key, modifiers up.
std::vector<INPUT> EventsOf(const KeyStroke& k) {
  std::vector<INPUT> out;
  WORD vk = 0;
  bool shift = k.shift, ctrl = k.ctrl, alt = k.alt;
  switch (k.kind) {
    case KeyStroke::Kind::Enter: vk = VK_RETURN; break;
    case KeyStroke::Kind::Tab: vk = VK_TAB; break;
    case KeyStroke::Kind::Key:
      if (k.ch == U' ') {
        vk = VK_SPACE;
      } else if ((k.ch >= U'a' && k.ch <= U'z') || (k.ch >= U'A' && k.ch <= U'Z')) {
        vk = static_cast<WORD>(k.ch & ~0x20u);  // VK_A.. are the upper-case letters
      } else if (k.ch >= U'0' && k.ch <= U'9') {
        vk = static_cast<WORD>(k.ch);
      } else if (k.ch < 0x10000) {
        SHORT scan = VkKeyScanW(static_cast<wchar_t>(k.ch));
        if (scan != -1) {
          vk = LOBYTE(scan);
          shift |= (HIBYTE(scan) & 1) != 0;
          ctrl |= (HIBYTE(scan) & 2) != 0;
          alt |= (HIBYTE(scan) & 4) != 0;
        }
      }
      break;
    case KeyStroke::Kind::Character: break;
  }
  if (vk == 0 && !shift && !ctrl && !alt) {
    AppendCharacter(out, k.ch);
    return out;
  }
  const std::pair<bool, WORD> modifiers[] = {{ctrl, VK_CONTROL}, {alt, VK_MENU}, {shift, VK_SHIFT}};
  for (const auto& [held, mvk] : modifiers)
    if (held) out.push_back(VirtualKey(mvk, false));
  if (vk != 0) {
    out.push_back(VirtualKey(vk, false));
    out.push_back(VirtualKey(vk, true));
  } else {
    AppendCharacter(out, k.ch);
  }
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
    if (it->first) out.push_back(VirtualKey(it->second, true));
  return out;
}

// A key that no keyboard has and no program reacts to.
constexpr WORD kFenceKey = 0xE8;

template <typename F>
bool PollFor(DWORD timeoutMs, F done) {
  for (DWORD waited = 0;; waited += 2) {
    if (done()) return true;
    if (waited >= timeoutMs) return false;
    Sleep(2);
  }
}

void SendKey(WORD vk, bool up) {
  INPUT in = VirtualKey(vk, up);
  SendInput(1, &in, sizeof in);
}

// Waits until the program in front has read every key sent so far, so that
// typing goes no faster than the target takes it and a switch of windows or
// an Esc stops what has not been typed yet. The fence key is pressed behind
// the keys; a helper thread that shares the target thread's keyboard state
// sees it go down once the target has read it from its queue. Where that
// state cannot be shared, the wait is for the target's message loop.
// True when the target was seen to read the keys.
bool WaitUntilHandedOver() {
  HWND target = GetForegroundWindow();
  if (!target) return false;
  DWORD pid = 0;
  const DWORD thread = GetWindowThreadProcessId(target, &pid);
  if (pid == 0 || pid == GetCurrentProcessId()) return false;  // waiting on ourselves would stall
  const DWORD timeout = Win32Keyboard::kHandOverTimeoutMs;
  bool fenced = false;
  std::thread helper([&] {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // attaching needs a message queue
    if (!AttachThreadInput(GetCurrentThreadId(), thread, TRUE)) return;
    auto fenceDown = [] { return (GetKeyState(kFenceKey) & 0x8000) != 0; };
    PollFor(timeout, [&] { return !fenceDown(); });  // the last fence's release has been read
    SendKey(kFenceKey, false);
    // Another window in front gets the fence key instead: no use waiting.
    fenced = PollFor(timeout, [&] { return fenceDown() || GetForegroundWindow() != target; });
    SendKey(kFenceKey, true);
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
  });
  helper.join();
  if (fenced) return true;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeout, &ignored);
  return false;
}

// One SendInput call per batch, then the wait for the target.
Handover SendBatch(std::vector<INPUT>& batch) {
  size_t done = 0;
  while (done < batch.size()) {
    UINT n = SendInput(static_cast<UINT>(batch.size() - done), batch.data() + done, sizeof(INPUT));
    if (n == 0) return Handover::Refused;  // blocked, e.g. by a window of higher rights
    done += n;
  }
  batch.clear();
  return WaitUntilHandedOver() ? Handover::Taken : Handover::Unconfirmed;
}

class HookEscapeWatch : public EscapeWatch {
 public:
  HookEscapeWatch() {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ready_ = ready;
    thread_ = CreateThread(nullptr, 0, &HookEscapeWatch::Run, this, 0, &threadId_);
    if (thread_) WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
  }
  ~HookEscapeWatch() override {
    if (!thread_) return;
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
  }
  HookEscapeWatch(const HookEscapeWatch&) = delete;
  HookEscapeWatch& operator=(const HookEscapeWatch&) = delete;

  bool Pressed() override { return pressed_.load(); }

 private:
  static DWORD WINAPI Run(void* param) {
    auto* self = static_cast<HookEscapeWatch*>(param);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before WM_QUIT is posted
    current_ = self;
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, &HookEscapeWatch::OnKey, GetModuleHandleW(nullptr), 0);
    SetEvent(self->ready_);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    }
    if (hook) UnhookWindowsHookEx(hook);
    return 0;
  }

  // Runs on the watch's thread: the hook is called on the thread that set it.
  static LRESULT CALLBACK OnKey(int code, WPARAM message, LPARAM data) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    if (code == HC_ACTION && key->vkCode == VK_ESCAPE && !(key->flags & LLKHF_INJECTED)) {
      if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) current_->pressed_ = true;
      return 1;  // the Esc was meant for us, not for the target
    }
    return CallNextHookEx(nullptr, code, message, data);
  }

  static thread_local HookEscapeWatch* current_;
  HANDLE ready_ = nullptr;
  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
  std::atomic<bool> pressed_{false};
};

thread_local HookEscapeWatch* HookEscapeWatch::current_ = nullptr;

}  // namespace

std::unique_ptr<EscapeWatch> Win32Keyboard::WatchForEscape() {
  return std::make_unique<HookEscapeWatch>();
}

Handover Win32Keyboard::Send(const KeySequence& keys) {
  std::vector<INPUT> batch;
  batch.reserve(kMaxEventsPerCall);
  // A target that read the last keys has read all before them.
  Handover last = Handover::Taken;
  for (const KeyStroke& k : keys) {
    std::vector<INPUT> events = EventsOf(k);
    // A stroke is never split, so no modifier stays down between batches.
    if (!batch.empty() && batch.size() + events.size() > static_cast<size_t>(kMaxEventsPerCall))
      if ((last = SendBatch(batch)) == Handover::Refused) return last;
    batch.insert(batch.end(), events.begin(), events.end());
  }
  return batch.empty() ? last : SendBatch(batch);
}

bool Win32Keyboard::ModifiersHeld() {
  for (int vk : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN})
    if (GetAsyncKeyState(vk) & 0x8000) return true;
  return false;
}

}  // namespace zelvo
