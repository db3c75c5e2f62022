#include "output/template_fields.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "base/text_helpers.h"
#include "output/listing_table.h"

using namespace Qt::StringLiterals;

namespace {

const QString kExport = u"exportación"_s;
const QString kListing = u"listado"_s;
const QString kDirectory = u"directorio"_s;
const QString kFile = u"archivo"_s;

// The sums every level has, under its own prefix.
std::vector<TemplateFieldInfo> totalFields(const QString& prefix, const QString& level) {
  return {{prefix + u"duracion"_s, level, true, u"duración total, h:mm:ss o m:ss"_s},
          {prefix + u"segundos"_s, level, true, u"duración total en segundos"_s},
          {prefix + u"bytes"_s, level, true, u"tamaño total en bytes"_s},
          {prefix + u"mb"_s, level, true, u"tamaño total en MB, con un decimal"_s}};
}

const QStringList kTagFields = {u"artista"_s, u"titulo"_s, u"album"_s,     u"anyo"_s,
                                u"pista"_s,   u"genero"_s, u"comentario"_s};

std::vector<TemplateFieldInfo> buildReference() {
  std::vector<TemplateFieldInfo> fields = {
      {u"exportacion_fecha"_s, kExport, false, u"la fecha de la exportación, dd/mm/aaaa"_s},
      {u"exportacion_listados"_s, kExport, false, u"número de listados"_s},
      {u"exportacion_directorios"_s, kExport, false, u"número de directorios"_s},
      {u"exportacion_archivos"_s, kExport, false, u"número de archivos"_s}};
  const auto append = [&fields](const std::vector<TemplateFieldInfo>& more) {
    fields.insert(fields.end(), more.begin(), more.end());
  };
  append(totalFields(u"exportacion_"_s, kExport));
  append(
      {{u"listado_nombre"_s, kListing, false, u"nombre del listado"_s},
       {u"listado_numero"_s, kListing, false, u"número en la base de datos, si está almacenado"_s},
       {u"listado_medio"_s, kListing, false, u"CD o DIR"_s},
       {u"listado_ubicacion"_s, kListing, false, u"dónde se guarda el disco (Propiedades)"_s},
       {u"listado_categoria"_s, kListing, false, u"su categoría (Propiedades)"_s},
       {u"listado_directorios"_s, kListing, false, u"número de directorios"_s},
       {u"listado_archivos"_s, kListing, false, u"número de archivos"_s},
       {u"listado_es_primero"_s, kListing, false, u"verdadero en el primer listado"_s},
       {u"listado_es_ultimo"_s, kListing, false, u"verdadero en el último listado"_s}});
  append(totalFields(u"listado_"_s, kListing));
  append({{u"dir_numero"_s, kDirectory, false, u"número del directorio"_s},
          {u"dir_ruta"_s, kDirectory, false, u"ruta completa"_s},
          {u"dir_nombre"_s, kDirectory, false, u"último componente de la ruta"_s},
          {u"dir_ruta_relativa"_s, kDirectory, false, u"ruta desde la raíz del listado"_s},
          {u"dir_archivos"_s, kDirectory, false, u"número de archivos"_s},
          {u"dir_linea"_s, kDirectory, false, u"la línea del diseño de directorio"_s},
          {u"dir_es_primero"_s, kDirectory, false, u"verdadero en el primer directorio"_s},
          {u"dir_es_ultimo"_s, kDirectory, false, u"verdadero en el último directorio"_s}});
  append(totalFields(u"dir_"_s, kDirectory));
  append({{u"archivo_numero"_s, kFile, false, u"número del archivo en el listado"_s},
          {u"archivo_posicion"_s, kFile, false, u"posición en toda la exportación, desde 1"_s},
          {u"archivo_orden"_s, kFile, false, u"orden en su directorio, desde 1"_s},
          {u"archivo_nombre"_s, kFile, false, u"nombre con extensión"_s},
          {u"archivo_nombre_sin_extension"_s, kFile, false, u"nombre sin extensión"_s},
          {u"archivo_extension"_s, kFile, false, u"extensión, sin punto"_s},
          {u"archivo_ruta"_s, kFile, false, u"ruta completa"_s},
          {u"archivo_ruta_relativa"_s, kFile, false, u"ruta desde la raíz del listado"_s},
          {u"archivo_ruta_lista"_s, kFile, false,
           u"ruta desde la carpeta del archivo exportado (listas de reproducción)"_s},
          {u"archivo_uri"_s, kFile, false, u"URI file:// de la ruta completa"_s},
          {u"archivo_pista2"_s, kFile, false, u"pista con dos cifras"_s},
          {u"archivo_duracion"_s, kFile, true, u"duración, m:ss"_s},
          {u"archivo_segundos"_s, kFile, true, u"duración en segundos"_s},
          {u"archivo_ms"_s, kFile, true, u"duración en milisegundos"_s},
          {u"archivo_kbps"_s, kFile, true, u"tasa de bits en kbit/s"_s},
          {u"archivo_khz"_s, kFile, true, u"frecuencia de muestreo en kHz"_s},
          {u"archivo_bytes"_s, kFile, true, u"tamaño en bytes"_s},
          {u"archivo_mb"_s, kFile, true, u"tamaño en MB, con un decimal"_s},
          {u"archivo_linea"_s, kFile, false, u"la línea del diseño de archivo"_s},
          {u"archivo_es_primero"_s, kFile, false, u"verdadero en el primero de su directorio"_s},
          {u"archivo_es_ultimo"_s, kFile, false, u"verdadero en el último de su directorio"_s}});
  for (const QString& tag : kTagFields) {
    append(
        {{u"archivo_"_s + tag, kFile, false, u"etiqueta: "_s + tag},
         {u"archivo_tiene_"_s + tag, kFile, false, u"verdadero si la etiqueta no está vacía"_s}});
  }
  return fields;
}

QString durationText(qint64 ms) {
  const qint64 seconds = (ms + 500) / 1000;
  const QString tail = u"%1"_s.arg(seconds % 60, 2, 10, QChar(u'0'));
  if (seconds >= 3600) {
    return u"%1:%2:%3"_s.arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, QChar(u'0')).arg(tail);
  }
  return u"%1:%2"_s.arg(seconds / 60).arg(tail);
}

