#include "platform/posix_file.h"

#include <QByteArray>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    UniqueFd old(fd_);
    fd_ = other.release();
  }
  return *this;
}

UniqueFd::~UniqueFd() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

int UniqueFd::release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

UniqueFd openRegularFile(const QByteArray& path, qint64& size) {
  RegularFileStat stat;
  UniqueFd fd = openRegularFile(path, stat);
  size = stat.size;
  return fd;
}

UniqueFd openRegularFile(const QByteArray& path, RegularFileStat& stat) {
  UniqueFd fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat info;
  if (!fd.valid() || fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return UniqueFd();
  }
  stat.size = info.st_size;
  stat.modified = info.st_mtime;
  return fd;
}

bool fileSizeAndTime(const QByteArray& path, qint64& size, qint64& modified) {
  struct stat info;
  if (::stat(path.constData(), &info) != 0) {
    return false;
  }
  size = info.st_size;
  modified = info.st_mtime;
  return true;
}

bool readExactlyAt(int fd, char* buffer, qsizetype size, qint64 offset) {
  qsizetype done = 0;
  while (done < size) {
    const ssize_t got = ::pread(fd, buffer + done, static_cast<size_t>(size - done),
                                static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      return false;
    }
    done += got;
  }
  return true;
}

namespace {

struct ErrorText {
  int error;
  const char16_t* text;
};

constexpr ErrorText kErrorTexts[] = {
    {EACCES, u"permiso denegado"},
    {EPERM, u"permiso denegado"},
    {ENOENT, u"no existe"},
    {ENOTDIR, u"no es un directorio"},
    {EISDIR, u"es un directorio"},
    {ENOSPC, u"no queda espacio en el dispositivo"},
    {EDQUOT, u"se ha superado la cuota de disco"},
    {EROFS, u"el sistema de archivos es de solo lectura"},
    {ENAMETOOLONG, u"el nombre es demasiado largo"},
    {ELOOP, u"demasiados enlaces simbólicos"},
    {EMFILE, u"demasiados archivos abiertos"},
    {ENFILE, u"demasiados archivos abiertos"},
    {EIO, u"error de entrada/salida"},
    {EPIPE, u"quien leía ha cerrado la tubería"},
    {ECONNREFUSED, u"nadie escucha en el socket"},
    {ENXIO, u"el dispositivo no existe o no tiene quien lea"},
};

}  // namespace

QString systemErrorText(int error) {
  for (const ErrorText& known : kErrorTexts) {
    if (known.error == error) {
      return QString::fromUtf16(known.text);
    }
  }
  return u"error del sistema %1 (%2)"_s.arg(error).arg(QString::fromLocal8Bit(strerror(error)));
}
