#include "support/private_xvfb.h"

#include <QFile>

#include "support/test_env.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

constexpr int kStartTimeoutMs = 10000;

// Both ends of a pipe, closed when it goes out of scope.
struct Pipe {
  std::array<int, 2> fd{-1, -1};
  ~Pipe() {
    for (const int end : fd) {
      if (end >= 0) {
        ::close(end);
      }
    }
  }
};

// Reads what the server writes to its -displayfd: the display number and a line feed, once it
// takes clients. Empty when it did not within the time allowed.
QByteArray readDisplayNumber(int fd) {
  QByteArray number;
  pollfd wanted{fd, POLLIN, 0};
  while (!number.endsWith('\n') && ::poll(&wanted, 1, kStartTimeoutMs) > 0) {
    char chunk[16];
    const ssize_t got = ::read(fd, chunk, sizeof(chunk));
    if (got <= 0) {
      break;
    }
    number.append(chunk, got);
  }
  return number.endsWith('\n') ? number.trimmed() : QByteArray();
}

}  // namespace

PrivateXvfb::~PrivateXvfb() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
}

QString PrivateXvfb::start() {
  if (!root_.isValid()) {
    return u"no temporary directory for the X server"_s;
  }
  Pipe pipe;
  if (::pipe(pipe.fd.data()) != 0) {
    return QString::fromLocal8Bit(std::strerror(errno));
  }
  ::fcntl(pipe.fd[0], F_SETFD, FD_CLOEXEC);
  const QByteArray displayFd = QByteArray::number(pipe.fd[1]);
  const QByteArray log = QFile::encodeName(root_.filePath(u"xvfb.log"_s));
  const pid_t parent = ::getpid();
  pid_ = ::fork();
  if (pid_ < 0) {
    return u"cannot start Xvfb: "_s + QString::fromLocal8Bit(std::strerror(errno));
  }
  if (pid_ == 0) {
    // The server goes with the test process, even one that aborts (a sanitizer's report).
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) {
      ::_exit(1);
    }
    const int out = ::open(log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(out, STDERR_FILENO);
    ::execlp("Xvfb", "Xvfb", "-displayfd", displayFd.constData(), "-nolisten", "tcp", "-screen",
             "0", "1024x768x24", "-noreset", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(pipe.fd[1]);
  pipe.fd[1] = -1;
  const QByteArray number = readDisplayNumber(pipe.fd[0]);
  if (number.isEmpty()) {
    return u"Xvfb did not start: "_s +
           QString::fromLocal8Bit(readFile(root_.filePath(u"xvfb.log"_s)));
  }
  display_ = ':' + number;
  return {};
}
