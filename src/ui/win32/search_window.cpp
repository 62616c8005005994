#include "ui/win32/search_window.h"

#include <commctrl.h>

#include "platform/win32/display.h"
#include "platform/win32/wide.h"
#include "search/search_layout.h"
#include "ui/win32/window_class.h"

namespace zelvo {
namespace {

constexpr wchar_t kWindowClass[] = L"ZelvoscriptSearchWindow";
constexpr int kEditId = 100, kListId = 101, kDetailId = 102;
// Posted once the window is on screen; runs `whenShown` from the loop.
constexpr UINT kShownMessage = WM_APP + 1;
constexpr wchar_t kCueBanner[] = L"Textbaustein suchen \u2026";

PixelRect WorkAreaAt(POINT at) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &info))
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
  return {info.rcWork.left, info.rcWork.top, info.rcWork.right - info.rcWork.left,
          info.rcWork.bottom - info.rcWork.top};
}

// Height of one line of text in `font`, in pixels.
int LineHeight(HFONT font) {
  HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}

HWND Child(HWND parent, const wchar_t* cls, DWORD style, const PixelRect& r, int id,
           HINSTANCE instance, DWORD exStyle = WS_EX_CLIENTEDGE) {
  return CreateWindowExW(exStyle, cls, L"", WS_CHILD | WS_VISIBLE | style,
                         r.left, r.top, r.width, r.height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

}  // namespace

SearchWindow::~SearchWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool SearchWindow::Create(const std::string& caption) {
  RegisterWindowClass(instance_, {kWindowClass, &SearchWindow::WndProc, IDC_ARROW,
                                  reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});
  POINT at{};
  GetCursorPos(&at);
  const PixelRect workArea = WorkAreaAt(at);
  const auto layoutAt = [&](int dpi) {
    font_.Reset(CreateMessageFont(dpi));
    return LayoutSearchWindow(dpi, at.x, at.y, workArea, MetricForDpi(SM_CXBORDER, dpi),
                              LineHeight(font_.Get()));
  };
  SearchLayout layout = layoutAt(SystemDpi());
  const PixelRect& w = layout.window;
  // Owned by the hidden main window: no taskbar button, gone with the program.
  CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kWindowClass, Widen(caption).c_str(),
                  WS_POPUP | WS_BORDER | WS_CLIPCHILDREN, w.left, w.top, w.width, w.height,
                  owner_, nullptr, instance_, this);
  if (!hwnd_) return false;
  // The monitor at the pointer may scale differently from the primary one.
  const int dpi = WindowDpi(hwnd_);
  if (dpi != SystemDpi()) {
    layout = layoutAt(dpi);
    SetWindowPos(hwnd_, nullptr, w.left, w.top, w.width, w.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }

  edit_ = Child(hwnd_, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, layout.edit, kEditId, instance_);
  list_ = Child(hwnd_, WC_LISTVIEWW,
                WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                    LVS_NOCOLUMNHEADER,
                layout.list, kListId, instance_);
  // Wraps; "&" in a name is shown as it is.
  detail_ = Child(hwnd_, L"STATIC", SS_LEFT | SS_NOPREFIX, layout.detail, kDetailId, instance_, 0);
  if (!edit_ || !list_ || !detail_) return false;
  const HGDIOBJ font = font_.Get() ? static_cast<HGDIOBJ>(font_.Get()) : GetStockObject(DEFAULT_GUI_FONT);
  for (HWND control : {edit_, list_, detail_})
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(edit_, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(kCueBanner));
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);

  RECT client{};
  GetClientRect(list_, &client);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = layout.nameColumn;
  ListView_InsertColumn(list_, 0, &column);
  column.cx = client.right - layout.nameColumn - MetricForDpi(SM_CXVSCROLL, dpi);
  ListView_InsertColumn(list_, 1, &column);
  return true;
}

