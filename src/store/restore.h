// Bringing back a backup of the data file, whole or one entry of it.
#pragma once

#include <optional>
#include <string>

#include "platform/services.h"
#include "store/data_file.h"
#include "store/data_lock.h"
#include "store/ini_document.h"

namespace zelvo {

// A backup as a document; a German message and nothing when it cannot be read.
std::optional<IniDocument> ReadBackup(Services& services, const std::string& dataPath,
                                      const std::string& backupFileName);

// Writes the backup's version over the data file under the data lock; the
// version it replaces is kept as a backup first. The lock record the file
// holds now stays, so a restore never brings back a stale lock. False when
// the lock was refused or reading or writing failed (the user has been told).
bool RestoreBackup(Services& services, DataFile& file, DataLock& lock,
                   const std::string& backupFileName);

// Takes the backup's first entry named `entryName` into the data file:
// over the entry of that name, or as a new last entry when the name is
// gone. Gives the entry's number, or nothing (the user has been told why).
std::optional<int> RestoreEntry(Services& services, DataFile& file, DataLock& lock,
                                const std::string& backupFileName, const std::string& entryName);

}  // namespace zelvo