// One decimal, with the decimal comma.
QString oneDecimal(double value) {
  return QString::number(value, 'f', 1).replace(u'.', u',');
}

QString megabytes(qint64 bytes) {
  return oneDecimal(double(bytes) / (1024.0 * 1024.0));
}

void putTotals(TemplateRecord& record, const std::string& prefix, const TemplateTotals& totals) {
  const bool timed = totals.timed;
  record.put(prefix + "duracion", timed ? durationText(totals.durationMs) : QString());
  record.put(prefix + "segundos",
             timed ? QString::number((totals.durationMs + 500) / 1000) : QString());
  record.put(prefix + "bytes", timed ? QString::number(totals.bytes) : QString());
  record.put(prefix + "mb", timed ? megabytes(totals.bytes) : QString());
}

QString relativeTo(const QString& folder, const QString& path) {
  return folder.isEmpty() ? path : QDir(folder).relativeFilePath(path);
}

// ID3v1 keeps 0 for a file without a track: that is no track.
QString trackText(const QString& track) {
  return track == u"0" ? QString() : track;
}

QString twoDigitTrack(const QString& track) {
  const QString number = track.section(u'/', 0, 0).trimmed();
  bool ok = false;
  const int value = number.toInt(&ok);
  return ok && value > 0 ? u"%1"_s.arg(value, 2, 10, QChar(u'0')) : QString();
}

void putTags(TemplateRecord& record, const SongRecord& song) {
  const QStringList values = {song.artist,           song.title, song.album,  song.year,
                              trackText(song.track), song.genre, song.comment};
  for (qsizetype i = 0; i < kTagFields.size(); ++i) {
    const std::string tag = kTagFields[i].toStdString();
    const QString value = AcuteToQuote(values[i]);
    record.put("archivo_" + tag, value);
    record.putFlag("archivo_tiene_" + tag, !value.trimmed().isEmpty());
  }
  record.put("archivo_pista2", twoDigitTrack(song.track));
}

void putTechnical(TemplateRecord& record, const AudioProperties* audio) {
  record.put("archivo_duracion", audio ? durationText(audio->durationMs) : QString());
  record.put("archivo_segundos",
             audio ? QString::number((audio->durationMs + 500) / 1000) : QString());
  record.put("archivo_ms", audio ? QString::number(audio->durationMs) : QString());
  record.put("archivo_kbps", audio ? QString::number(audio->kbps) : QString());
  record.put("archivo_khz", audio ? oneDecimal(audio->hz / 1000.0) : QString());
  record.put("archivo_bytes", audio ? QString::number(audio->bytes) : QString());
  record.put("archivo_mb", audio ? megabytes(audio->bytes) : QString());
}

}  // namespace

