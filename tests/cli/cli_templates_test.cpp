#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QXmlStreamReader>

#include "cli/cli_program_fixture.h"
#include "support/audio_fixtures.h"

using namespace Qt::StringLiterals;

namespace {

// Real MP3 files whose names need care in a URI and whose titles need care in markup.
class CliTemplatesTest : public CliProgramTest {
 protected:
  void SetUp() override {
    CliProgramTest::SetUp();
    music = work + u"/Música"_s;
    makeAudioFiles({{music + u"/Uno/a #1.mp3"_s,
                     44100,
                     44100,
                     2,
                     {{u"title"_s, u"<script>alert(1)</script>"_s}, {u"artist"_s, u"A & \"B\""_s}}},
                    {music + u"/Uno/50% b?.mp3"_s, 88200},
                    {music + u"/Dos/c d.mp3"_s, 132300, 44100, 2, {{u"title"_s, u"Ce"_s}}}});
    makeDirectory(work + u"/listas"_s);
  }

  // The listing of the music through a preset, written into listas/.
  QString exported(const QString& preset, const QString& name) {
    const QString path = work + u"/listas/"_s + name;
    const ProgramRun run = this->run({u"scan"_s, music, u"--tags"_s, u"v2v1"_s, u"--properties"_s,
                                      u"on"_s, u"--template"_s, preset, u"--output"_s, path});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return QString::fromUtf8(readFile(path));
  }

  // Whether a playlist's path names one of the listed files.
  bool resolves(const QString& path) const {
    return QFileInfo(QDir(work + u"/listas"_s).filePath(path)).isFile();
  }

  QString music;
};

}  // namespace

TEST_F(CliTemplatesTest, PlaylistsResolveToTheListedFilesWithTheirDurations) {
  const QStringList m3u = exported(u"M3U8 (rutas relativas)"_s, u"x.m3u8"_s).split(u'\n');
  ASSERT_GE(m3u.size(), 7);
  EXPECT_EQ(m3u[0], u"#EXTM3U"_s);
  const QStringList pls = exported(u"PLS"_s, u"x.pls"_s).split(u'\n');
  EXPECT_TRUE(pls.contains(u"NumberOfEntries=3"_s));
  EXPECT_TRUE(pls.contains(u"Version=2"_s));
  for (int i = 0; i < 3; ++i) {
    const QString entry = QString::number(i + 1);
    EXPECT_TRUE(m3u[1 + 2 * i].startsWith(u"#EXTINF:"_s)) << m3u[1 + 2 * i].toStdString();
    EXPECT_TRUE(resolves(m3u[2 + 2 * i])) << m3u[2 + 2 * i].toStdString();
    const auto file = std::find_if(pls.begin(), pls.end(), [&](const QString& line) {
      return line.startsWith(u"File"_s + entry + u'=');
    });
    ASSERT_NE(file, pls.end());
    EXPECT_TRUE(resolves(file->section(u'=', 1)));
    const QString extinfSeconds = m3u[1 + 2 * i].section(u':', 1).section(u',', 0, 0);
    EXPECT_TRUE(pls.contains(u"Length"_s + entry + u'=' + extinfSeconds));
  }
  EXPECT_TRUE(m3u.contains(u"#EXTINF:3,Ce"_s));
  EXPECT_TRUE(m3u.contains(u"#EXTINF:1,A & \"B\" - <script>alert(1)</script>"_s));
}

TEST_F(CliTemplatesTest, XspfIsXmlWithFileLocationsAndDurations) {
  QXmlStreamReader xml(exported(u"XSPF"_s, u"x.xspf"_s));
  QStringList titles;
  std::vector<std::pair<QString, qint64>> tracks;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) {
      continue;
    }
    if (xml.name() == u"location") {
      tracks.emplace_back(QUrl(xml.readElementText()).toLocalFile(), 0);
    } else if (xml.name() == u"duration") {
      tracks.back().second = xml.readElementText().toLongLong();
    } else if (xml.name() == u"title") {
      titles.append(xml.readElementText());
    }
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  ASSERT_EQ(tracks.size(), 3u);
  for (const auto& [path, ms] : tracks) {
    EXPECT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
    const qint64 expected = path.endsWith(u"c d.mp3"_s) ? 3000 : path.contains(u'#') ? 1000 : 2000;
    EXPECT_NEAR(ms, expected, 60) << path.toStdString();
  }
  EXPECT_TRUE(titles.contains(u"<script>alert(1)</script>"_s));
}

