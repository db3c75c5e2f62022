#include "output/table_export.h"

#include <algorithm>

#include "base/text_helpers.h"

using namespace Qt::StringLiterals;

namespace {

QString csvField(const QString& text, QChar separator) {
  const bool quoted = text.contains(separator) || text.contains(u'"') || text.contains(u'\r') ||
                      text.contains(u'\n');
  if (!quoted) {
    return text;
  }
  QString doubled = text;
  return u'"' + doubled.replace(u'"', u"\"\""_s) + u'"';
}

// The catalogue keeps "´" for every "'" of a tag or a name; the programs that read an export get
// the apostrophe back.
QString exportedText(const ExportCell& cell) {
  return cell.kind == ExportCell::Kind::Text ? AcuteToQuote(cell.text) : cell.text;
}

QByteArray csvRecord(const QStringList& fields, QChar separator) {
  QStringList quoted;
  quoted.reserve(fields.size());
  for (const QString& field : fields) {
    quoted.append(csvField(field, separator));
  }
  return quoted.join(separator).toUtf8() + "\r\n";
}

}  // namespace

QString csvSeparatorKey(CsvSeparator separator) {
  return separator == CsvSeparator::Semicolon ? u"semicolon"_s : u"comma"_s;
}

std::optional<CsvSeparator> csvSeparatorFromKey(const QString& key) {
  if (key == u"comma"_s) {
    return CsvSeparator::Comma;
  }
  if (key == u"semicolon"_s) {
    return CsvSeparator::Semicolon;
  }
  return std::nullopt;
}

ExportCell ExportCell::numberOrText(const QString& text) {
  bool whole = false;
  const qint64 value = text.toLongLong(&whole);
  return whole ? number(value) : ExportCell{text};
}

QByteArray csvBytes(const ExportTable& table, CsvSeparator separator, bool byteOrderMark) {
  const QChar mark = separator == CsvSeparator::Semicolon ? u';' : u',';
  QByteArray bytes = byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
  bytes += csvRecord(table.columns, mark);
  for (const ExportRow& row : table.rows) {
    QStringList fields;
    fields.reserve(static_cast<qsizetype>(row.size()));
    for (const ExportCell& cell : row) {
      fields.append(exportedText(cell));
    }
    bytes += csvRecord(fields, mark);
  }
  return bytes;
}

QByteArray jsonString(const QString& text) {
  // Most texts need no escape: one conversion and the quotes.
  const bool plain = std::none_of(text.cbegin(), text.cend(), [](QChar c) {
    return c.unicode() < 0x20 || c == u'"' || c == u'\\';
  });
  if (plain) {
    return '"' + text.toUtf8() + '"';
  }
  QString escaped;
  escaped.reserve(text.size() + 2);
  escaped += u'"';
  for (const QChar c : text) {
    const char16_t code = c.unicode();
    if (code == u'"' || code == u'\\') {
      escaped += u'\\';
      escaped += c;
    } else if (code == u'\n') {
      escaped += u"\\n"_s;
    } else if (code == u'\r') {
      escaped += u"\\r"_s;
    } else if (code == u'\t') {
      escaped += u"\\t"_s;
    } else if (code < 0x20) {
      escaped += u"\\u%1"_s.arg(static_cast<int>(code), 4, 16, QChar(u'0'));
    } else {
      escaped += c;
    }
  }
  escaped += u'"';
  // One conversion for the whole text keeps surrogate pairs together.
  return escaped.toUtf8();
}

QByteArray jsonValue(const ExportCell& cell) {
  switch (cell.kind) {
    case ExportCell::Kind::Number:
      return cell.text.toLatin1();
    case ExportCell::Kind::Absent:
      return "null";
    case ExportCell::Kind::Text:
      break;
  }
  return jsonString(exportedText(cell));
}

QList<QByteArray> jsonKeys(const QStringList& columns) {
  QList<QByteArray> keys;
  for (const QString& column : columns) {
    keys.append(jsonString(column) + ": ");
  }
  return keys;
}

QByteArray jsonObject(const QList<QByteArray>& keys, const ExportRow& row) {
  QByteArray out = "{";
  for (qsizetype i = 0; i < keys.size(); ++i) {
    if (i > 0) {
      out += ", ";
    }
    out += keys[i];
    out += jsonValue(row[static_cast<size_t>(i)]);
  }
  return out + '}';
}

QByteArray jsonObject(const QStringList& columns, const ExportRow& row) {
  return jsonObject(jsonKeys(columns), row);
}

QByteArray jsonArrayBytes(const ExportTable& table) {
  const QList<QByteArray> keys = jsonKeys(table.columns);
  QByteArray out = "[";
  for (size_t i = 0; i < table.rows.size(); ++i) {
    out += i == 0 ? "\n" : ",\n";
    out += jsonObject(keys, table.rows[i]);
  }
  return out + (table.rows.empty() ? "]\n" : "\n]\n");
}