const std::vector<TemplateFieldInfo>& templateFieldReference() {
  static const std::vector<TemplateFieldInfo> fields = buildReference();
  return fields;
}

QSet<QString> templateFieldNames() {
  QSet<QString> names;
  for (const TemplateFieldInfo& field : templateFieldReference()) {
    names.insert(field.name);
  }
  return names;
}

void TemplateTotals::add(const TemplateTotals& other) {
  listings += other.listings;
  directories += other.directories;
  files += other.files;
  durationMs += other.durationMs;
  bytes += other.bytes;
  timed = timed || other.timed;
}

void TemplateTotals::addFile(const AudioProperties* audio) {
  ++files;
  if (audio) {
    durationMs += audio->durationMs;
    bytes += audio->bytes;
    timed = true;
  }
}

QString listingRoot(const ListingModel& model) {
  if (!model.RutaInicial.isEmpty()) {
    return model.RutaInicial;
  }
  QString shared;
  for (const DirectoryRange& dir : directoryRanges(model)) {
    const QString path = AcuteToQuote(model.Directorios[dir.number].dirname);
    if (dir.number == 1) {
      shared = path;
    }
    while (!shared.isEmpty() && path != shared && !path.startsWith(shared + u'/')) {
      shared = shared.section(u'/', 0, -2);
    }
  }
  return shared;
}

void putFileFields(TemplateRecord& record, const TemplateFile& file, const TemplatePaths& paths) {
  const SongRecord& song = file.model.Canciones[file.number];
  const QString name = AcuteToQuote(song.filename);
  const QString path = file.directory + u'/' + name;
  const qsizetype dot = name.lastIndexOf(u'.');
  record.put("archivo_numero", file.number);
  record.put("archivo_posicion", file.position);
  record.put("archivo_orden", file.order);
  record.put("archivo_nombre", name);
  record.put("archivo_nombre_sin_extension", dot > 0 ? name.first(dot) : name);
  record.put("archivo_extension", dot > 0 ? name.sliced(dot + 1) : QString());
  record.put("archivo_ruta", path);
  if (record.wants("archivo_ruta_relativa")) {
    record.put("archivo_ruta_relativa", relativeTo(paths.root, path));
  }
  if (record.wants("archivo_ruta_lista")) {
    record.put("archivo_ruta_lista", relativeTo(paths.outputDir, path));
  }
  if (record.wants("archivo_uri")) {
    record.put("archivo_uri", QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded()));
  }
  putTags(record, song);
  putTechnical(record, file.model.technical.of(file.number));
  record.put("archivo_linea", file.line ? *file.line : QString());
  record.putFlag("archivo_es_primero", file.first);
  record.putFlag("archivo_es_ultimo", file.last);
}

void putDirectoryFields(TemplateRecord& record, const TemplateDirectory& dir,
                        const TemplatePaths& paths) {
  record.put("dir_numero", dir.number);
  record.put("dir_ruta", dir.path);
  record.put("dir_nombre", dir.path.section(u'/', -1, -1, QString::SectionSkipEmpty));
  record.put("dir_ruta_relativa",
             dir.path == paths.root ? QString() : relativeTo(paths.root, dir.path));
  record.put("dir_archivos", dir.totals.files);
  record.put("dir_linea", dir.line ? *dir.line : QString());
  record.putFlag("dir_es_primero", dir.first);
  record.putFlag("dir_es_ultimo", dir.last);
  putTotals(record, "dir_", dir.totals);
}

void putListingFields(TemplateRecord& record, const TemplateListing& listing,
                      const TemplateTotals& totals) {
  record.put("listado_nombre", AcuteToQuote(listing.name));
  record.put("listado_numero", listing.number > 0 ? QString::number(listing.number) : QString());
  record.put("listado_medio", mediumText(listing.medium));
  record.put("listado_ubicacion", listing.ubicacion);
  record.put("listado_categoria", listing.categoria);
  record.put("listado_directorios", totals.directories);
  record.put("listado_archivos", totals.files);
  record.putFlag("listado_es_primero", listing.first);
  record.putFlag("listado_es_ultimo", listing.last);
  putTotals(record, "listado_", totals);
}

void putExportFields(TemplateRecord& record, const TemplateTotals& totals) {
  record.put("exportacion_fecha", QDate::currentDate().toString(u"dd/MM/yyyy"_s));
  record.put("exportacion_listados", totals.listings);
  record.put("exportacion_directorios", totals.directories);
  record.put("exportacion_archivos", totals.files);
  putTotals(record, "exportacion_", totals);
}
