#include <QSqlError>
#include <QSqlQuery>

#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "search/catalogue_search.h"
#include "search/search_fold.h"
#include "search/search_index.h"
#include "search/search_terms.h"
#include "search_catalogue_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

// {filename, artist, title, album, year, genre, comment}
const std::vector<std::vector<QStringList>> kFirstCd = {
    {{u"01 Canción.mp3"_s, u"Niño Josele"_s, u"Canción del árbol"_s, u"Bulerías"_s, u"1999"_s,
      u"Flamenco"_s, u"AND OR NEAR"_s},
     {u"02 U2.mp3"_s, u"U2"_s, u"One"_s, u"Achtung Baby"_s, u"1991"_s, u"Rock"_s, u"a b"_s},
     {u"03.mp3"_s, u"Guns N´ Roses"_s, u"Rock´n´roll"_s, u"(live)"_s, u"1988"_s, u"Rock"_s,
      u"\"quoted\" *star* -minus- a:b"_s}},
    {{u"04 ÁRBOL.mp3"_s, u"Los del Río"_s, u"Macarena"_s, u"A mí me gusta"_s, u"1993"_s, u"Pop"_s,
      u""_s},
     {u"05 x.mp3"_s, u""_s, u"Sin artista"_s, u"El"_s, u""_s, u""_s, u"é"_s}}};

const std::vector<std::vector<QStringList>> kSecondDir = {
    {{u"01 Canción.mp3"_s, u"niño josele"_s, u"CANCION DEL ARBOL"_s, u"Otra"_s, u"2001"_s,
      u"Flamenco"_s, u"copia"_s},
     {u"02 U2.mp3"_s, u"AC/DC"_s, u"T.N.T."_s, u"High Voltage"_s, u"1975"_s, u"Rock"_s, u"it's"_s}},
    {{u"05 x.mp3"_s, u""_s, u""_s, u""_s, u""_s, u""_s, u"OR"_s}}};

const QStringList kQueries = {u"cancion"_s,
                              u"ARBOL"_s,
                              u"u2"_s,
                              u"a"_s,
                              u"e"_s,
                              u"el"_s,
                              u"niño rock"_s,
                              u"\"del arbol\""_s,
                              u"\"del  arbol\""_s,
                              u"\"los del"_s,
                              u"rock'n"_s,
                              u"guns n'"_s,
                              u"it´s"_s,
                              u"AND"_s,
                              u"OR"_s,
                              u"NEAR"_s,
                              u"(live)"_s,
                              u"-minus-"_s,
                              u"a:b"_s,
                              u"*"_s,
                              u"\""_s,
                              u"\"\"quoted\"\""_s,
                              u"ac/dc t.n.t"_s,
                              u"zzz"_s,
                              u"x u2"_s,
                              u"música"_s,
                              u"dir 2"_s,
                              u"primero"_s,
                              u"1999"_s,
                              u"19"_s,
                              u"9"_s,
                              u"mp3 o"_s,
                              u"é"_s,
                              u"iñ"_s,
                              u"ar"_s,
                              u"\" a\""_s,
                              u"\"a \""_s,
                              u"b)"_s,
                              u"concierto"_s,
                              u"concierto cd rock"_s,
                              u"vivo 2 cd"_s,
                              u"   "_s,
                              u"%"_s,
                              u"_"_s,
                              u"\\"_s,
                              u"a%b 1_"_s,
                              u""_s};

}  // namespace

TEST(SearchFold, FoldsCaseAccentsApostrophesAndControls) {
  EXPECT_EQ(foldText(u"Canción ÁRBOL Niño"_s), u"cancion arbol nino"_s);
  EXPECT_EQ(foldText(u"Rock'n"_s), foldText(u"ROCK´N"_s));
  EXPECT_EQ(foldText(u"a\tb\u0001c\u0085"_s), u"a b c "_s);
  EXPECT_EQ(foldText(u"Straße Ǆ"_s), u"straße ǆ"_s);
}

TEST(SearchFold, TheDatabasesUtf8IsIndexedAsTheProgramsTexts) {
  // The plain-ASCII shortcut and the full folding must agree at every edge between them.
  for (const QString& text :
       {u""_s, u"Plain ASCII 1999"_s, u"Don't"_s, u"Don´t"_s, u"tab\there"_s, u"del\u007F"_s,
        u"~ }"_s, u"Canción"_s, u"ÁRBOL"_s, u"\u0085"_s, u"日本 ğ"_s}) {
    EXPECT_EQ(indexedUtf8(text.toUtf8()), indexedText(text).toUtf8()) << text.toStdString();
  }
  EXPECT_EQ(indexedText(u"AB"_s), u"ab\u0001\u0001"_s);
}

TEST(SearchPieces, WordsAndQuotedPartsAreTheUsersText) {
  EXPECT_EQ(queryPieces(u"  Los  \"Del Río\" NEAR(x) "_s),
            (QStringList{u"los"_s, u"del rio"_s, u"near(x)"_s}));
  EXPECT_EQ(queryPieces(u"a \"b c"_s), (QStringList{u"a"_s, u"b c"_s}));
  EXPECT_EQ(queryPieces(u"\"\" \"  \" x x"_s), QStringList{u"x"_s});
}

INSTANTIATE_ON_BOTH_ENGINES(SearchCatalogueTest);

// What only the file's index does: its pending notes, its functions, a read-only file.
class SearchCatalogueFileTest : public SearchCatalogueTest {};
INSTANTIATE_TEST_SUITE_P(Engines, SearchCatalogueFileTest, ::testing::Values(Engine::File),
                         engineName);

TEST_P(SearchCatalogueTest, EveryQueryFindsWhatReadingEveryRowFinds) {
  storeListing(1, u"Primero"_s, 1, kFirstCd);
  storeListing(2, u"Segundo´s"_s, 2, kSecondDir);
  storeListing(7, u"Sin nada"_s, 1, {});
  // A listing whose name its directories do not repeat, so each place can hold a word alone.
  plainSql({u"INSERT INTO reports VALUES (3, 'Concierto en vivo', 1, '')"_s,
            u"INSERT INTO estructdir VALUES (3, '/cd/uno', 1, 2)"_s,
            u"INSERT INTO infoMP3 VALUES (3, '', 'Banda', '', 'Rock', 'Vivo 2', '1', '', "
            u"'1.mp3', 1, 1)"_s,
            u"INSERT INTO infoMP3 VALUES (3, '', 'Banda', '', 'Pop', 'Otra', '2', '', "
            u"'2.mp3', 2, 2)"_s});
  for (const QString& text : kQueries) {
    for (const SearchField field :
         {SearchField::Todo, SearchField::Artista, SearchField::Titulo, SearchField::Comentario,
          SearchField::Anyo, SearchField::Archivo, SearchField::Directorio, SearchField::Listado}) {
      for (const SearchMedium medium :
           {SearchMedium::Todos, SearchMedium::CDs, SearchMedium::Directorios}) {
        const SearchRequest request{text, field, medium};
        const SearchResult result = searchCatalogue(request);
        ASSERT_EQ(result.error, QString()) << text.toStdString();
        EXPECT_EQ(keysOf(result.files), bruteForce(request))
            << text.toStdString() << " field " << static_cast<int>(field) << " medium "
            << static_cast<int>(medium);
      }
    }
  }
  // A query that must find something finds it, so the comparison is not between two empties.
  EXPECT_EQ(keysOf(searchCatalogue({u"cancion"_s}).files), (QStringList{u"1:1"_s, u"2:1"_s}));
  EXPECT_EQ(keysOf(searchCatalogue({u"u2"_s, SearchField::Artista}).files), QStringList{u"1:2"_s});
}

