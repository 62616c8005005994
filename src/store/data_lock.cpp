#include "store/data_lock.h"

#include <vector>

#include "store/text_codes.h"

namespace zelvo {
namespace {

constexpr const char* kCommon = kLockSection;
constexpr const char* kLock = kLockKey;

constexpr const char* kRemoveTemplate =
    "Diese Funktion ist für Notfälle gedacht, in denen die Daten gesperrt sind, obwohl kein "
    "Anwender aktuell Änderungen daran durchführt.\\n\\nBitte beachten Sie, dass es bei "
    "unsachgemässer Verwendung dieser Funktion zu Datenverlust kommen kann.\\n\\nDie Daten wurden "
    "zuletzt am %3 wegen Zugriffs von ''%1'' mit PC ''%2'' gesperrt.\\n\\nWollen Sie die Sperre "
    "jetzt aufheben?";

std::string OrUnknown(const std::string& name, const char* unknown) {
  const std::string cut = CutAtNul(name);
  return cut.empty() ? unknown : cut;
}

std::string RandomDigits(RandomSource& random, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += static_cast<char>(RoundHalfEven(48 + 9 * random.Next()));
  return out;
}

}  // namespace

DataLock::DataLock(Services& services, DataFile& file) : services_(services), file_(file) {}

std::string DataLock::BuildRecord() {
  services_.random.Reseed(services_.clock.SecondsSinceMidnight());
  return OrUnknown(services_.system.UserName(), "(Anwender unbekannt)") + ";" +
         OrUnknown(services_.system.ComputerName(), "(Computer unbekannt)") + ";" +
         GeneralDateTime(services_.clock, services_.clock.Now()) + ";" +
         RandomDigits(services_.random, 16);
}

bool DataLock::IsLocked() { return !LockField(0).empty(); }

std::string DataLock::LockField(int n) {
  const std::string record = file_.GetIni(kCommon, kLock, "");
  return n == 0 ? record : SplitField(record, n, ";");
}

bool DataLock::AcquireLock(bool quiet) {
  const std::string record = BuildRecord();
  std::string holder, stored;
  const bool ok = file_.Update(
      [&](IniDocument& doc) {
        holder = doc.Get(kCommon, kLock, "");
        if (!holder.empty()) return false;
        doc.Set(kCommon, kLock, record);
        stored = doc.Get(kCommon, kLock, "");
        return true;
      },
      quiet, BackupKind::None);
  if (!ok) return true;
  if (!holder.empty()) {
    services_.Show({"Änderungen sind zur Zeit nicht möglich, da die Daten bereits von \r''" +
                        SplitField(holder, 1, ";") + "'' auf ''" + SplitField(holder, 2, ";") +
                        "'' bearbeitet werden.",
                    MsgIcon::Information});
    return true;
  }
  ownLockValue_ = stored;
  held_ = true;
  return false;
}

bool DataLock::ClearIf(const std::string& expected, bool force) {
  return file_.Update([&](IniDocument& doc) {
    const std::string current = doc.Get(kCommon, kLock, "");
    if (current.empty() || (!force && current != expected)) return false;
    doc.Set(kCommon, kLock, "");
    return true;
  }, false, BackupKind::None);
}

void DataLock::ReleaseLock(bool force) {
  if (!force && !held_) return;
  // Kept as held when the file could not be written, so a later release
  // (hiding the window, program end) tries again.
  if (ClearIf(ownLockValue_, force)) held_ = false;
}

void DataLock::RemoveLockDialog() {
  const std::string record = LockField(0);
  if (record.empty()) {
    services_.Show({"Es liegt keine Datensperre vor.", MsgIcon::Information});
    return;
  }
  const std::string text = FormatMessage(
      kRemoveTemplate,
      {SplitField(record, 1, ";"), SplitField(record, 2, ";"), SplitField(record, 3, ";")});
  const MsgResult answer =
      services_.Show({text, MsgIcon::Warning, MsgButtons::YesNo, MsgResult::No});
  // Only the record the user saw is removed: a lock taken by someone else
  // while the question was open stays.
  if (answer == MsgResult::Yes) ClearIf(record, false);
}

}  // namespace zelvo
