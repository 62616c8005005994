// The lock record in Common/Lock that keeps two PCs from editing at once.
#pragma once

#include <string>

#include "platform/services.h"
#include "store/data_file.h"

namespace zelvo {

class DataLock {
 public:
  DataLock(Services& services, DataFile& file);

  bool IsLocked();
  std::string LockField(int n);  // 0: whole record, n >= 1: field n
  // Checks and takes in one locked update. True means refused (the user has
  // seen why); a failed write also counts as refused.
  bool AcquireLock();
  // Removes the record when it is our own, or always with force; the
  // comparison and the removal happen in one locked update.
  void ReleaseLock(bool force);
  // Asks, then removes the record that the question showed.
  void RemoveLockDialog();

  const std::string& OwnLockValue() const { return ownLockValue_; }

 private:
  std::string BuildRecord();
  // Empties Lock when it holds `expected` (any record with force).
  bool ClearIf(const std::string& expected, bool force);

  Services& services_;
  DataFile& file_;
  std::string ownLockValue_;
};

}  // namespace zelvo