TEST_P(SearchCatalogueTest, ResultsCarryTheStoredTextsAndHonourTheLimit) {
  storeListing(3, u"Tercero"_s, 2, kSecondDir);
  storeListing(1, u"Primero"_s, 1, kFirstCd);
  const SearchResult all = searchCatalogue({u"mp3"_s});
  EXPECT_EQ(keysOf(all.files), (QStringList{u"1:1"_s, u"1:2"_s, u"1:3"_s, u"1:4"_s, u"1:5"_s,
                                            u"3:1"_s, u"3:2"_s, u"3:3"_s}));
  EXPECT_EQ(all.listings, 2);
  const CatalogueFile& first = all.files.front();
  EXPECT_EQ(first.report_name, u"Primero"_s);
  EXPECT_EQ(first.medio, 1);
  EXPECT_EQ(first.dirname, u"/música/Primero/dir 1"_s);
  EXPECT_EQ(first.artist, u"Niño Josele"_s);
  EXPECT_EQ(first.title, u"Canción del árbol"_s);
  EXPECT_EQ(first.track, u"1"_s);
  EXPECT_EQ(all.files[3].dirname, u"/música/Primero/dir 2"_s);
  const SearchResult limited =
      searchCatalogue({u"mp3"_s, SearchField::Todo, SearchMedium::Todos, 3});
  EXPECT_EQ(keysOf(limited.files), (QStringList{u"1:1"_s, u"1:2"_s, u"1:3"_s}));
  const SearchResult shortLimited =
      searchCatalogue({u"3"_s, SearchField::Archivo, SearchMedium::Todos, 1});
  EXPECT_EQ(keysOf(shortLimited.files), QStringList{u"1:1"_s});
  // A page holds its own files whole and counts all the others, on either side of a listing's
  // edge and past the last file.
  for (const auto& [first, count] :
       {std::pair<qint64, int>{0, 3}, {3, 3}, {4, 1}, {6, 3}, {9, 3}}) {
    const SearchResult page =
        searchCatalogue({u"mp3"_s, SearchField::Todo, SearchMedium::Todos, 0, first, count});
    EXPECT_EQ(keysOf(page.files), keysOf(all.files).mid(first, count)) << first;
    EXPECT_EQ(page.total, 8) << first;
    EXPECT_EQ(page.listings, 2) << first;
    if (!page.files.empty()) {
      EXPECT_EQ(page.files.front().dirname, all.files[first].dirname) << first;
    }
  }
}

TEST_P(SearchCatalogueTest, RowsWrittenByPlainSqlAreFoundAndForgotten) {
  storeListing(1, u"Primero"_s, 1, kFirstCd);
  EXPECT_EQ(keysOf(searchCatalogue({u"macarena"_s}).files), QStringList{u"1:4"_s});
  // A file added, a title changed, a directory and a listing renamed, all by plain SQL.
  plainSql(
      {u"INSERT INTO infoMP3 VALUES (1, 'x', 'Nuevo', '', '', 'Macarena remix', '6', '', "
       u"'06.mp3', 6, 6)"_s,
       u"UPDATE estructdir SET songto = 6 WHERE rp_id = 1 AND songfrom = 4"_s,
       u"UPDATE infoMP3 SET title = 'Otra cosa' WHERE rp_id = 1 AND filegenorder = 4"_s,
       u"UPDATE estructdir SET dirname = '/otro sitio' WHERE rp_id = 1 AND songfrom = 1"_s,
       u"UPDATE reports SET report_name = 'Renombrado' WHERE rp_id = 1"_s});
  EXPECT_EQ(keysOf(searchCatalogue({u"macarena"_s}).files), QStringList{u"1:6"_s});
  EXPECT_EQ(keysOf(searchCatalogue({u"otro sitio"_s, SearchField::Directorio}).files),
            (QStringList{u"1:1"_s, u"1:2"_s, u"1:3"_s}));
  EXPECT_EQ(searchCatalogue({u"primero"_s, SearchField::Listado}).files.size(), 0U);
  EXPECT_EQ(searchCatalogue({u"renombrado"_s}).files.size(), 6U);
  // The whole listing deleted by plain SQL, its reports row alone first.
  plainSql({u"DELETE FROM reports WHERE rp_id = 1"_s});
  EXPECT_EQ(searchCatalogue({u"nuevo"_s}).files.size(), 0U);
  plainSql({u"DELETE FROM infoMP3"_s, u"DELETE FROM estructdir"_s});
  EXPECT_EQ(rows(u"SELECT count(*) FROM search_files"_s), QStringList{u"0"_s});
  EXPECT_EQ(rows(onServer() ? u"SELECT count(*) FROM search_groups"_s
                            : u"SELECT count(*) FROM search_index"_s),
            QStringList{u"0"_s});
}

