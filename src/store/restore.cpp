#include "store/restore.h"

#include <utility>

#include "store/history.h"
#include "store/snippet_store.h"

namespace zelvo {
namespace {

int FindEntry(const IniDocument& doc, const std::string& name) {
  const int count = SnippetStore::EntryCount(doc);
  for (int n = 1; n <= count; ++n)
    if (doc.Get(kFieldName, std::to_string(n)) == name) return n;
  return 0;
}

}  // namespace

std::optional<IniDocument> ReadBackup(Services& services, const std::string& dataPath,
                                      const std::string& backupFileName) {
  const std::string path = BackupPath(dataPath, backupFileName);
  std::string bytes;
  const FileError e = services.files.ReadAll(path, bytes);
  if (e != FileError::None) {
    services.Show({"Die Sicherung\r\n" + path + "\r\nkonnte nicht gelesen werden.\r\n\r\n" +
                       FileErrorText(e),
                   MsgIcon::Error});
    return std::nullopt;
  }
  return IniDocument::Parse(std::move(bytes));
}

bool RestoreBackup(Services& services, DataFile& file, DataLock& lock,
                   const std::string& backupFileName) {
  const std::optional<IniDocument> backup = ReadBackup(services, file.Path(), backupFileName);
  if (!backup || lock.AcquireLock()) return false;
  const bool ok = file.Update(
      [&](IniDocument& doc) {
        const std::string lockNow = doc.Get(kLockSection, kLockKey);
        IniDocument restored = *backup;
        if (restored.Get(kLockSection, kLockKey) != lockNow) restored.Set(kLockSection, kLockKey, lockNow);
        doc = restored;
        return true;
      },
      false, BackupKind::BeforeRestore);
  lock.ReleaseLock(false);
  return ok;
}

std::optional<int> RestoreEntry(Services& services, DataFile& file, DataLock& lock,
                                const std::string& backupFileName, const std::string& entryName) {
  const std::optional<IniDocument> backup = ReadBackup(services, file.Path(), backupFileName);
  if (!backup) return std::nullopt;
  const int from = FindEntry(*backup, entryName);
  if (from == 0) {
    services.Show({"Die Sicherung enthält keinen Eintrag ''" + entryName + "''.", MsgIcon::Information});
    return std::nullopt;
  }
  if (lock.AcquireLock()) return std::nullopt;
  int number = 0;
  const bool ok = file.Update([&](IniDocument& doc) {
    number = FindEntry(doc, entryName);
    if (number == 0) number = SnippetStore::EntryCount(doc) + 1;
    // The stored values as they are: an enciphered text keeps its ciphertext.
    for (const char* field : {kFieldName, kFieldCrypt, kFieldText, kFieldTitle, kFieldDosBox}) {
      const std::string key = std::to_string(from);
      if (backup->Has(field, key)) doc.Set(field, std::to_string(number), backup->Get(field, key));
    }
    return true;
  });
  lock.ReleaseLock(false);
  if (!ok) return std::nullopt;
  return number;
}

}  // namespace zelvo
