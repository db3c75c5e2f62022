#include "platform/output_file.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/posix_file.h"

namespace {

// As many links as the kernel itself follows before it gives up with ELOOP.
constexpr int kMaxLinks = 40;

// Writes every byte, resuming after short writes and signals; the errno of a failure, or 0.
int writeAll(int fd, QByteArrayView bytes) {
  const char* data = bytes.data();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return errno;
    }
    data += written;
    left -= written;
  }
  return 0;
}

QByteArray directoryOf(const QByteArray& path) {
  const qsizetype slash = path.lastIndexOf('/');
  if (slash < 0) {
    return ".";
  }
  return slash == 0 ? QByteArray("/") : path.left(slash);
}

// What a path finally names once its symbolic links are followed.
struct Target {
  QByteArray path;
  bool exists = false;
  struct stat status {};
};

int readLink(const QByteArray& path, QByteArray& text) {
  QByteArray buffer(256, Qt::Uninitialized);
  for (;;) {
    const ssize_t length = ::readlink(path.constData(), buffer.data(), buffer.size());
    if (length < 0) {
      return errno;
    }
    if (length < buffer.size()) {
      text = buffer.left(length);
      return 0;
    }
    buffer.resize(buffer.size() * 2);
  }
}

// Follows links one by one, so a link to a missing file (a new output) still resolves.
int resolveTarget(QByteArray path, Target& target) {
  for (int hops = 0; hops <= kMaxLinks; ++hops) {
    struct stat status {};
    if (::lstat(path.constData(), &status) != 0) {
      if (errno != ENOENT) {
        return errno;
      }
      target = {path, false, {}};
      return 0;
    }
    if (!S_ISLNK(status.st_mode)) {
      target = {path, true, status};
      return 0;
    }
    QByteArray link;
    if (const int error = readLink(path, link); error != 0) {
      return error;
    }
    path = link.startsWith('/') ? link : directoryOf(path) + '/' + link;
  }
  return ELOOP;
}

// Creates a fresh file beside path; the mode lets the umask decide, as for any new file.
UniqueFd createTemporaryBeside(const QByteArray& path, QByteArray& tempPath) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = path + ".tmp-" + QByteArray::number(::getpid()) + '-' + QByteArray::number(attempt);
    UniqueFd fd(::open(tempPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.valid() || errno != EEXIST) {
      return fd;
    }
  }
  errno = EEXIST;
  return UniqueFd();
}

// The replacement keeps the old file's mode, and its owner where we may give it (root writing a
// user's file must not take it from them).
int keepModeAndOwner(int fd, const struct stat& old) {
  if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
    [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
  }
  return ::fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno;
}

// A temporary file beside path with every byte on disk, closed; errno or 0.
int writeTemporary(const QByteArray& path, QByteArrayView bytes, const struct stat* old,
                   QByteArray& tempPath) {
  UniqueFd fd = createTemporaryBeside(path, tempPath);
  if (!fd.valid()) {
    return errno;
  }
  int error = writeAll(fd.get(), bytes);
  if (error == 0 && old) {
    error = keepModeAndOwner(fd.get(), *old);
  }
  if (error == 0 && ::fsync(fd.get()) != 0) {
    error = errno;
  }
  if (::close(fd.release()) != 0 && error == 0) {
    error = errno;
  }
  if (error != 0) {
    ::unlink(tempPath.constData());
  }
  return error;
}

// The rename itself reaches the disk only with its directory.
void syncDirectoryOf(const QByteArray& path) {
  const UniqueFd dir(::open(directoryOf(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) {
    ::fsync(dir.get());
  }
}

int replaceWhole(const Target& target, QByteArrayView bytes) {
  // A file the user may not write stays as it is, though its directory would let us replace it.
  if (target.exists && ::access(target.path.constData(), W_OK) != 0) {
    return errno;
  }
  QByteArray tempPath;
  const struct stat* old = target.exists ? &target.status : nullptr;
  if (const int error = writeTemporary(target.path, bytes, old, tempPath); error != 0) {
    return error;
  }
  if (::rename(tempPath.constData(), target.path.constData()) != 0) {
    const int error = errno;
    ::unlink(tempPath.constData());
    return error;
  }
  syncDirectoryOf(target.path);
  return 0;
}

UniqueFd connectSocket(const QByteArray& path, int type) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= static_cast<qsizetype>(sizeof(address.sun_path))) {
    errno = ENAMETOOLONG;
    return UniqueFd();
  }
  std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
  UniqueFd fd(::socket(AF_UNIX, type | SOCK_CLOEXEC, 0));
  if (fd.valid() &&
      ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    return UniqueFd();
  }
  return fd;
}

// A socket is reached by connecting to it; one that is not a stream socket may take datagrams.
UniqueFd openDirect(const Target& target) {
  if (!S_ISSOCK(target.status.st_mode)) {
    return UniqueFd(::open(target.path.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
  }
  UniqueFd fd = connectSocket(target.path, SOCK_STREAM);
  return fd.valid() || errno != EPROTOTYPE ? std::move(fd) : connectSocket(target.path, SOCK_DGRAM);
}

int writeDirect(const Target& target, QByteArrayView bytes) {
  if (S_ISDIR(target.status.st_mode)) {
    return EISDIR;
  }
  const UniqueFd fd = openDirect(target);
  return fd.valid() ? writeAll(fd.get(), bytes) : errno;
}

int writeOutput(const QByteArray& path, QByteArrayView bytes) {
  Target target;
  if (const int error = resolveTarget(path, target); error != 0) {
    return error;
  }
  if (!target.exists || S_ISREG(target.status.st_mode)) {
    return replaceWhole(target, bytes);
  }
  return writeDirect(target, bytes);
}

QString textOf(int error) {
  return error == 0 ? QString() : systemErrorText(error);
}

// Takes the place only when it is free: a file that appeared meanwhile wins.
int moveIntoFreePlace(const QByteArray& from, const QByteArray& to) {
  if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
    return 0;
  }
  if (errno != EINVAL && errno != ENOSYS) {
    return errno;
  }
  // File systems without that rename still refuse to link over an existing name.
  const int error = ::link(from.constData(), to.constData()) == 0 ? 0 : errno;
  ::unlink(from.constData());
  return error;
}

}  // namespace

QString writeOutputFile(const QByteArray& path, QByteArrayView bytes) {
  return textOf(writeOutput(path, bytes));
}

QString writeOutputDescriptor(int fd, QByteArrayView bytes) {
  return textOf(writeAll(fd, bytes));
}

int createFileWhole(const QByteArray& path, QByteArrayView bytes) {
  QByteArray tempPath;
  if (const int error = writeTemporary(path, bytes, nullptr, tempPath); error != 0) {
    return error;
  }
  if (const int error = moveIntoFreePlace(tempPath, path); error != 0) {
    ::unlink(tempPath.constData());
    return error;
  }
  syncDirectoryOf(path);
  return 0;
}