TEST_F(CliTemplatesTest, HtmlShowsTagTextsAsText) {
  const QString path = work + u"/listas/x.html"_s;
  exported(u"HTML por disco"_s, u"x.html"_s);
  // Python's own HTML parser: the elements it meets and the text it reads.
  QProcess parser;
  parser.start(u"/usr/bin/python3"_s,
               {u"-c"_s,
                u"import sys, html.parser\n"
                u"class P(html.parser.HTMLParser):\n"
                u"  def handle_starttag(self, tag, attrs): print('TAG', tag)\n"
                u"  def handle_data(self, data): print('TEXT', data.strip())\n"
                u"P().feed(open(sys.argv[1], encoding='utf-8').read())\n"_s,
                path});
  ASSERT_TRUE(parser.waitForFinished(30000));
  const QStringList seen = QString::fromUtf8(parser.readAllStandardOutput()).split(u'\n');
  EXPECT_TRUE(seen.contains(u"TEXT <script>alert(1)</script>"_s));
  EXPECT_TRUE(seen.contains(u"TEXT A & \"B\""_s));
  EXPECT_FALSE(seen.contains(u"TAG script"_s));
  // The head, rendered last, holds the whole export's totals.
  EXPECT_TRUE(seen.join(u'\n').contains(u"1 listados, 2 directorios, 3 archivos, 0:06"_s));
}

TEST_F(CliTemplatesTest, EveryPresetListsEveryFile) {
  const QStringList presets = {u"M3U8 (rutas relativas)"_s,
                               u"M3U8 (rutas absolutas)"_s,
                               u"XSPF"_s,
                               u"PLS"_s,
                               u"HTML por disco"_s,
                               u"Carátula de CD"_s,
                               u"Markdown"_s,
                               u"Texto con totales"_s};
  for (const QString& preset : presets) {
    const QString text = exported(preset, u"todas"_s);
    // Each file by its title or its name, as the preset writes it.
    for (const auto& [title, name] :
         {std::pair{u"Ce"_s, u"c d"_s}, {u"50% b?"_s, u"50% b?"_s}, {u"script"_s, u"a #1"_s}}) {
      EXPECT_TRUE(text.contains(title) || text.contains(name))
          << preset.toStdString() << ": " << name.toStdString();
    }
  }
}

TEST_F(CliTemplatesTest, BadTemplatesFailWithoutWritingAnything) {
  const QString out = work + u"/listas/nada.txt"_s;
  const ProgramRun unknown =
      run({u"scan"_s, music, u"--template"_s, u"No existe"_s, u"--output"_s, out});
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_TRUE(unknown.err.contains("no hay ninguna plantilla «No existe»"));
  const QString broken = work + u"/rota.plantilla"_s;
  writeFile(broken, "nombre: Rota\n== archivo ==\n{{#archivo_album}}\n");
  const ProgramRun malformed = run({u"scan"_s, music, u"--template"_s, broken, u"--output"_s, out});
  EXPECT_EQ(malformed.exitCode, 1);
  EXPECT_TRUE(malformed.err.contains("falta cerrar {{#archivo_album}}")) << malformed.err.data();
  EXPECT_FALSE(QFileInfo::exists(out));
  EXPECT_EQ(run({u"scan"_s, music, u"--template"_s, u"PLS"_s, u"--format"_s, u"csv"_s}).exitCode,
            2);
}

TEST_F(CliTemplatesTest, CatalogueBookHoldsEveryStoredListing) {
  ASSERT_EQ(run({u"scan"_s, music + u"/Uno"_s, u"--store"_s}).exitCode, 0);
  ASSERT_EQ(run({u"scan"_s, music + u"/Dos"_s, u"--store"_s}).exitCode, 0);
  const ProgramRun book = run({u"export-catalogue"_s, u"--template"_s, u"Texto con totales"_s});
  ASSERT_EQ(book.exitCode, 0) << book.err.toStdString();
  const QString text = QString::fromUtf8(book.out);
  EXPECT_TRUE(text.startsWith(u"2 listados, 2 directorios, 3 archivos"_s)) << text.toStdString();
  EXPECT_LT(text.indexOf(u"/Uno [DIR]"_s), text.indexOf(u"/Dos [DIR]"_s));
  // A stored listing's user fields reach its record.
  ASSERT_EQ(run({u"props"_s, u"2"_s, u"--ubicacion"_s, u"Caja 3"_s}).exitCode, 0);
  const QString where = work + u"/donde.plantilla"_s;
  writeFile(where, "nombre: Donde\n== listado ==\n{{listado_numero}}:{{listado_ubicacion}}\n");
  EXPECT_EQ(run({u"export-catalogue"_s, u"--template"_s, where}).out, "1:\n2:Caja 3\n");
  const ProgramRun listed = run({u"templates"_s});
  EXPECT_EQ(QString::fromUtf8(listed.out).count(u"predefinida\t"_s), 8);
}
