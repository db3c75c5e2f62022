#include "scan/walk_path.h"

#include <QFile>

#include "platform/raw_directory.h"

#include <unistd.h>
#include <cerrno>

#include <vector>

namespace {

QByteArray currentDirectoryBytes() {
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr && errno == ERANGE) {
    buffer.resize(buffer.size() * 2);
  }
  return QByteArray(buffer.data());
}

}  // namespace

WalkPath WalkPath::fromText(const QString& text) {
  return {QFile::encodeName(text), text};
}

WalkPath WalkPath::fromBytes(const QByteArray& bytes) {
  return {bytes, displayName(bytes)};
}

WalkPath WalkPath::absolute() const {
  if (raw.startsWith('/')) {
    return *this;
  }
  return fromBytes(currentDirectoryBytes()).withFinalSlash().child(raw);
}

WalkPath WalkPath::withFinalSlash() const {
  return raw.endsWith('/') ? *this : WalkPath{raw + '/', shown + u'/'};
}

WalkPath WalkPath::withoutFinalSlash() const {
  if (raw.size() > 1 && raw.endsWith('/')) {
    return {raw.chopped(1), shown.chopped(1)};
  }
  return *this;
}

WalkPath WalkPath::child(QByteArrayView name) const {
  const QString separator = raw.endsWith('/') ? QString() : QStringLiteral("/");
  return {childBytes(name), shown + separator + displayName(name)};
}

QByteArray WalkPath::childBytes(QByteArrayView name) const {
  QByteArray bytes;
  bytes.reserve(raw.size() + 1 + name.size());
  bytes.append(raw);
  if (!raw.endsWith('/')) {
    bytes.append('/');
  }
  return bytes.append(name);
}

QString trimBlanks(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text[begin] == u' ') {
    ++begin;
  }
  while (end > begin && text[end - 1] == u' ') {
    --end;
  }
  return text.sliced(begin, end - begin);
}
