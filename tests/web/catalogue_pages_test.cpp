#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <thread>

#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "output/catalogue_table.h"
#include "search/search_index.h"
#include "support/listing_db_fixture.h"
#include "web/catalogue_pages.h"

using namespace Qt::StringLiterals;

namespace {

const QString kHostileTitle = u"<script>alert(1)</script>"_s;

WebRequest get(const QString& path, const QString& query = {}) {
  return {"GET", path, QUrlQuery(query), u"127.0.0.1"_s};
}

QJsonObject jsonOf(const WebResponse& response) {
  return QJsonDocument::fromJson(response.body).object();
}

// A catalogue of three stored listings: a CD of 120 files in three directories, a directory
// listing of two, and one whose texts would be markup if shown unescaped.
class CataloguePagesTest : public EngineBdTest {
 protected:
  void SetUp() override {
    EngineBdTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) {
      return;
    }
    store(*makeListing(u"Grande"_s, kMedioCd, {50, 40, 30}));
    store(*makeListing(u"Carpeta"_s, kMedioDirectorio, {2}));
    auto hostile = makeListing(u"Disco <b>"_s, kMedioCd, {1});
    hostile->songSlot(1).title = kHostileTitle;
    hostile->songSlot(1).artist = u"\"Ana\" & 'Eva'"_s;
    store(*hostile);
    // As the program's front ends do once a listing is stored.
    indexStoredListing();
  }

  void store(const ListingModel& model) {
    const StoreResult stored = Save2bd(model);
    ASSERT_EQ(stored.error, QString());
    numbers_.push_back(stored.rp_id);
  }

  std::vector<int> numbers_;
};
INSTANTIATE_ON_BOTH_ENGINES(CataloguePagesTest);

TEST_P(CataloguePagesTest, EachPageAnswersWithItsStatusAndContent) {
  const CataloguePages pages;
  ASSERT_EQ(pages.openFailure(), QString());
  const QString first = QString::number(numbers_[0]);
  struct Case {
    QString path;
    QString query;
    int status;
    QString shows;
  };
  const Case cases[] = {
      {u"/"_s, {}, 200, u"<dd>123</dd>"_s},
      {u"/buscar"_s, u"q=title3 &en=titulo"_s, 200, u"Grande"_s},
      {u"/buscar"_s, u"q=artist1&medio=dir"_s, 200, u"/music/dir1"_s},
      {u"/buscar"_s, u"q=title&pagina=3"_s, 200, u"Página 3 de 3"_s},
      {u"/buscar"_s, u"q=title&pagina=4"_s, 400, u"No hay página 4"_s},
      {u"/buscar"_s, u"q=title&pagina=0"_s, 400, u"página no válido"_s},
      {u"/buscar"_s, u"q=title&pagina=1000000000"_s, 400, u"No hay página"_s},
      {u"/buscar"_s, u"q=title&pagina=uno"_s, 400, u"página no válido"_s},
      {u"/buscar"_s, u"q=title&en=letra"_s, 400, u"Campo no válido: letra"_s},
      {u"/buscar"_s, u"q=title&medio=vinilo"_s, 400, u"Medio no válido: vinilo"_s},
      {u"/listado/"_s + first, {}, 200, u"/music/dir1"_s},
      {u"/listado/"_s + first, u"pagina=3"_s, 200, u"/music/dir3"_s},
      {u"/listado/"_s + first, u"pagina=4"_s, 400, u"No hay página 4"_s},
      {u"/listado/doce"_s, {}, 400, u"Número de listado no válido"_s},
      {u"/listado/99999"_s, {}, 404, u"No hay ningún listado con el número 99999"_s},
      {u"/api/listado/99999"_s, {}, 404, u"\"error\""_s},
      {u"/api/buscar"_s, u"q=title&pagina=0"_s, 400, u"\"error\""_s},
      {u"/duplicados"_s, {}, 200, u"archivos repetidos"_s},
      {u"/estadisticas"_s, u"medio=cd"_s, 200, u"<svg"_s},
      {u"/estilo.css"_s, {}, 200, u"prefers-color-scheme"_s},
      {u"/etc/passwd"_s, {}, 404, u"No existe la página"_s},
  };
  for (const Case& c : cases) {
    const WebResponse response = pages.answer(get(c.path, c.query));
    EXPECT_EQ(response.status, c.status) << c.path.toStdString() << '?' << c.query.toStdString();
    EXPECT_TRUE(QString::fromUtf8(response.body).contains(c.shows))
        << c.path.toStdString() << '?' << c.query.toStdString() << " lacks "
        << c.shows.toStdString();
  }
}

