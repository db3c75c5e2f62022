#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Every test process runs with its own program directory and settings store, both temporary,
// so tests never touch the build directory or the user's settings and can run in parallel.
class TestEnvironment {
 public:
  /** Called by the test mains before the application object exists. */
  static void install();
  /** The temporary program directory of this process. */
  static QString programDir();
  /** A fresh empty directory under the process's temporary root, removed at exit. */
  static QString newTempDir();

 private:
  static std::unique_ptr<QTemporaryDir>& root();
};

/** Writes bytes to a file, creating parent directories; fails the test when it cannot. */
void writeFile(const QString& path, const QByteArray& bytes);

/**
 * The log with every "<n> segundos..." written as "N segundos...": a scan that starts near the
 * end of a second reports one second more, so tests compare logs without the count.
 */
QByteArray maskElapsedSeconds(const QByteArray& log);
QStringList maskElapsedSeconds(const QStringList& lines);

/** The whole content of a file, or an empty array when it cannot be read. */
QByteArray readFile(const QString& path);

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE
