#include "ui/win32/main_window.h"

#include <shellapi.h>

#include "platform/win32/display.h"
#include "platform/win32/wide.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/window_class.h"

namespace zelvo {
namespace {

constexpr wchar_t kWindowClass[] = L"ZelvoscriptMainWindow";
constexpr wchar_t kInstanceMutex[] = L"Local\\Brannox.Zelvoscript.SingleInstance";
constexpr UINT kTrayMessage = WM_USER;
// Posted when a log-off was refused, to show the text that was kept.
constexpr UINT kKeptTextMessage = WM_APP + 0x52;
constexpr UINT_PTR kPollTimerId = 1;
constexpr UINT kPollIntervalMs = 2000;

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, Services& services)
    : instance_(instance), services_(services), program_(services, *this) {}

MainWindow::~MainWindow() {
  if (icon_) DestroyIcon(icon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
  if (instanceMutex_) CloseHandle(instanceMutex_);
}

bool MainWindow::ClaimSingleInstance() {
  instanceMutex_ = CreateMutexW(nullptr, FALSE, kInstanceMutex);
  if (instanceMutex_ && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(instanceMutex_);
    instanceMutex_ = nullptr;
    return false;
  }
  return true;
}

bool MainWindow::Create() {
  icon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_ZELVOSCRIPT), IMAGE_ICON,
                                        GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  smallIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_ZELVOSCRIPT),
                                             IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  RegisterWindowClass(instance_, {kWindowClass, &MainWindow::WndProc, IDC_ARROW,
                                  reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), icon_, smallIcon_});

  // Created without WS_VISIBLE and never shown at start-up, so it can't flash.
  hwnd_ = CreateWindowExW(0, kWindowClass, Widen(kProductTitle).c_str(), WS_OVERLAPPEDWINDOW,
                          CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance_, this);
  if (!hwnd_) return false;
  activation_ = std::make_unique<ActivationWiring>(instance_, hwnd_, program_, services_);
  delivery_ = std::make_unique<DeliveryWiring>(hwnd_, program_, services_);
  delivery_->Connect(*activation_);
  mainForm_ = std::make_unique<MainFormWin>(hwnd_, instance_, program_);
  mainForm_->Create();
  mainForm_->showOptions = [this] { activation_->ShowOptionsDialog(); };
  mainForm_->showDebugger = [this] { OpenDebugger(); };
  mainForm_->showBackups = [this] { OpenBackups(); };
  activation_->showBackups = [this] { OpenBackups(); };
  mainForm_->showWindowList = [this] { OpenWindowList(); };
  mainForm_->showAbout = [this] { OpenAbout(); };
  mainForm_->showMainWindow = [this] { activation_->ShowMainWindow(true); };
  activation_->mayEndProgram = [this] { return mainForm_->form().MayEndProgram(); };
  delivery_->onCapture = [this] {
    if (debugger_) debugger_->SetTitles(delivery_->targets().TitelListe());
  };
  taskbarCreatedMsg_ = RegisterWindowMessageW(L"TaskbarCreated");
  if (!program_.Startup()) {
    shutDown_ = true;  // nothing was set up that needs tearing down
    DestroyWindow(hwnd_);
    return false;
  }
  return true;
}

void MainWindow::AddTrayIcon(const std::string& tip) {
  trayTip_ = Widen(tip).substr(0, 63);
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof(nid);
  nid.hWnd = hwnd_;
  nid.uID = 0;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = kTrayMessage;
  nid.hIcon = smallIcon_ ? smallIcon_ : icon_;
  lstrcpynW(nid.szTip, trayTip_.c_str(), 64);
  trayIconAdded_ = Shell_NotifyIconW(NIM_ADD, &nid) != FALSE;
}

void MainWindow::RemoveTrayIcon() {
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof(nid);
  nid.hWnd = hwnd_;
  nid.uID = 0;
  Shell_NotifyIconW(NIM_DELETE, &nid);
  trayIconAdded_ = false;
}

