// The shared data file: one parse per read, and every write a locked,
// atomic read-modify-write of the whole file.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/services.h"
#include "store/ini_document.h"

namespace zelvo {

enum class BackupKind {
  Ordinary,
  None,           // a write of nothing but the lock record
  BeforeRestore,  // kept even within a run of one writer's changes
};

class DataFile {
 public:
  explicit DataFile(Services& services);

  void SetPath(const std::string& path) { path_ = path; }
  const std::string& Path() const { return path_; }  // DataFilePath

  // The file as it is now. A missing file reads as an empty document. A file
  // that cannot be read or is no text file shows a German message and gives
  // nothing; callers must then neither show an empty list nor write.
  std::optional<IniDocument> Read();
  // The same, but the German reason goes to `failure` instead of a message
  // box, for a caller that reports a lasting problem only once.
  std::optional<IniDocument> Read(std::string& failure);
  // The same, but when the file's bytes still have the fingerprint `known`
  // (IniDocument::Fingerprint of an earlier read) it gives no document and
  // sets `unchanged`: a reload of a file nobody changed needs no parse.
  std::optional<IniDocument> ReadIfChanged(uint64_t known, bool& unchanged, std::string& failure);

  // Locked read-modify-write. `change` edits the freshly read document and
  // returns false to leave the file untouched. It may run more than once
  // (the file is read again when another PC changed it meanwhile), so it
  // must depend on nothing but the document it is given. A change that
  // leaves the bytes as they are writes nothing and takes no lock.
  // Returns false when the file could not be read or written; the user has
  // then seen a German message, unless `quiet` is set.
  // The version replaced is kept as a backup (see store/history.h) unless
  // `backup` says otherwise; a backup that cannot be written never stops
  // the save and is said once.
  bool Update(const std::function<bool(IniDocument&)>& change, bool quiet = false,
              BackupKind backup = BackupKind::Ordinary);

  // Why the last backup could not be kept, or "" (for the debugger).
  const std::string& BackupProblem() const { return backupProblem_; }

  // Single values, each one read or one update.
  std::string GetIni(const std::string& section, const std::string& key,
                     const std::string& fallback = "");
  bool WriteIni(const std::string& section, const std::string& key, const std::string& value);

  // How many times the file was read (for benchmarks and tests).
  long ReadCount() const { return reads_; }

 private:
  enum class Step { Read, Write };
  FileError ReadBytes(std::string& bytes);
  FileError Retrying(const std::function<FileError()>& op);
  std::string FailureText(Step step, FileError error, bool notText, bool saving) const;
  FileError Save(SaveMethod method, const std::string& bytes);
  void ShowFailure(Step step, FileError error, bool notText, bool saving);
  // Keeps `replaced` as a backup; false when that failed (see BackupProblem).
  bool Backup(const std::string& replaced, SaveMethod method, BackupKind kind);

  Services& services_;
  std::string path_;
  long reads_ = 0;
  std::string backupProblem_;
  bool backupProblemSaid_ = false;
};

// The German reason shown for a file error ("Zugriff verweigert ...").
std::string FileErrorText(FileError error);

}  // namespace zelvo
