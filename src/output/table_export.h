#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Exports other programs read: a table of named columns written as CSV (RFC 4180, CR LF) or as
// JSON, always UTF-8, every "´" of a text cell written as the "'" it stands for. The listing,
// search and duplicates exports are such tables.

/** What separates CSV fields: a comma, or the semicolon Spanish-language spreadsheets expect. */
enum class CsvSeparator { Comma, Semicolon };

/** "comma" or "semicolon", as the settings store and the command line name them. */
QString csvSeparatorKey(CsvSeparator separator);
std::optional<CsvSeparator> csvSeparatorFromKey(const QString& key);

/** One field: JSON writes a number bare and an absent value as null; CSV writes both as text. */
struct ExportCell {
  enum class Kind { Text, Number, Absent };
  QString text;
  Kind kind = Kind::Text;

  static ExportCell number(qint64 value) { return {QString::number(value), Kind::Number}; }
  /** A number when text is a whole number, otherwise the text as it stands. */
  static ExportCell numberOrText(const QString& text);
  static ExportCell absent() { return {QString(), Kind::Absent}; }
};

using ExportRow = std::vector<ExportCell>;

struct ExportTable {
  QStringList columns;
  std::vector<ExportRow> rows;  // each with one cell per column
};

/** A header row and one row per table row, CR LF after each; a byte-order mark first if asked. */
QByteArray csvBytes(const ExportTable& table, CsvSeparator separator, bool byteOrderMark);

/** The cell in JSON: a quoted, escaped string, a bare number or null. */
QByteArray jsonValue(const ExportCell& cell);
/** A quoted, escaped JSON string. */
QByteArray jsonString(const QString& text);
/** Each column as a JSON key with its colon, ready to be followed by a value. */
QList<QByteArray> jsonKeys(const QStringList& columns);
/** {"column": value, ...} in column order. */
QByteArray jsonObject(const QList<QByteArray>& keys, const ExportRow& row);
QByteArray jsonObject(const QStringList& columns, const ExportRow& row);
/** [ one object per row ], one row a line, ended by a line feed. */
QByteArray jsonArrayBytes(const ExportTable& table);