namespace {

// Forty files in three directories, so that the server's groups of eight files split
// directories and a directory spans groups; one rare word or pair here and there.
std::vector<std::vector<QStringList>> manyFiles() {
  std::vector<std::vector<QStringList>> directories(3);
  for (int f = 1; f <= 40; ++f) {
    const QString number = QString::number(f);
    const QString title = f == 17 ? u"Zafiro"_s : f == 33 ? u"Xilófono"_s : u"Tema "_s + number;
    directories[f <= 12   ? 0
                : f <= 30 ? 1
                          : 2]
        .push_back({number + u".mp3"_s, f % 16 == 0 ? u"Q9"_s : u"Banda"_s, title, u"Disco"_s,
                    u"20"_s + number.rightJustified(2, u'0'), u"Rock"_s, u""_s});
  }
  return directories;
}

}  // namespace

TEST_P(SearchCatalogueTest, ListingsOfManyFilesFindWhatEveryRowHoldsAfterPlainSqlChanges) {
  storeListing(1, u"Grande"_s, 1, manyFiles());
  storeListing(2, u"Pequeño"_s, 2, kSecondDir);
  const QStringList queries = {u"zafiro"_s, u"xilofono"_s, u"q9"_s,  u"tema 3"_s, u"xi"_s,
                               u"20"_s,     u"nuevo q9"_s, u"afi"_s, u"xilo"_s,   u"ocaso"_s};
  const auto expectAsEveryRow = [&](const char* when) {
    for (const QString& text : queries) {
      for (const SearchField field : {SearchField::Todo, SearchField::Titulo, SearchField::Artista,
                                      SearchField::Directorio}) {
        const SearchRequest request{text, field, SearchMedium::Todos};
        EXPECT_EQ(keysOf(searchCatalogue(request).files), bruteForce(request))
            << when << ": " << text.toStdString() << " field " << static_cast<int>(field);
      }
    }
  };
  expectAsEveryRow("stored");
  EXPECT_EQ(keysOf(searchCatalogue({u"q9"_s}).files), (QStringList{u"1:16"_s, u"1:32"_s}));
  // A title changed and a file gone, each in its own group; a file added at the end; a
  // directory renamed and another one's range moved across a group's edge.
  plainSql({u"UPDATE infoMP3 SET title = 'Ocaso' WHERE rp_id = 1 AND filegenorder = 17"_s,
            u"DELETE FROM infoMP3 WHERE rp_id = 1 AND filegenorder = 33"_s,
            u"INSERT INTO infoMP3 VALUES (1, 'Disco', 'Q9', '', 'Rock', 'Nuevo', '41', '2041', "
            u"'41.mp3', 41, 41)"_s,
            u"UPDATE estructdir SET dirname = '/xilo' WHERE rp_id = 1 AND songfrom = 31"_s,
            u"UPDATE estructdir SET songto = 14 WHERE rp_id = 1 AND songfrom = 1"_s,
            u"UPDATE estructdir SET songfrom = 15 WHERE rp_id = 1 AND songfrom = 13"_s});
  expectAsEveryRow("changed");
  plainSql({u"DELETE FROM infoMP3 WHERE rp_id = 1"_s});
  expectAsEveryRow("emptied");
}

