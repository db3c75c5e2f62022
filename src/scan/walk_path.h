#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

/**
 * A path as the walk carries it: the bytes that reach it in the file system, and the text that
 * the listing shows and stores. Linux names are bytes and need not be valid UTF-8, so the two are
 * kept side by side and never converted back.
 */
struct WalkPath {
  QByteArray raw;
  QString shown;

  /** A path typed or chosen as text. */
  static WalkPath fromText(const QString& text);
  /** A path given as bytes, as on the command line. */
  static WalkPath fromBytes(const QByteArray& bytes);

  /** Relative paths joined to the current directory; anything else kept exactly as given. */
  WalkPath absolute() const;
  /** The path ending in one "/" (added when missing). */
  WalkPath withFinalSlash() const;
  /** The path without its one final "/"; the root "/" stays "/". */
  WalkPath withoutFinalSlash() const;
  /** The entry called name inside this directory. */
  WalkPath child(QByteArrayView name) const;
  /** Its bytes alone, for a file that is only opened: its text is never made. */
  QByteArray childBytes(QByteArrayView name) const;
};

/** Text without leading and trailing blanks (U+0020 only, as directory names are trimmed). */
QString trimBlanks(const QString& text);
