#include "output/template_engine.h"
#include "output/template_export.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Two directories: the first with a tagged file and an untagged one, the second with one file.
std::unique_ptr<ListingModel> smallListing() {
  auto model = std::make_unique<ListingModel>();
  model->FinalName = u"/m"_s;
  model->FinalType = kMedioDirectorio;
  model->RutaInicial = u"/m"_s;
  model->Directorios[1] = {u"/m/Uno"_s, 1, 2};
  model->Directorios[2] = {u"/m/Dos"_s, 3, 3};
  model->Canciones[1] = {u"Disco"_s, u"Ana"_s, {}, {}, u"T1"_s, u"3"_s, {}, u"a.mp3"_s, u"1"_s};
  model->Canciones[2] = {{}, {}, {}, {}, {}, u"0"_s, {}, u"b.mp3"_s, u"2"_s};
  model->Canciones[3] = {{}, {}, {}, {}, u"T3"_s, u"0"_s, {}, u"c.mp3"_s, u"1"_s};
  model->NumDirectoriosMP3 = model->DirActualNum = 2;
  model->NumCancionesMP3 = 3;
  return model;
}

ExportTemplate templateOf(TemplateKind kind, const QString& file, const QString& directory = {}) {
  ExportTemplate tmpl;
  tmpl.name = u"Prueba"_s;
  tmpl.kind = kind;
  tmpl.part(TemplatePart::Archivo) = file;
  tmpl.part(TemplatePart::Directorio) = directory;
  return tmpl;
}

std::optional<ExportTemplate> noPartials(const QString& name, QString& error) {
  error = u"no hay ninguna plantilla «%1»"_s.arg(name);
  return std::nullopt;
}

QString rendered(const ExportTemplate& tmpl) {
  QString error;
  QStringList warnings;
  const std::optional<CompiledTemplate> compiled =
      CompiledTemplate::compile(tmpl, &noPartials, error, warnings);
  EXPECT_TRUE(compiled) << error.toStdString();
  if (!compiled) {
    return {};
  }
  return QString::fromUtf8(templateListingBytes(*compiled, *smallListing(), {u"/m"_s, 2}, 0, {},
                                                QString(), ExportEncoding::Utf8));
}

}  // namespace

TEST(TemplateEngine, EscapesValuesForEachKindOfOutput) {
  const std::string hostile = "<script>\"a\" & 'b'\r\nc\x01";
  const struct {
    TemplateKind kind;
    std::string expected;
  } cases[] = {
      {TemplateKind::Html, "&lt;script&gt;&quot;a&quot; &amp; &#39;b&#39;&#13;&#10;c\xEF\xBF\xBD"},
      {TemplateKind::Xml, "&lt;script&gt;&quot;a&quot; &amp; &#39;b&#39;&#13;&#10;c\xEF\xBF\xBD"},
      {TemplateKind::Json, "<script>\\\"a\\\" & 'b'\\r\\nc\\u0001"},
      {TemplateKind::M3u, "<script>\"a\" & 'b'c\x01"},
      {TemplateKind::Text, hostile},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(escapeTemplateValue(c.kind, hostile), c.expected) << int(c.kind);
  }
}

TEST(TemplateEngine, LinesOfCommentsDelimitersAndSectionsLeaveNoBlankLine) {
  const QString file =
      u"{{! a comment alone }}\n"
      u"  {{=<% %>=}}\n"
      u"<%#archivo_tiene_album%>\n"
      u"  [<%archivo_album%>]\n"
      u"<%/archivo_tiene_album%>\n"
      u"<%={{ }}=%>\n"
      u"{{archivo_numero}} {{archivo_titulo}}{{^archivo_tiene_titulo}}{{archivo_nombre}}{{/archivo_tiene_titulo}}\n"_s;
  EXPECT_EQ(rendered(templateOf(TemplateKind::Text, file)), u"  [Disco]\n1 T1\n2 b.mp3\n3 T3\n"_s);
}

TEST(TemplateEngine, EveryFileDefinesItsOwnKeys) {
  // A record reused from file to file must not keep the previous file's album or track, nor
  // find its directory's fields under a file's name.
  const QString file =
      u"{{archivo_nombre}}:{{#archivo_album}}{{.}}{{/archivo_album}}:"
      u"{{archivo_pista2}}:{{#archivo_es_ultimo}}fin{{/archivo_es_ultimo}}\n"_s;
  EXPECT_EQ(rendered(templateOf(TemplateKind::Text, file, u"{{dir_nombre}}\n"_s)),
            u"Uno\na.mp3:Disco:03:\nb.mp3:::fin\nDos\nc.mp3:::fin\n"_s);
}

