#include "platform/raw_directory.h"

#include "platform/ansi_codec.h"
#include "platform/posix_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <cerrno>
#include <memory>

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

EntryKind kindOfMode(mode_t mode) {
  if (S_ISDIR(mode)) {
    return EntryKind::Directory;
  }
  return S_ISREG(mode) ? EntryKind::RegularFile : EntryKind::Other;
}

// Follows a symbolic link; a broken one is Other.
void classifyLink(int dirFd, const char* name, RawDirEntry& entry) {
  struct stat target;
  entry.viaLink = true;
  if (fstatat(dirFd, name, &target, 0) != 0) {
    entry.kind = EntryKind::Other;
    return;
  }
  entry.kind = kindOfMode(target.st_mode);
  entry.size = entry.kind == EntryKind::RegularFile ? target.st_size : 0;
  entry.modified = target.st_mtime;
}

// Entry types the file system did not report are settled with one lstat.
bool classifyUnknown(int dirFd, const char* name, RawDirEntry& entry) {
  struct stat own;
  if (fstatat(dirFd, name, &own, AT_SYMLINK_NOFOLLOW) != 0) {
    return false;  // vanished since the read
  }
  if (S_ISLNK(own.st_mode)) {
    classifyLink(dirFd, name, entry);
  } else {
    entry.kind = kindOfMode(own.st_mode);
    entry.size = entry.kind == EntryKind::RegularFile ? own.st_size : 0;
    entry.modified = own.st_mtime;
  }
  return true;
}

// A file's size and time, the link's own (flags AT_SYMLINK_NOFOLLOW) or its target's (0).
bool readStamp(int dirFd, const char* name, int flags, qint64& size, qint64& modified) {
  struct stat own;
  if (fstatat(dirFd, name, &own, flags) != 0) {
    return false;
  }
  size = own.st_size;
  modified = own.st_mtime;
  return true;
}

// Fills entry from one dirent; false when the entry disappeared and must be skipped.
bool classify(int dirFd, const dirent& ent, EntrySizes sizes, RawDirEntry& entry) {
  switch (ent.d_type) {
    case DT_DIR:
      entry.kind = EntryKind::Directory;
      return true;
    case DT_REG:
      entry.kind = EntryKind::RegularFile;
      return sizes == EntrySizes::Skip ||
             readStamp(dirFd, ent.d_name, AT_SYMLINK_NOFOLLOW, entry.size, entry.modified);
    case DT_LNK:
      classifyLink(dirFd, ent.d_name, entry);
      return true;
    case DT_UNKNOWN:
      return classifyUnknown(dirFd, ent.d_name, entry);
    default:
      entry.kind = EntryKind::Other;
      return true;
  }
}

bool isDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

int readDirectoryOnce(const QByteArray& path, EntrySizes sizes, const RawEntryVisitor& visit) {
  const DirHandle dir(opendir(path.constData()));
  if (!dir) {
    return errno;
  }
  const int dirFd = dirfd(dir.get());
  for (;;) {
    errno = 0;
    const dirent* ent = readdir(dir.get());
    if (ent == nullptr) {
      return errno;
    }
    if (isDotOrDotDot(ent->d_name)) {
      continue;
    }
    RawDirEntry entry;
    entry.name = QByteArrayView(ent->d_name);
    entry.dirFd = dirFd;
    if (classify(dirFd, *ent, sizes, entry) && !visit(entry)) {
      return 0;
    }
  }
}

bool readEntryStamp(const RawDirEntry& entry, qint64& size, qint64& modified) {
  // The name views the directory entry's own bytes, which end with a NUL.
  return readStamp(entry.dirFd, entry.name.data(), 0, size, modified);
}

QString displayName(QByteArrayView bytes) {
  return bytes.isValidUtf8() ? QString::fromUtf8(bytes) : decodeAnsi(bytes);
}

int directoryOpenError(const QByteArray& path) {
  const UniqueFd fd(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd.valid() ? 0 : errno;
}
