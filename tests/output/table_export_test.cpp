#include "output/listing_export.h"
#include "output/listing_table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <memory>

#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

// Texts that break naive writers: separators, quotes, line breaks, tabs, accents, a character
// outside the basic plane, and the stored acute accent that stands for an apostrophe.
std::unique_ptr<ListingModel> awkwardListing() {
  auto model = std::make_unique<ListingModel>();
  model->FinalName = u"Colección d´Ana, \"vol; 1\""_s;
  model->FinalType = kMedioCd;
  model->Directorios[1] = {u"/mnt/cd/Rock; y, \"más\""_s, 1, 2};
  model->Directorios[2] = {u"/mnt/cd/vacío"_s, 3, 2};
  model->Directorios[3] = {u"/mnt/cd/Otro\ttab"_s, 3, 3};
  SongRecord& first = model->Canciones[1];
  first = {u"Álbum, \"uno\""_s, u"Señor; Ñu"_s,  u"línea 1\r\nlínea 2\nfin"_s,
           u"Rock"_s,           u"Tí\ttulo 𝄞"_s, u"7"_s,
           u"1999"_s,           u"d´ahí.mp3"_s,  u"1"_s};
  model->Canciones[2] = {{}, {}, {}, {}, {}, u"0"_s, {}, u"b.mp3"_s, u"2"_s};
  model->Canciones[3] = {u"\"\""_s, u","_s,    u";"_s,     u"Pop"_s, u"\\ y /"_s,
                         u"1"_s,    u"19x9"_s, u"c.mp3"_s, u"1"_s};
  model->NumDirectoriosMP3 = 3;
  model->NumCancionesMP3 = 3;
  return model;
}

// The fields every row should carry, as texts in column order.
std::vector<QStringList> expectedRows(const ListingModel& model) {
  const auto row = [&](int dir, int file) {
    const SongRecord& s = model.Canciones[file];
    QString filename = s.filename;
    return QStringList{u"Colección d'Ana, \"vol; 1\""_s,
                       u"CD"_s,
                       QString::number(dir),
                       model.Directorios[dir].dirname,
                       QString::number(file),
                       s.fileorder,
                       filename.replace(u'´', u'\''),
                       s.artist,
                       s.title,
                       s.album,
                       s.year,
                       s.track,
                       s.genre,
                       s.comment,
                       {},
                       {},
                       {},
                       {}};
  };
  return {row(1, 1), row(1, 2), row(3, 3)};
}

// Python reads the file with its own csv or json module and prints what it read as JSON:
// a list of rows, each a list of texts (JSON numbers as their text, null as empty).
QJsonArray readBackWithPython(const QString& path, const QString& how) {
  const QString script =
      uR"(
import csv, json, sys
path, how = sys.argv[1], sys.argv[2]
text = lambda v: '' if v is None else str(v)
if how.startswith('csv'):
    with open(path, encoding='utf-8-sig', newline='') as f:
        rows = list(csv.reader(f, delimiter=how[3:]))
elif how == 'json-listing':
    with open(path, encoding='utf-8') as f:
        doc = json.load(f)
    rows = [[doc['listado'], doc['medio'], str(doc['directorios']), str(doc['archivos'])]]
    for d in doc['directorio']:
        for f in d['archivo']:
            assert f['num_directorio'] == d['num_directorio'] and f['directorio'] == d['directorio']
            rows.append(list(f.keys()))
            rows.append([text(v) for v in f.values()])
print(json.dumps(rows))
)"_s;
  QProcess python;
  python.start(u"python3"_s, {u"-c"_s, script, path, how});
  EXPECT_TRUE(python.waitForFinished(30000));
  EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
  return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

QStringList texts(const QJsonValue& row) {
  QStringList fields;
  for (const QJsonValue& field : row.toArray()) {
    fields.append(field.toString());
  }
  return fields;
}

QString written(ExportFormat format, const ListingModel& model, const ExportChoices& choices) {
  const QString path = TestEnvironment::newTempDir() + u"/out"_s;
  EXPECT_EQ(writeListingExport(path, format, model, listingNameOf(model), {}, choices), QString());
  return path;
}

}  // namespace

TEST(TableExport, CsvReadsBackFieldForFieldWithEitherSeparator) {
  const auto model = awkwardListing();
  for (const auto& [separator, mark] :
       {std::pair{CsvSeparator::Comma, u","_s}, std::pair{CsvSeparator::Semicolon, u";"_s}}) {
    const QString path = written(ExportFormat::Csv, *model, {.csvSeparator = separator});
    EXPECT_TRUE(readFile(path).startsWith("\xEF\xBB\xBFlistado" + mark.toLatin1() + "medio"));
    const QJsonArray rows = readBackWithPython(path, u"csv"_s + mark);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(texts(rows[0]), listingColumns());
    const std::vector<QStringList> expected = expectedRows(*model);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(texts(rows[i + 1]), expected[static_cast<size_t>(i)]) << i;
    }
  }
}

