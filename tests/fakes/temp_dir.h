// A fresh folder under /tmp, removed with everything in it at the end.
#pragma once

#include <string>

namespace zelvo {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder with a trailing "/".
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }

  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;  // "" when missing

 private:
  std::string path_;
};

}  // namespace zelvo
