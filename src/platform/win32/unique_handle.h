// Move-only owners of kernel handles and registry keys.
#pragma once

#include <windows.h>

#include <utility>

namespace zelvo {

// Owns a HANDLE from CreateFileW and friends (INVALID_HANDLE_VALUE = none).
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : h_(h) {}
  UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, INVALID_HANDLE_VALUE)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      h_ = std::exchange(other.h_, INVALID_HANDLE_VALUE);
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  HANDLE Get() const { return h_; }
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  // Closes now; false when CloseHandle failed (for a written file: data may be lost).
  bool Close() {
    if (!Valid()) return true;
    bool ok = CloseHandle(std::exchange(h_, INVALID_HANDLE_VALUE)) != 0;
    return ok;
  }
  void Reset() { Close(); }

 private:
  HANDLE h_ = INVALID_HANDLE_VALUE;
};

class UniqueRegKey {
 public:
  UniqueRegKey() = default;
  UniqueRegKey(UniqueRegKey&& other) noexcept : k_(std::exchange(other.k_, nullptr)) {}
  UniqueRegKey& operator=(UniqueRegKey&&) = delete;
  UniqueRegKey(const UniqueRegKey&) = delete;
  UniqueRegKey& operator=(const UniqueRegKey&) = delete;
  ~UniqueRegKey() {
    if (k_) RegCloseKey(k_);
  }
  HKEY Get() const { return k_; }
  HKEY* Out() { return &k_; }  // only on a fresh, empty owner

 private:
  HKEY k_ = nullptr;
};

}  // namespace zelvo
