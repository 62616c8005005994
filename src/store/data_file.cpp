#include "store/data_file.h"

#include "store/history.h"
#include "store/text_codes.h"

namespace zelvo {
namespace {

// Older versions on other PCs write without our lock; when the file changes
// between our read and our replace we start over this many times.
constexpr int kMaxRounds = 4;
constexpr int kSharingWaitsMs[] = {10, 20, 40, 80, 160};

bool IsText(const std::string& bytes) { return bytes.find('\0') == std::string::npos; }

}  // namespace

std::string FileErrorText(FileError error) {
  switch (error) {
    case FileError::NotFound:
      return "Die Datei wurde nicht gefunden.";
    case FileError::Unreachable:
      return "Der Ordner wurde nicht gefunden. Bitte prüfen Sie, ob das Netzlaufwerk verbunden ist.";
    case FileError::AccessDenied:
      return "Zugriff verweigert: Die Datei oder der Ordner ist schreibgeschützt, oder Ihnen fehlen "
             "die nötigen Rechte (zum Beispiel auf einer Netzwerkfreigabe).";
    case FileError::SharingViolation:
      return "Die Datei wird gerade von einem anderen Programm verwendet. Bitte versuchen Sie es "
             "gleich noch einmal.";
    case FileError::DiskFull:
      return "Auf dem Datenträger ist nicht genügend Speicherplatz frei.";
    case FileError::NotAFile:
      return "Unter diesem Namen liegt keine gewöhnliche Datei, sondern ein Ordner, ein Gerät oder "
             "eine Pipe.";
    default:
      return "Beim Zugriff auf die Datei ist ein unerwarteter Fehler aufgetreten.";
  }
}

DataFile::DataFile(Services& services) : services_(services) {}

FileError DataFile::Retrying(const std::function<FileError()>& op) {
  FileError e = op();
  for (int wait : kSharingWaitsMs) {
    if (e != FileError::SharingViolation) break;
    services_.clock.SleepMs(wait);
    e = op();
  }
  return e;
}

FileError DataFile::ReadBytes(std::string& bytes) {
  FileError e = Retrying([&] {
    ++reads_;
    bytes.clear();
    return services_.files.ReadAll(path_, bytes);
  });
  if (e == FileError::NotFound) {
    bytes.clear();
    return FileError::None;
  }
  return e;
}

FileError DataFile::Save(SaveMethod method, const std::string& bytes) {
  if (method == SaveMethod::Replace) {
    // A folder where users may change the data file but not create files
    // (the temporary file) is written in place, as older versions did.
    const FileError e = services_.files.ReplaceAtomically(path_, bytes);
    if (e != FileError::AccessDenied) return e;
    const FileError inPlace = services_.files.WriteInPlace(path_, bytes);
    return inPlace == FileError::NotFound ? e : inPlace;
  }
  return services_.files.WriteInPlace(path_, bytes);
}

std::string DataFile::FailureText(Step step, FileError error, bool notText, bool saving) const {
  std::string text;
  if (notText) {
    text = "Die Datendatei\r\n" + path_ +
           "\r\nenthält keinen lesbaren Text (sie ist beschädigt oder keine Textdatei).";
  } else if (step == Step::Read) {
    text = "Die Datendatei\r\n" + path_ + "\r\nkonnte nicht gelesen werden.\r\n\r\n" +
           FileErrorText(error);
  } else {
    text = "Die Änderung konnte nicht in der Datendatei\r\n" + path_ +
           "\r\ngespeichert werden.\r\n\r\n" + FileErrorText(error);
  }
  if (saving) text += "\r\n\r\nEs wurde nichts gespeichert.";
  return text;
}

void DataFile::ShowFailure(Step step, FileError error, bool notText, bool saving) {
  services_.Show({FailureText(step, error, notText, saving), MsgIcon::Error});
}

std::optional<IniDocument> DataFile::Read() {
  std::string failure;
  std::optional<IniDocument> doc = Read(failure);
  if (!doc) services_.Show({failure, MsgIcon::Error});
  return doc;
}

std::optional<IniDocument> DataFile::Read(std::string& failure) {
  bool unchanged = false;
  return ReadIfChanged(0, unchanged, failure);
}

std::optional<IniDocument> DataFile::ReadIfChanged(uint64_t known, bool& unchanged,
                                                   std::string& failure) {
  unchanged = false;
  std::string bytes;
  const FileError e = ReadBytes(bytes);
  if (e != FileError::None || !IsText(bytes)) {
    failure = FailureText(Step::Read, e, e == FileError::None, false);
    return std::nullopt;
  }
  // The file is read every time, so a change by anyone is seen at once.
  // Nothing of it is kept here: a parse of 32,767 entries is kept in several
  // times the file's size, and the callers that read most often (the reload
  // before every menu) skip the parse by the fingerprint instead.
  if (known != 0 && IniDocument::FingerprintOf(bytes) == known) {
    unchanged = true;
    return std::nullopt;
  }
  return IniDocument::Parse(std::move(bytes));
}

bool DataFile::Backup(const std::string& replaced, SaveMethod method, BackupKind kind) {
  if (kind == BackupKind::None || replaced.empty()) return true;
  BackupInfo info;
  info.time = services_.clock.Now();
  info.user = services_.system.UserName();
  info.pc = services_.system.ComputerName();
  info.beforeRestore = kind == BackupKind::BeforeRestore;
  const FileError e = KeepBackup(services_.files, path_, replaced, info);
  if (e == FileError::None) {
    backupProblem_.clear();
    return true;
  }
  const std::string folder = BackupFolder(path_);
  if (method == SaveMethod::InPlace && e == FileError::AccessDenied) {
    backupProblem_ = "In diesem Ordner dürfen keine Dateien angelegt werden. Von der Datendatei wird "
                     "darum keine Sicherung aufbewahrt (es sei denn, der Ordner\r\n" +
                     folder + "\r\nwird mit Schreibrechten angelegt).";
  } else {
    backupProblem_ = "Von der Datendatei konnte keine Sicherung im Ordner\r\n" + folder +
                     "\r\nangelegt werden.\r\n\r\n" + FileErrorText(e);
  }
  return false;
}

bool DataFile::Update(const std::function<bool(IniDocument&)>& change, bool quiet,
                      BackupKind backup) {
  // Outcome of the attempt: which step failed, or none.
  std::optional<Step> failedStep;
  FileError failure = FileError::None;
  bool notText = false;

  // Reads and applies the change; false when there is nothing to write.
  std::string before, after;
  bool backupFailed = false;
  const auto prepare = [&]() -> bool {
    FileError e = ReadBytes(before);
    if (e != FileError::None || !IsText(before)) {
      failedStep = Step::Read;
      failure = e;
      notText = e == FileError::None;
      return false;
    }
    IniDocument doc = IniDocument::Parse(before);
    if (!change(doc)) return false;
    after = doc.Serialize();
    return after != before;
  };

  // Most calls change nothing (releasing a lock nobody holds): they touch
  // neither the lock file nor the data file, which also keeps them quiet on
  // a read-only share.
  if (prepare()) {
    const auto locked = [&](SaveMethod method) -> FileError {
      for (int round = 1;; ++round) {
        if (!prepare()) return FileError::None;
        if (round < kMaxRounds) {
          std::string now;
          const FileError e = ReadBytes(now);
          if (e == FileError::None && now != before) continue;
        }
        // The backup holds exactly the bytes this save replaces.
        if (!Backup(before, method, backup)) backupFailed = true;
        return Retrying([&] { return Save(method, after); });
      }
    };
    const FileError lockError = services_.files.WithExclusiveLock(path_, locked);
    if (lockError != FileError::None && !failedStep) {
      failedStep = Step::Write;
      failure = lockError;
    }
  }
  if (backupFailed && !backupProblemSaid_ && !quiet) {
    backupProblemSaid_ = true;
    services_.Show({backupProblem_ + "\r\n\r\nDie Änderung selbst wurde gespeichert.", MsgIcon::Warning});
  }
  if (!failedStep) return true;
  if (!quiet) ShowFailure(*failedStep, failure, notText, true);
  return false;
}

std::string DataFile::GetIni(const std::string& section, const std::string& key,
                             const std::string& fallback) {
  const std::optional<IniDocument> doc = Read();
  return doc ? doc->Get(section, key, fallback) : fallback;
}

bool DataFile::WriteIni(const std::string& section, const std::string& key,
                        const std::string& value) {
  return Update([&](IniDocument& doc) {
    doc.Set(section, key, value);
    return true;
  });
}

}  // namespace zelvo
