#include "search/server_fold.h"

#include <QChar>
#include <QHash>
#include <QSqlQuery>

#include <QSqlError>

#include <algorithm>
#include <functional>
#include <optional>

#include "db/db_connection.h"
#include "search/search_fold.h"

using namespace Qt::StringLiterals;

namespace {

constexpr char32_t kLastCodePoint = 0x10FFFF;
// Unicode has cased letters in its first two planes only; beyond them both foldings leave
// every character as it is (the tests compare every plane).
constexpr char32_t kLastCased = 0x1FFFF;

bool isSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

// foldText looks for marks one UTF-16 unit at a time, so it drops those of the first plane
// only; so does the server.
bool isDroppedMark(char32_t c) {
  if (c > 0xFFFF) {
    return false;
  }
  const QChar::Category category = QChar::category(c);
  return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
         category == QChar::Mark_Enclosing;
}

// Not QString::fromUcs4, which takes a leading U+FEFF for a byte-order mark and drops it.
QString text(char32_t c) {
  return QStringView(QChar::fromUcs4(c)).toString();
}

void appendRange(QString& ranges, char32_t first, char32_t last) {
  ranges += text(first);
  if (last != first) {
    ranges += u'-' + text(last);
  }
}

// The dropped marks as the body of a regular-expression bracket.
QString markRanges() {
  QString ranges;
  std::optional<char32_t> first;
  for (char32_t c = 0x80; c <= 0x10000; ++c) {
    const bool mark = c < 0x10000 && isDroppedMark(c);
    if (mark && !first) {
      first = c;
    } else if (!mark && first) {
      appendRange(ranges, *first, c - 1);
      first.reset();
    }
  }
  return ranges;
}

// The characters the server's lower() sees after its decomposition and the marks dropped:
// those the program's decomposition leaves as they are (and the few it drops), with what
// foldText makes of each.
std::optional<QString> programFold(char32_t c) {
  if (isSurrogate(c) || isDroppedMark(c)) {
    return std::nullopt;
  }
  const QChar::Category category = QChar::category(c);
  if (category == QChar::Other_NotAssigned || category == QChar::Other_PrivateUse) {
    return text(c);
  }
  const QString decomposed = text(c).normalized(QString::NormalizationForm_D);
  if (!decomposed.isEmpty() && decomposed != text(c)) {
    return std::nullopt;
  }
  return foldText(text(c));
}

// What translate() must do after lower(): each lowered character the program folds otherwise,
// with its fold (empty: dropped). Nothing when two characters lower alike but fold apart.
struct Mending {
  QString from;
  QString to;
  QString dropped;
};

std::optional<Mending> mendingFor(const std::function<char32_t(char32_t)>& lowered) {
  QHash<char32_t, QString> wanted;
  for (char32_t c = 1; c <= kLastCased; ++c) {
    const std::optional<QString> fold = programFold(c);
    if (!fold) {
      continue;
    }
    const char32_t lower = lowered(c);
    if (text(lower) == *fold) {
      if (wanted.contains(lower) && wanted.value(lower) != *fold) {
        return std::nullopt;
      }
      wanted.insert(lower, *fold);
      continue;
    }
    if ((wanted.contains(lower) && wanted.value(lower) != *fold) || fold->toUcs4().size() > 1) {
      return std::nullopt;
    }
    wanted.insert(lower, *fold);
  }
  Mending mending;
  for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
    if (text(it.key()) == it.value()) {
      continue;
    }
    if (it.value().isEmpty()) {
      mending.dropped += text(it.key());
    } else {
      mending.from += text(it.key());
      mending.to += it.value();
    }
  }
  return mending;
}

char32_t asciiLower(char32_t c) {
  return c >= u'A' && c <= u'Z' ? c + 0x20 : c;
}

