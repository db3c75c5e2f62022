#pragma once

#include <QSet>
#include <QString>

#include <vector>

#include "output/template_engine.h"
#include "scan/listing_model.h"

// The fields a template can name, every one computed before rendering so a template needs no
// logic beyond sections. Names are ASCII Spanish with the level as prefix: exportacion_ (the
// whole export, known already in the head), listado_, dir_ and archivo_.

struct TemplateFieldInfo {
  QString name;
  QString level;           // "exportación", "listado", "directorio", "archivo"
  bool technical = false;  // only where the listing has technical fields
  QString meaning;
};

/** Every field, by level, as the field reference lists them. */
const std::vector<TemplateFieldInfo>& templateFieldReference();

QSet<QString> templateFieldNames();

/** Counts and sums of a directory, a listing or a whole export. */
struct TemplateTotals {
  int listings = 0;
  int directories = 0;
  int files = 0;
  qint64 durationMs = 0;
  qint64 bytes = 0;
  /** Whether any file had technical fields: without them the sums are left empty. */
  bool timed = false;

  void add(const TemplateTotals& other);
  void addFile(const AudioProperties* audio);
};

/** Where a listing's files are, for their paths. */
struct TemplatePaths {
  /** The folder every relative path starts from. */
  QString root;
  /** The folder of the file being written (or the working folder): archivo_ruta_lista. */
  QString outputDir;
};

/** The listing's root folder: where the scan started, or the folder all its directories share. */
QString listingRoot(const ListingModel& model);

/** A file of a listing, as its record needs it. */
struct TemplateFile {
  const ListingModel& model;
  int number;
  int position;  // in the whole export, from 1
  int order;     // in its directory, from 1
  bool first;
  bool last;
  const QString& directory;  // its path, as on disk
  const QString* line;       // the file design's line, when rendered
};

struct TemplateDirectory {
  int number;
  const QString& path;
  bool first;
  bool last;
  const TemplateTotals& totals;
  const QString* line;
};

struct TemplateListing {
  QString name;
  int medium = 0;
  int number = 0;  // 0: not stored
  bool first = false;
  bool last = false;
  QString ubicacion = {};  // the user's fields of a stored listing
  QString categoria = {};
};

void putFileFields(TemplateRecord& record, const TemplateFile& file, const TemplatePaths& paths);
void putDirectoryFields(TemplateRecord& record, const TemplateDirectory& dir,
                        const TemplatePaths& paths);
void putListingFields(TemplateRecord& record, const TemplateListing& listing,
                      const TemplateTotals& totals);
void putExportFields(TemplateRecord& record, const TemplateTotals& totals);