TEST_P(SearchCatalogueFileTest, PlainSqlWritesNeedNothingThisProgramRegisters) {
  // An outside client's write with every conflict policy still succeeds; rows of no listing or
  // of a listing number that is text are noted and harmless.
  plainSql({u"INSERT OR FAIL INTO infoMP3 (rp_id, title) VALUES (9, 'a')"_s,
            u"INSERT OR FAIL INTO infoMP3 (rp_id, title) VALUES (9, 'b')"_s,
            u"INSERT OR ROLLBACK INTO infoMP3 (rp_id, title) VALUES (NULL, 'c')"_s,
            u"INSERT OR REPLACE INTO infoMP3 (rp_id, title) VALUES ('x', 'd')"_s});
  EXPECT_EQ(
      rows(u"SELECT DISTINCT rp_id FROM search_pending WHERE rp_id IS NOT NULL ORDER BY rp_id"_s),
      (QStringList{u"9"_s, u"x"_s}));
  EXPECT_EQ(searchCatalogue({u"a"_s}).files.size(), 0U);
  EXPECT_EQ(rows(u"SELECT count(*) FROM search_pending"_s), QStringList{u"0"_s});
}

TEST_P(SearchCatalogueFileTest, TheIndexFunctionsServeNoViewNorTrigger) {
  // A schema object that needed them would fail on every other client's connection; so they
  // refuse to serve one even on the program's own.
  plainSql({u"CREATE VIEW folded AS SELECT search_text(title) FROM infoMP3"_s});
  storeListing(1, u"Primero"_s, 1, kFirstCd);
  ASSERT_EQ(searchCatalogue({u"macarena"_s}).error, QString());
  QSqlQuery query(BdConnection().driverConnection());
  EXPECT_FALSE(query.exec(u"SELECT * FROM folded"_s));
  EXPECT_TRUE(query.lastError().text().contains(u"search_text"_s))
      << query.lastError().text().toStdString();
}

// Another program may write files without their number: each is still found, once, with its
// own texts, before the numbered files of its listing, and a miss finds none of them.
TEST_P(SearchCatalogueTest, FilesWithoutANumberAreFoundEachOnce) {
  plainSql({u"INSERT INTO reports VALUES (4, 'Suelto', 2, '')"_s,
            u"INSERT INTO estructdir VALUES (4, '/suelto', 1, 1)"_s,
            u"INSERT INTO infoMP3 VALUES (4, '', 'Ana', '', '', 'Sin número uno', '', '', "
            u"'a.mp3', 1, NULL)"_s,
            u"INSERT INTO infoMP3 VALUES (4, '', 'Eva', '', '', 'Sin número dos', '', '', "
            u"'e.mp3', 2, NULL)"_s,
            u"INSERT INTO infoMP3 VALUES (4, '', 'Ana', '', '', 'Numerado', '', '', "
            u"'n.mp3', 3, 1)"_s});
  const auto titlesOf = [](const SearchResult& result) {
    QStringList titles;
    for (const CatalogueFile& file : result.files) {
      titles.append(file.title + u'@' + QString::number(file.filegenorder));
    }
    titles.sort();
    return titles;
  };
  EXPECT_EQ(titlesOf(searchCatalogue({u"sin numero"_s})),
            (QStringList{u"Sin número dos@0"_s, u"Sin número uno@0"_s}));
  EXPECT_EQ(titlesOf(searchCatalogue({u"ana"_s, SearchField::Artista})),
            (QStringList{u"Numerado@1"_s, u"Sin número uno@0"_s}));
  EXPECT_EQ(titlesOf(searchCatalogue({u"ev"_s, SearchField::Todo, SearchMedium::Directorios})),
            QStringList{u"Sin número dos@0"_s});
  EXPECT_EQ(searchCatalogue({u"ev"_s, SearchField::Todo, SearchMedium::CDs}).files.size(), 0U);
  const SearchResult ordered = searchCatalogue({u".mp3"_s});
  ASSERT_EQ(ordered.files.size(), 3U);
  EXPECT_EQ(ordered.files.back().title, u"Numerado"_s);
  // Pages of one file show each file once, those without a number too.
  SearchResult paged;
  for (qint64 first = 0; first < 3; ++first) {
    const SearchResult page =
        searchCatalogue({u".mp3"_s, SearchField::Todo, SearchMedium::Todos, 0, first, 1});
    EXPECT_EQ(page.total, 3);
    paged.files.insert(paged.files.end(), page.files.begin(), page.files.end());
  }
  EXPECT_EQ(titlesOf(paged), titlesOf(ordered));
}

