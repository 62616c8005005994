#include "ui/win32/backups_window.h"

#include "platform/win32/wide.h"
#include "ui/win32/accessible.h"
#include "ui/win32/list_box.h"

namespace zelvo {
namespace {

enum : int {
  kIdBackups = 100,
  kIdChanges = 101,
  kIdEntriesLabel = 102,
  kIdEntries = 103,
  kIdRestoreAll = 200,
  kIdRestoreEntry = 201,
};

}  // namespace

void BackupsWindow::Open() {
  DialogTemplate t(L"Sicherungen", 340, 252, 7);
  t.Item(kListBoxClass, L"", kIdBackups,
         LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 7,
         326, 90);
  t.Item(kEditClass, L"", kIdChanges,
         ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 102, 326, 56);
  t.Item(kStaticClass, L"Eintr\u00e4ge dieser Sicherung:", kIdEntriesLabel, SS_LEFT, 7, 164, 200, 9);
  t.Item(kListBoxClass, L"", kIdEntries,
         LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 175, 200, 70);
  t.Item(kButtonClass, L"&Wiederherstellen", kIdRestoreAll, BS_PUSHBUTTON | WS_TABSTOP, 214, 175, 119, 14);
  t.Item(kButtonClass, L"&Eintrag \u00fcbernehmen", kIdRestoreEntry, BS_PUSHBUTTON | WS_TABSTOP, 214, 193,
         119, 14);
  t.Item(kButtonClass, L"Schlie\u00dfen", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 214, 231, 119, 14);
  Load(main_, t);
}

void BackupsWindow::OnLoad() {
  SetAccessibleName(GetDlgItem(hwnd_, kIdBackups), L"Sicherungen");
  SetAccessibleName(GetDlgItem(hwnd_, kIdChanges), L"Was die Wiederherstellung \u00e4ndern w\u00fcrde");
  SetAccessibleName(GetDlgItem(hwnd_, kIdEntries), L"Eintr\u00e4ge dieser Sicherung");
  // Date, time, user, PC and entries as columns.
  INT stops[] = {62, 104, 172, 250};
  SendDlgItemMessageW(hwnd_, kIdBackups, LB_SETTABSTOPS, ARRAYSIZE(stops), reinterpret_cast<LPARAM>(stops));
  SetCaption(caption_);
  PlaceNear(main_);
  form_.OnLoad();
}

void BackupsWindow::ShowBackups(const std::vector<std::string>& lines) {
  // Wine's list box cuts the last character off each tabbed column; a blank
  // behind each column is what it cuts instead.
  std::vector<std::string> padded;
  padded.reserve(lines.size());
  for (const std::string& line : lines) {
    std::string p;
    for (const char c : line) p += c == '\t' ? std::string(" \t") : std::string(1, c);
    padded.push_back(p + " ");
  }
  FillList(GetDlgItem(hwnd_, kIdBackups), padded);
}

void BackupsWindow::ShowChanges(const std::string& text) {
  SetDlgItemTextW(hwnd_, kIdChanges, Widen(text).c_str());
}

void BackupsWindow::ShowEntries(const std::vector<std::string>& names) {
  FillList(GetDlgItem(hwnd_, kIdEntries), names);
}

int BackupsWindow::SelectedBackup() {
  const LRESULT row = SendDlgItemMessageW(hwnd_, kIdBackups, LB_GETCURSEL, 0, 0);
  return row == LB_ERR ? -1 : static_cast<int>(row);
}

void BackupsWindow::SelectBackup(int row) { SendDlgItemMessageW(hwnd_, kIdBackups, LB_SETCURSEL, row, 0); }

std::optional<std::string> BackupsWindow::SelectedEntry() {
  return SelectedListText(GetDlgItem(hwnd_, kIdEntries));
}

void BackupsWindow::OnCommand(int id, int code) {
  if (id == kIdBackups && code == LBN_SELCHANGE) form_.OnBackupSelected();
  if (code != BN_CLICKED) return;
  if (id == kIdRestoreAll) form_.OnRestoreAll();
  if (id == kIdRestoreEntry) form_.OnRestoreEntry();
}

}  // namespace zelvo