// A libc collation whose lower() knows Unicode's cases, so little is left to mend; the
// database's default may be "C", which lowers ASCII only.
QString unicodeCollation(QSqlDatabase& db) {
  QSqlQuery query(db);
  if (query.exec(u"SELECT collname FROM pg_collation WHERE collprovider = 'c' AND collencoding "
                 u"IN (-1, 6) AND lower(collname) IN ('c.utf8', 'c.utf-8', 'en_us.utf8', "
                 u"'en_us.utf-8') ORDER BY collname LIMIT 1"_s) &&
      query.next()) {
    return query.value(0).toString();
  }
  return {};
}

// The characters the server's lower() under the collation changes, with what it makes of
// each.
std::optional<QHash<char32_t, char32_t>> serverLowering(QSqlDatabase& db,
                                                        const QString& collation) {
  QSqlQuery query(db);
  query.setForwardOnly(true);
  if (!query.exec(u"SELECT i, lower(chr(i) COLLATE \"%1\") FROM generate_series(1, %2) AS i "
                  u"WHERE (i < 55296 OR i > 57343) AND lower(chr(i) COLLATE \"%1\") <> chr(i)"_s
                      .arg(collation)
                      .arg(static_cast<uint>(kLastCased)))) {
    return std::nullopt;
  }
  QHash<char32_t, char32_t> changed;
  while (query.next()) {
    const QList<uint> lowered = query.value(1).toString().toUcs4();
    // lower() under a libc collation cases character by character; anything else is not
    // understood here.
    if (lowered.size() != 1) {
      return std::nullopt;
    }
    changed.insert(query.value(0).toUInt(), lowered.front());
  }
  return query.lastError().isValid() ? std::nullopt : std::optional(changed);
}

const QString kFoldFunction =
    u"CREATE OR REPLACE FUNCTION quillet_fold(t text) RETURNS text LANGUAGE sql IMMUTABLE "
    u"PARALLEL SAFE AS $fold$ SELECT CASE WHEN t ~ '^[ -&(-~]*$' THEN lower(t COLLATE \"%2\") "
    u"ELSE quillet_mend(lower(regexp_replace(normalize(t, NFD), %1, '', 'g') COLLATE \"%2\")) "
    u"END $fold$"_s;

// In PL/pgSQL, not SQL: an SQL function is written into its caller's expression, which would
// then fold the text once for each use of t here.
const QString kMendFunction =
    u"CREATE OR REPLACE FUNCTION quillet_mend(t text) RETURNS text LANGUAGE plpgsql IMMUTABLE "
    u"PARALLEL SAFE AS $mend$ BEGIN RETURN CASE WHEN t ~ %1 THEN translate(t, %2, %3) ELSE t "
    u"END; END $mend$"_s;

}  // namespace

QString sqlLiteral(const QString& value) {
  QString quoted = value;
  return u'\'' + quoted.replace(u'\'', u"''"_s) + u'\'';
}

QStringList sqlServerFoldFunctions(QSqlDatabase& db, QString& reason) {
  QString collation = unicodeCollation(db);
  std::optional<Mending> mending;
  if (!collation.isEmpty()) {
    if (const auto lowering = serverLowering(db, collation)) {
      mending = mendingFor([&](char32_t c) { return lowering->value(c, c); });
    }
  }
  if (!mending) {
    collation = u"C"_s;
    mending = mendingFor(asciiLower);
  }
  if (!mending) {
    reason = u"el servidor no puede plegar los textos como el programa"_s;
    return {};
  }
  const QString changed = mending->from + mending->dropped;
  return {kMendFunction.arg(sqlLiteral(u'[' + changed + u']'), sqlLiteral(changed),
                            sqlLiteral(mending->to)),
          kFoldFunction.arg(sqlLiteral(u'[' + markRanges() + u']'), collation)};
}

QString programSpaces() {
  QString spaces;
  for (char32_t c = 1; c <= kLastCodePoint; ++c) {
    if (!isSurrogate(c) && QChar::isSpace(c)) {
      spaces += text(c);
    }
  }
  return spaces;
}