TEST(TableExport, CsvRecordsEndInCrLfAndQuoteOnlyWhatNeedsIt) {
  const ExportTable table{{u"a"_s, u"b"_s}, {{{u"x\"y"_s}, {u"plain"_s}}, {{u"1;2"_s}, {}}}};
  EXPECT_EQ(csvBytes(table, CsvSeparator::Comma, false), "a,b\r\n\"x\"\"y\",plain\r\n1;2,\r\n");
  EXPECT_EQ(csvBytes(table, CsvSeparator::Semicolon, false),
            "a;b\r\n\"x\"\"y\";plain\r\n\"1;2\";\r\n");
}

TEST(TableExport, JsonListingReadsBackWithItsDirectoriesAndColumnsInOrder) {
  const auto model = awkwardListing();
  const QString path = written(ExportFormat::Json, *model, {});
  EXPECT_FALSE(readFile(path).startsWith("\xEF\xBB\xBF"));
  const QJsonArray rows = readBackWithPython(path, u"json-listing"_s);
  ASSERT_EQ(rows.size(), 7);
  EXPECT_EQ(texts(rows[0]),
            QStringList({u"Colección d'Ana, \"vol; 1\""_s, u"CD"_s, u"3"_s, u"3"_s}));
  const std::vector<QStringList> expected = expectedRows(*model);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(texts(rows[1 + 2 * i]), listingColumns());
    EXPECT_EQ(texts(rows[2 + 2 * i]), expected[static_cast<size_t>(i)]) << i;
  }
}

TEST(TableExport, JsonEscapesControlCharactersAndKeepsNumbersAndNullsBare) {
  const ExportTable table{
      {u"t"_s, u"n"_s, u"x"_s},
      {{{u"a\u0001\"\\\u00e9"_s}, ExportCell::number(12), ExportCell::absent()},
       {ExportCell::numberOrText(u"07a"_s), ExportCell::numberOrText(u"-3"_s), {}}}};
  EXPECT_EQ(jsonArrayBytes(table),
            "[\n{\"t\": \"a\\u0001\\\"\\\\\xC3\xA9\", \"n\": 12, \"x\": null},\n"
            "{\"t\": \"07a\", \"n\": -3, \"x\": \"\"}\n]\n");
  EXPECT_EQ(jsonArrayBytes({{u"t"_s}, {}}), "[]\n");
}

TEST(TableExport, AnEmptyListingIsAValidDocument) {
  ListingModel model;
  model.FinalName = u"x"_s;
  model.FinalType = kMedioDirectorio;
  const QJsonDocument doc = QJsonDocument::fromJson(listingJsonBytes(model, listingNameOf(model)));
  EXPECT_EQ(doc.object().value(u"archivos"_s).toInt(-1), 0);
  EXPECT_TRUE(doc.object().value(u"directorio"_s).toArray().isEmpty());
  EXPECT_EQ(
      csvBytes(listingTable(model, listingNameOf(model)), CsvSeparator::Comma, false).count("\r\n"),
      1);
}

// A whole-collection listing is written whole, past the classic limits.
TEST(TableExport, AListingPastTheClassicLimitsIsWrittenWhole) {
  ListingModel model;
  const int files = kMaxCanciones + 5;
  model.directorySlot(1) = {u"/d"_s, 1, files};
  for (int f = 1; f <= files; ++f) {
    model.songSlot(f).filename = u"%1.mp3"_s.arg(f);
  }
  model.NumDirectoriosMP3 = 1;
  model.NumCancionesMP3 = files;
  const ExportTable table = listingTable(model, listingNameOf(model));
  ASSERT_EQ(table.rows.size(), size_t{files});
  EXPECT_EQ(table.rows.back()[6].text, u"1005.mp3"_s);
}

// The catalogue keeps "´" for every "'"; data for other programs has the apostrophes back, in
// the tags as in the names.
TEST(TableExport, EveryTextHasItsApostropheBack) {
  auto model = std::make_unique<ListingModel>();
  model->FinalName = u"D´Ana"_s;
  model->FinalType = kMedioDirectorio;
  model->Directorios[1] = {u"/música/Guns N´ Roses"_s, 1, 1};
  model->Canciones[1] = {u"Use Your Illusion´s"_s,
                         u"Guns N´ Roses"_s,
                         u"It´s"_s,
                         u"Rock´n´Roll"_s,
                         u"Don´t Cry"_s,
                         u"1"_s,
                         u"1991´"_s,
                         u"Don´t.mp3"_s,
                         u"1"_s};
  model->NumDirectoriosMP3 = 1;
  model->NumCancionesMP3 = 1;
  for (const ExportFormat format : {ExportFormat::Csv, ExportFormat::Json}) {
    const QString bytes = QString::fromUtf8(readFile(written(format, *model, {})));
    EXPECT_FALSE(bytes.contains(u'´')) << bytes.toStdString();
    for (const QString& text : {u"D'Ana"_s, u"Guns N' Roses"_s, u"Use Your Illusion's"_s, u"It's"_s,
                                u"Rock'n'Roll"_s, u"Don't Cry"_s, u"1991'"_s, u"Don't.mp3"_s}) {
      EXPECT_TRUE(bytes.contains(text)) << text.toStdString();
    }
  }
}