std::optional<EntryListItem> SearchWindow::Run(SearchForm& form, const std::string& caption,
                                              HWND cameFrom,
                                              const std::function<void()>& whenShown) {
  form_ = &form;
  done_ = false;
  if (Create(caption)) {
    form.AttachView(this);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetFocus(edit_);
    UpdateWindow(hwnd_);
    // From the loop, so that the window answers and shows what is typed
    // first; keys pressed meanwhile wait in the queue.
    whenShown_ = whenShown;
    if (whenShown_) PostMessageW(hwnd_, kShownMessage, 0, 0);
    MSG msg;
    while (!done_) {
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got <= 0) {
        // The program is ending: the outer loop must see the quit too.
        if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (PreTranslate(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    done_ = true;  // so that losing the focus while closing cancels nothing
    form.AttachView(nullptr);
  }
  if (hwnd_) DestroyWindow(hwnd_);
  form_ = nullptr;
  if (form.ReturnFocus() && cameFrom && IsWindow(cameFrom)) SetForegroundWindow(cameFrom);
  return form.Choice();
}

bool SearchWindow::PreTranslate(MSG& msg) {
  if (msg.hwnd != edit_ && msg.hwnd != list_) return false;
  if (msg.message == WM_KEYDOWN) {
    switch (msg.wParam) {
      case VK_RETURN:
        form_->OnEnter();
        return true;
      case VK_ESCAPE:
        form_->OnEscape();
        return true;
      case VK_UP:
      case VK_DOWN:
      case VK_PRIOR:
      case VK_NEXT:
        // The caret stays in the edit box; the list moves its selection.
        if (msg.hwnd != edit_) return false;
        SendMessageW(list_, WM_KEYDOWN, msg.wParam, msg.lParam);
        return true;
      default:
        return false;
    }
  }
  // The wheel scrolls the list wherever the focus is.
  if (msg.message == WM_MOUSEWHEEL && msg.hwnd == edit_) {
    SendMessageW(list_, WM_MOUSEWHEEL, msg.wParam, msg.lParam);
    return true;
  }
  // Typing while the list has the focus goes on with the query.
  if (msg.message == WM_CHAR && msg.hwnd == list_) {
    SetFocus(edit_);
    msg.hwnd = edit_;
  }
  return false;
}

void SearchWindow::ShowRows(std::size_t count) {
  if (!list_) return;
  // Only the one selected row is cleared: clearing "all rows" of a virtual
  // list of 32,767 costs a notification each on some systems.
  const int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
  if (selected >= 0) ListView_SetItemState(list_, selected, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemCountEx(list_, static_cast<int>(count), 0);
  if (count == 0) return;
  ListView_SetItemState(list_, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list_, 0, FALSE);
}

int SearchWindow::SelectedRow() {
  return list_ ? ListView_GetNextItem(list_, -1, LVNI_SELECTED) : -1;
}

void SearchWindow::ShowDetail(const std::string& text) {
  if (detail_) SetWindowTextW(detail_, Widen(text).c_str());
}

void SearchWindow::OnQueryEdited() {
  const int length = GetWindowTextLengthW(edit_);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(edit_, text.data(), length + 1)));
  form_->OnQueryChanged(Narrow(text));
}

LRESULT SearchWindow::OnNotify(NMHDR* header) {
  if (header->hwndFrom != list_ || !form_) return 0;
  switch (header->code) {
    case LVN_GETDISPINFOW: {
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
      if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return 0;
      const std::size_t row = static_cast<std::size_t>(item.iItem);
      const std::string text = item.iSubItem == 0 ? std::string(form_->RowName(row)) : form_->RowPreview(row);
      lstrcpynW(item.pszText, Widen(text).c_str(), item.cchTextMax);
      return 0;
    }
    case NM_CUSTOMDRAW:
      return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    case LVN_ITEMCHANGED: {
      const NMLISTVIEW& change = *reinterpret_cast<NMLISTVIEW*>(header);
      if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) &&
          !(change.uOldState & LVIS_SELECTED))
        form_->OnRowSelected(change.iItem);
      return 0;
    }
    case NM_DBLCLK: {
      const int row = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
      if (row >= 0) form_->OnRowActivated(row);
      return 0;
    }
    default:
      return 0;
  }
}

LRESULT SearchWindow::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
  // The focus stays in the edit box, where a list shows its selection pale;
  // the chosen row must stand out as in a menu. Previews are grey.
  NMCUSTOMDRAW& item = draw->nmcd;
  switch (item.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      const int row = static_cast<int>(item.dwItemSpec);
      const bool selected = ListView_GetItemState(list_, row, LVIS_SELECTED) != 0;
      item.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
      draw->clrTextBk = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
      draw->clrText = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT
                                           : draw->iSubItem == 0 ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
      return item.dwDrawStage == CDDS_ITEMPREPAINT ? CDRF_NOTIFYSUBITEMDRAW | CDRF_NEWFONT
                                                   : CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

LRESULT CALLBACK SearchWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = WindowObject<SearchWindow>(hwnd, msg, lp);
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCCREATE) self->hwnd_ = hwnd;
  if (msg == WM_NCDESTROY) {
    self->hwnd_ = self->edit_ = self->list_ = self->detail_ = nullptr;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  return self->OnMessage(msg, wp, lp);
}

LRESULT SearchWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == kEditId && HIWORD(wp) == EN_CHANGE && form_) OnQueryEdited();
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_ACTIVATE:
      // A click elsewhere closes it, as it closes a menu.
      if (LOWORD(wp) == WA_INACTIVE && !done_ && form_) form_->OnFocusLost();
      break;
    case kShownMessage:
      if (whenShown_ && !done_) whenShown_();
      whenShown_ = nullptr;
      return 0;
    case WM_CLOSE:  // Alt+F4 counts as Escape
      if (form_) form_->OnEscape();
      return 0;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace zelvo