TEST_P(CataloguePagesTest, PagesHoldFiftyFilesAndLinkTheirNeighbours) {
  const CataloguePages pages;
  const QString listing = u"/listado/%1"_s.arg(numbers_[0]);
  const QString second = QString::fromUtf8(pages.answer(get(listing, u"pagina=2"_s)).body);
  EXPECT_EQ(second.count(u"<li>"_s), 50);
  EXPECT_TRUE(second.contains(u"href=\"%1?pagina=3\""_s.arg(listing)));
  EXPECT_TRUE(second.contains(u"href=\"%1?pagina=1\""_s.arg(listing)));
  const QString last =
      QString::fromUtf8(pages.answer(get(u"/buscar"_s, u"q=title&pagina=3"_s)).body);
  // Every file but the one titled as markup.
  EXPECT_EQ(last.count(u"<li>"_s), 122 - 100);
  EXPECT_TRUE(last.contains(u"href=\"/buscar?q=title&amp;pagina=2\""_s));
  // The text typed is shown back as typed, a "+" as a "+".
  const QString plus =
      QString::fromUtf8(pages.answer(get(u"/buscar"_s, u"q=title%2B1 x&pagina=1"_s)).body);
  EXPECT_TRUE(plus.contains(u"value=\"title+1 x\""_s));
}

TEST_P(CataloguePagesTest, TextsFromTagsNamesAndTheAddressAreShownAsText) {
  const CataloguePages pages;
  const QString listing = u"/listado/%1"_s.arg(numbers_[2]);
  for (const WebRequest& request :
       {get(u"/buscar"_s, u"q=alert"_s), get(listing), get(u"/buscar"_s, u"q=\"><script>x"_s),
        get(u"/listado/<script>"_s), get(u"/<script>"_s)}) {
    const QString page = QString::fromUtf8(pages.answer(request).body);
    EXPECT_FALSE(page.contains(u"<script"_s)) << request.path.toStdString();
    EXPECT_FALSE(page.contains(u"<b>"_s)) << request.path.toStdString();
  }
  const QString shown = QString::fromUtf8(pages.answer(get(listing)).body);
  EXPECT_TRUE(shown.contains(u"&lt;script&gt;alert(1)&lt;/script&gt;"_s));
  EXPECT_TRUE(shown.contains(u"&quot;Ana&quot; &amp; &#39;Eva&#39;"_s));
  EXPECT_TRUE(shown.contains(u"Disco &lt;b&gt;"_s));
  // JSON carries the text itself, escaped as JSON.
  const QJsonObject json = jsonOf(pages.answer(get(u"/api/listado/%1"_s.arg(numbers_[2]))));
  EXPECT_EQ(json[u"archivos"_s].toArray()[0].toObject()[u"titulo"_s].toString(), kHostileTitle);
}

TEST_P(CataloguePagesTest, TheJsonAnswersUseTheExportsFieldNames) {
  const CataloguePages pages;
  // QJsonObject keeps its keys sorted.
  QStringList exported = searchTable({}).columns;
  exported.sort();
  for (const WebRequest& request :
       {get(u"/api/buscar"_s, u"q=title&pagina=1"_s), get(u"/api/listado/%1"_s.arg(numbers_[0]))}) {
    const WebResponse response = pages.answer(request);
    EXPECT_EQ(response.contentType, "application/json; charset=utf-8");
    const QJsonObject json = jsonOf(response);
    EXPECT_EQ(json[u"paginas"_s].toInt(), 3) << request.path.toStdString();
    const QJsonArray files = json[u"archivos"_s].toArray();
    ASSERT_EQ(files.size(), 50);
    EXPECT_EQ(files[0].toObject().keys(), exported);
  }
}

TEST_P(CataloguePagesTest, ServerThreadsEachReadOnAConnectionOfTheirOwn) {
  const CataloguePages pages;
  std::vector<int> statuses(4);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < statuses.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 3; ++i) {
        statuses[t] += pages.answer(get(u"/buscar"_s, u"q=title2"_s)).status;
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(statuses, std::vector<int>(4, 600));
}

// What only a file shows: its bytes and time untouched, and no file made where there is none.
class CataloguePagesFileTest : public CataloguePagesTest {};
INSTANTIATE_TEST_SUITE_P(Engines, CataloguePagesFileTest, ::testing::Values(Engine::File),
                         engineName);

TEST_P(CataloguePagesFileTest, ServingEveryPageLeavesTheFileAsItWas) {
  // Another program's change notes the listing: a catalogue that could write would catch its
  // index and totals up on the first search.
  rows(u"UPDATE infoMP3 SET title = 'otro' WHERE filegenorder = 1"_s);
  const QString path = BdPath();
  CloseBd();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  file.close();
  const QDateTime modified = QFileInfo(path).lastModified();
  {
    const CataloguePages pages;
    for (const QString& page : {u"/"_s, u"/buscar"_s, u"/api/buscar"_s, u"/duplicados"_s,
                                u"/estadisticas"_s, u"/listado/1"_s, u"/api/listado/1"_s}) {
      EXPECT_NE(pages.answer(get(page, u"q=title"_s)).status, 500);
    }
  }
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), bytes);
  EXPECT_EQ(QFileInfo(path).lastModified(), modified);
}

TEST_P(CataloguePagesFileTest, AMissingCatalogueIsReportedAndNeverMade) {
  const QString path = BdPath();
  CloseBd();
  ASSERT_TRUE(QFile::remove(path));
  const CataloguePages pages;
  EXPECT_TRUE(pages.openFailure().contains(path));
  const WebResponse response = pages.answer(get(u"/"_s));
  EXPECT_EQ(response.status, 503);
  EXPECT_TRUE(QString::fromUtf8(response.body).contains(u"No se encuentra la BD"_s));
  EXPECT_FALSE(QFileInfo::exists(path));
}

}  // namespace