TEST(TemplateEngine, ErrorsSayWhereAndNothingIsRendered) {
  const struct {
    QString file;
    QString error;
  } cases[] = {
      {u"uno\ndos {{#archivo_album}} x\n"_s,
       u"archivo, línea 2, columna 5: falta cerrar {{#archivo_album}}"_s},
      {u"{{/archivo_album}}\n"_s,
       u"archivo, línea 1, columna 1: {{/archivo_album}} cierra una sección que no está abierta"_s},
      {u"x {{archivo_titulo\n"_s, u"archivo, línea 1, columna 3: falta cerrar la etiqueta"_s},
      {u"{{> Otra}}\n"_s, u"parcial {{>Otra}}: no hay ninguna plantilla «Otra»"_s},
  };
  for (const auto& c : cases) {
    QString error;
    QStringList warnings;
    EXPECT_FALSE(CompiledTemplate::compile(templateOf(TemplateKind::Text, c.file), &noPartials,
                                           error, warnings));
    EXPECT_EQ(error, c.error);
  }
}

TEST(TemplateEngine, SelfIncludingPartialsStopAtTheDepthLimit) {
  const ExportTemplate loop = templateOf(TemplateKind::Text, u"x{{> Prueba}}\n"_s);
  int lookups = 0;
  const PartialLookup itself = [&](const QString&, QString&) {
    ++lookups;
    return std::optional(loop);
  };
  QString error;
  QStringList warnings;
  EXPECT_FALSE(CompiledTemplate::compile(loop, itself, error, warnings));
  EXPECT_TRUE(error.contains(u"más de 8 niveles"_s)) << error.toStdString();
  EXPECT_EQ(lookups, kMaxPartialDepth);
}

TEST(TemplateEngine, UnknownFieldsAreWarnedAboutOnce) {
  QString error;
  QStringList warnings;
  EXPECT_TRUE(CompiledTemplate::compile(
      templateOf(TemplateKind::Text,
                 u"{{archivo_artsit}} {{#archivo_artsit}}{{/archivo_artsit}}"
                 u" {{{archivo_titulo}}}\n"_s),
      &noPartials, error, warnings));
  EXPECT_EQ(warnings, QStringList{u"campo desconocido: {{archivo_artsit}}"_s});
}

TEST(TemplateEngine, APartialIsTheSamePartOfTheTemplateItNames) {
  ExportTemplate shared = templateOf(TemplateKind::Html, u"<{{archivo_nombre}}>"_s);
  shared.part(TemplatePart::Directorio) = u"never used here\n"_s;
  const PartialLookup lookup = [&](const QString& name, QString& error) {
    if (name == u"Compartida") {
      return std::optional(shared);
    }
    error = u"no existe"_s;
    return std::optional<ExportTemplate>();
  };
  QString error;
  QStringList warnings;
  const std::optional<CompiledTemplate> compiled = CompiledTemplate::compile(
      templateOf(TemplateKind::Html, u"  {{> Compartida}}\n{{archivo_numero}}\n"_s), lookup, error,
      warnings);
  ASSERT_TRUE(compiled) << error.toStdString();
  EXPECT_EQ(templateListingBytes(*compiled, *smallListing(), {u"/m"_s, 2}, 0, {}, QString(),
                                 ExportEncoding::Utf8),
            "<a.mp3>1\n<b.mp3>2\n<c.mp3>3\n");
}

TEST(TemplateEngine, TheOptionsEncodingIsUsedOnlyWhenTheTemplateAsksForIt) {
  ExportTemplate tmpl = templateOf(TemplateKind::Text, {});
  tmpl.part(TemplatePart::Cabecera) = u"Canción {{exportacion_archivos}}\n"_s;
  QString error;
  QStringList warnings;
  for (const bool options : {false, true}) {
    tmpl.optionsEncoding = options;
    const std::optional<CompiledTemplate> compiled =
        CompiledTemplate::compile(tmpl, &noPartials, error, warnings);
    ASSERT_TRUE(compiled);
    EXPECT_EQ(templateListingBytes(*compiled, *smallListing(), {u"/m"_s, 2}, 0, {}, QString(),
                                   ExportEncoding::Windows1252),
              options ? QByteArray("Canci\xf3n 3\n") : QByteArray("Canci\xc3\xb3n 3\n"));
  }
}
