// The lock record in Common/Lock that keeps two PCs from editing at once.
#pragma once

#include <string>

#include "platform/services.h"
#include "store/data_file.h"

namespace zelvo {

// Where the file holds the lock record.
inline constexpr const char* kLockSection = "Common";
inline constexpr const char* kLockKey = "Lock";

class DataLock {
 public:
  DataLock(Services& services, DataFile& file);

  bool IsLocked();
  std::string LockField(int n);  // 0: whole record, n >= 1: field n
  // Checks and takes in one locked update. True means refused (the user has
  // seen why); a failed write also counts as refused. `quiet` keeps a failed
  // read or write from showing a message (a lock whose result nobody uses,
  // taken while the user merely browses a read-only share); a record of
  // someone else is always named.
  bool AcquireLock(bool quiet = false);
  // Removes the record when it is our own, or always with force; the
  // comparison and the removal happen in one locked update. Without force,
  // an instance that holds no lock does not touch the file.
  void ReleaseLock(bool force);
  // Asks, then removes the record that the question showed.
  void RemoveLockDialog();

  // The record as the file holds it (after its code page), so that the
  // release recognises it whatever characters the user and PC names have.
  const std::string& OwnLockValue() const { return ownLockValue_; }
  bool Held() const { return held_; }

 private:
  std::string BuildRecord();
  // Empties Lock when it holds `expected` (any record with force).
  bool ClearIf(const std::string& expected, bool force);

  Services& services_;
  DataFile& file_;
  std::string ownLockValue_;
  bool held_ = false;
};

}  // namespace zelvo