bool MainWindow::ShowTrayBalloon(const std::string& title, const std::string& text) {
  if (!trayIconAdded_) return false;
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof(nid);
  nid.hWnd = hwnd_;
  nid.uID = 0;
  nid.uFlags = NIF_INFO;
  nid.dwInfoFlags = NIIF_INFO;
  lstrcpynW(nid.szInfoTitle, Widen(title).c_str(), ARRAYSIZE(nid.szInfoTitle));
  lstrcpynW(nid.szInfo, Widen(text).c_str(), ARRAYSIZE(nid.szInfo));
  return Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

void MainWindow::SetMainCaption(const std::string& caption) {
  SetWindowTextW(hwnd_, Widen(caption).c_str());
}

void MainWindow::HideMainWindow() { ShowWindow(hwnd_, SW_HIDE); }

void MainWindow::ShowDataFilePath(const std::string& path) { activation_->ShowDataFilePath(path); }
void MainWindow::ApplySettings(const ProgramSettings& settings) { activation_->ApplySettings(settings); }
void MainWindow::PlaceBorderStrip(const ProgramSettings&) { activation_->PlaceBorderStrip(); }
void MainWindow::RemoveHotkey() { activation_->RemoveHotkey(); }
void MainWindow::UnloadOtherWindows() {
  // DebFrm releases the data lock as it unloads.
  if (debugger_) debugger_->Unload();
  if (windowList_) windowList_->Unload();
  if (about_) about_->Unload();
  if (backups_) backups_->Unload();
  activation_->UnloadOtherWindows();
}

void MainWindow::OpenDebugger() {
  if (!debugger_) debugger_ = std::make_unique<DebuggerWindow>(hwnd_, program_, mainForm_->shell());
  debugger_->SetTitles(delivery_->targets().TitelListe());
  debugger_->Open();
}

void MainWindow::OpenBackups() {
  if (!backups_) backups_ = std::make_unique<BackupsWindow>(hwnd_, program_);
  backups_->Open();
}

void MainWindow::OpenWindowList() {
  if (!windowList_) windowList_ = std::make_unique<WindowListWindow>(hwnd_, program_);
  windowList_->Open();
}

void MainWindow::OpenAbout() {
  if (!about_) about_ = std::make_unique<AboutWindow>(hwnd_, mainForm_->help(), program_.Caption("Info"));
  about_->Open();
}

bool MainWindow::PreTranslateMessage(MSG* msg) {
  if (activation_ && activation_->PreTranslateMessage(msg)) return true;
  for (const ModelessDialog* d : {static_cast<const ModelessDialog*>(debugger_.get()),
                                  static_cast<const ModelessDialog*>(windowList_.get()),
                                  static_cast<const ModelessDialog*>(about_.get()),
                                  static_cast<const ModelessDialog*>(backups_.get())})
    if (d && d->PreTranslate(msg)) return true;
  return false;
}
void MainWindow::EnablePollTimer() { SetTimer(hwnd_, kPollTimerId, kPollIntervalMs, nullptr); }

LRESULT CALLBACK MainWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = WindowObject<MainWindow>(hwnd, msg, lp);
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCCREATE) {
    self->hwnd_ = hwnd;
    EnableNonClientScaling(hwnd);
  }
  return self->OnMessage(msg, wp, lp);
}

LRESULT MainWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (activation_) {
    LRESULT result = 0;
    if (activation_->OnMessage(msg, wp, lp, &result)) return result;
  }
  if (msg == taskbarCreatedMsg_ && taskbarCreatedMsg_ != 0) {
    // The shell restarted: put the icon back so the program stays reachable.
    if (!trayTip_.empty() && !shutDown_) AddTrayIcon(Narrow(trayTip_));
    return 0;
  }
  if (LRESULT result; mainForm_ && mainForm_->HandleMessage(msg, wp, lp, result)) return result;
  switch (msg) {
    case kTrayMessage:
      return 0;
    case WM_TIMER:
      if (wp == kPollTimerId) delivery_->OnPollTimer();
      return 0;
    case WM_CLOSE:
      // The close box only hides; the program stays resident.
      ShowWindow(hwnd_, SW_HIDE);
      return 0;
    case WM_QUERYENDSESSION:
      return OnQueryEndSession(lp);
    case kKeptTextMessage:
      // After a refused log-off: the user decides about the text now.
      if (mainForm_->form().AfterRefusedSessionEnd()) ShutdownBlockReasonDestroy(hwnd_);
      return 0;
    case WM_ENDSESSION:
      if (wp) OnDestroy();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT MainWindow::OnQueryEndSession(LPARAM flags) {
  // The session end gets its answer at once: a quiet save of what is
  // pending, and only a text that still cannot be saved holds it up, with a
  // reason that Windows shows and the user may override.
  if (mainForm_->form().SaveForSessionEnd() || (flags & ENDSESSION_CRITICAL)) {
    ShutdownBlockReasonDestroy(hwnd_);
    return TRUE;
  }
  ShutdownBlockReasonCreate(hwnd_, L"Ein ge\u00e4nderter Textbaustein konnte nicht gespeichert werden.");
  PostMessageW(hwnd_, kKeptTextMessage, 0, 0);
  return FALSE;
}

void MainWindow::OnDestroy() {
  if (shutDown_) return;
  shutDown_ = true;
  program_.Shutdown();
}

}  // namespace zelvo