TEST_P(SearchCatalogueTest, ListingsStoredAndDeletedByTheProgramAreFollowed) {
  const auto model = makeListing(u"Guardado"_s, 2, {2, 1});
  const StoreResult stored = Save2bd(*model, {});
  ASSERT_TRUE(stored.ok());
  EXPECT_EQ(keysOf(searchCatalogue({u"title3"_s}).files), QStringList{u"%1:3"_s.arg(stored.rp_id)});
  EXPECT_EQ(searchCatalogue({u"guardado"_s, SearchField::Listado, SearchMedium::CDs}).files.size(),
            0U);
}

TEST_P(SearchCatalogueFileTest, AStoredListingIsSearchedWhereTheFileCannotBeWritten) {
  ASSERT_TRUE(Save2bd(*makeListing(u"Guardado"_s, 2, {2, 1})).ok());
  indexStoredListing();
  EXPECT_EQ(rows(u"SELECT count(*) FROM search_pending"_s), QStringList{u"0"_s});
  CloseBd();
  writeFile(programDir_ + u"/config.ini"_s,
            "[bd]\r\ncadcon=Provider=QSQLITE;QSQLITE_OPEN_READONLY;\r\n");
  ASSERT_EQ(OpenBd(), QString());
  const SearchResult found = searchCatalogue({u"title3"_s});
  EXPECT_EQ(found.error, QString());
  EXPECT_EQ(keysOf(found.files), QStringList{u"1:3"_s});
  // What another program wrote since can only be indexed where the file can be written.
  plainSql({u"INSERT INTO infoMP3 (rp_id, title) VALUES (1, 'otro')"_s});
  EXPECT_TRUE(searchCatalogue({u"otro"_s}).error.contains(u"readonly"_s));
}

TEST_P(SearchCatalogueTest, DuplicatesMatchArtistAndTitleElseTheFileName) {
  storeListing(1, u"Primero"_s, 1, kFirstCd);
  storeListing(2, u"Segundo"_s, 2, kSecondDir);
  storeListing(
      3, u"Tercero"_s, 1,
      {{{u"other.mp3"_s, u"NIÑO JOSELE"_s, u"cancion del arbol "_s, u""_s, u""_s, u""_s, u""_s},
        {u"02 U2.mp3"_s, u"U2"_s, u""_s, u""_s, u""_s, u""_s, u""_s}}});
  // Another program's copy, written without a number.
  plainSql(
      {u"INSERT INTO infoMP3 VALUES (3, '', 'LOS DEL RIO', '', '', 'Macarena ', '', '', "
       u"'m.mp3', 3, NULL)"_s});
  const DuplicatesResult all = findDuplicates(SearchMedium::Todos);
  ASSERT_EQ(all.error, QString());
  std::vector<QStringList> groups;
  for (const DuplicateGroup& group : all.groups) {
    groups.push_back(keysOf(group.copies));
  }
  // Groups by key: "05 x.mp3" twice without artist nor title; the same artist and title
  // twice, once without a number, and under three file names. "02 U2.mp3" has a title in
  // listings 1 and 2, so its name is no key.
  EXPECT_EQ(groups,
            (std::vector<QStringList>{
                {u"1:5"_s, u"2:3"_s}, {u"1:4"_s, u"3:0"_s}, {u"1:1"_s, u"2:1"_s, u"3:1"_s}}));
  EXPECT_EQ(all.groups[1].copies[1].filename, u"m.mp3"_s);
  EXPECT_EQ(all.groups[2].copies[2].dirname, u"/música/Tercero/dir 1"_s);
  const DuplicatesResult cds = findDuplicates(SearchMedium::CDs);
  ASSERT_EQ(cds.groups.size(), 2U);
  EXPECT_EQ(keysOf(cds.groups[1].copies), (QStringList{u"1:1"_s, u"3:1"_s}));
}
