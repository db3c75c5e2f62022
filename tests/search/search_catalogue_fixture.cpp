#include "search_catalogue_fixture.h"

#include <QSqlError>
#include <QSqlQuery>

#include "db/mod_bd.h"
#include "search/search_fold.h"
#include "search/search_terms.h"

using namespace Qt::StringLiterals;

void SearchCatalogueTest::SetUp() {
  EngineBdTest::SetUp();
  if (HasFatalFailure() || IsSkipped()) {
    return;
  }
  if (onServer()) {
    outside_ = server_->connection(u"outside-writer"_s);
  } else {
    outside_ = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"outside-writer"_s);
    outside_.setDatabaseName(BdPath());
  }
  ASSERT_TRUE(outside_.open());
}

void SearchCatalogueTest::TearDown() {
  if (outside_.isValid()) {
    outside_.close();
    outside_ = {};
    QSqlDatabase::removeDatabase(u"outside-writer"_s);
  }
  BdTest::TearDown();
}

void SearchCatalogueTest::plainSql(const QStringList& statements) {
  QSqlQuery query(outside_);
  for (const QString& sql : statements) {
    ASSERT_TRUE(query.exec(sql)) << sql.toStdString() << ": "
                                 << query.lastError().text().toStdString();
  }
}

namespace {

QString quoted(const QString& text) {
  QString escaped = text;
  return u'\'' + escaped.replace(u'\'', u"''"_s) + u'\'';
}

}  // namespace

// Each file is {filename, artist, title, album, year, genre, comment}.
void SearchCatalogueTest::storeListing(int rpId, const QString& name, int medio,
                                       const std::vector<std::vector<QStringList>>& directories) {
  QStringList statements = {u"BEGIN"_s};
  int file = 0;
  for (std::size_t d = 0; d < directories.size(); ++d) {
    const int from = file + 1;
    for (const QStringList& f : directories[d]) {
      ++file;
      statements.append(
          u"INSERT INTO infoMP3 VALUES (%1, %2, %3, %4, %5, %6, '%7', %8, %9, %7, %7)"_s.arg(
              QString::number(rpId), quoted(f[3]), quoted(f[1]), quoted(f[6]), quoted(f[5]),
              quoted(f[2]), QString::number(file), quoted(f[4]), quoted(f[0])));
    }
    statements.append(u"INSERT INTO estructdir VALUES (%1, %2, %3, %4)"_s.arg(
        QString::number(rpId), quoted(u"/música/%1/dir %2"_s.arg(name).arg(d + 1)),
        QString::number(from), QString::number(file)));
  }
  statements.append(u"INSERT INTO reports VALUES (%1, %2, %3, %2)"_s.arg(
      QString::number(rpId), quoted(name), QString::number(medio)));
  statements.append(u"COMMIT"_s);
  plainSql(statements);
}

QStringList SearchCatalogueTest::keysOf(const std::vector<CatalogueFile>& files) {
  QStringList keys;
  for (const CatalogueFile& file : files) {
    keys.append(u"%1:%2"_s.arg(file.rp_id).arg(file.filegenorder));
  }
  return keys;
}

QStringList SearchCatalogueTest::bruteForce(const SearchRequest& request) const {
  const QStringList pieces = queryPieces(request.text);
  QStringList keys;
  if (pieces.isEmpty()) {
    return keys;
  }
  QSqlQuery query(outside_);
  EXPECT_TRUE(query.exec(
      u"SELECT i.rp_id, i.filegenorder, r.medio, i.artist, i.title, i.album, i.comment, i.genre, "
      u"i.year, i.filename, (SELECT dirname FROM estructdir d WHERE d.rp_id = i.rp_id AND "
      u"i.filegenorder BETWEEN d.songfrom AND d.songto), r.report_name FROM infoMP3 i JOIN "
      u"reports r ON r.rp_id = i.rp_id ORDER BY i.rp_id, i.filegenorder"_s));
  const int medio = request.medium == SearchMedium::CDs           ? 1
                    : request.medium == SearchMedium::Directorios ? 2
                                                                  : 0;
  while (query.next()) {
    if (medio != 0 && query.value(2).toInt() != medio) {
      continue;
    }
    QStringList texts;
    for (int column = 3; column < 12; ++column) {
      texts.append(foldText(query.value(column).toString()));
    }
    if (request.field != SearchField::Todo) {
      texts = QStringList{texts[static_cast<int>(request.field) - 1]};
    }
    const bool all = std::all_of(pieces.cbegin(), pieces.cend(), [&](const QString& piece) {
      return std::any_of(texts.cbegin(), texts.cend(),
                         [&](const QString& text) { return text.contains(piece); });
    });
    if (all) {
      keys.append(query.value(0).toString() + u':' + query.value(1).toString());
    }
  }
  return keys;
}
