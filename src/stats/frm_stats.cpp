#include "stats/frm_stats.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <memory>

#include "base/app_info.h"
#include "base/text_helpers.h"
#include "db/bd_reconnect.h"
#include "db/listing_load.h"
#include "output/listing_table.h"
#include "platform/gui_message_box.h"
#include "platform/gui_retry_line.h"
#include "platform/gui_wait_cursor.h"
#include "platform/gui_window_placement.h"
#include "platform/output_file.h"
#include "stats/gui_stats_chart.h"
#include "stats/stats_format.h"

using namespace Qt::StringLiterals;

namespace {

// How many files a health row lists at most: enough to work through, never the whole catalogue.
constexpr int kListedFiles = 5000;

// The charts' controls, in the order of chartKeys().
const QStringList kChartNames = {u"chartGeneros"_s, u"chartDecadas"_s, u"chartArtistas"_s};

// A listing's files as the catalogue gives them: names as on disk, its file number as order.
std::vector<CatalogueFile> filesOfListing(const ListingModel& model) {
  std::vector<CatalogueFile> files;
  for (const DirectoryRange& dir : directoryRanges(model)) {
    for (int f = dir.first; f <= dir.last; ++f) {
      const SongRecord& s = model.Canciones[f];
      CatalogueFile file;
      file.dirname = model.Directorios[dir.number].dirname;
      file.filename = AcuteToQuote(s.filename);
      file.artist = s.artist;
      file.title = s.title;
      file.album = s.album;
      file.year = s.year;
      file.track = s.track;
      file.genre = s.genre;
      file.filegenorder = f;
      files.push_back(file);
    }
  }
  return files;
}

QTableWidget* newGrid(const QString& name, const QStringList& headers) {
  auto* grid = new QTableWidget(0, static_cast<int>(headers.size()));
  grid->setObjectName(name);
  grid->setHorizontalHeaderLabels(headers);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->verticalHeader()->hide();
  grid->horizontalHeader()->setStretchLastSection(true);
  return grid;
}

void setRow(QTableWidget& grid, int row, const QStringList& texts) {
  for (int column = 0; column < texts.size(); ++column) {
    grid.setItem(row, column, new QTableWidgetItem(texts[column]));
  }
}

}  // namespace

QPointer<frm_stats>& frm_stats::catalogueInstance() {
  static QPointer<frm_stats> instance;
  return instance;
}

frm_stats* frm_stats::showListing(const ListingModel& model, QWidget* parent,
                                  ShowListingFile showFile) {
  auto* window = new frm_stats(parent, false);
  window->listingFiles_ = filesOfListing(model);
  window->showListingFile_ = std::move(showFile);
  window->setWindowTitle(u"Estadísticas del listado %1"_s.arg(AcuteToQuote(model.FinalName)));
  window->showStats(collectionStats(countsOfListing(model)));
  centreOverWindow(window, parent);
  window->show();
  return window;
}

frm_stats* frm_stats::showCatalogue(QWidget* parent) {
  QPointer<frm_stats>& instance = catalogueInstance();
  if (!instance) {
    instance = new frm_stats(parent, true);
    instance->setWindowTitle(u"Estadísticas de la BD"_s);
    centreOverWindow(instance, parent);
  }
  instance->Recalcula();
  instance->show();
  instance->raise();
  instance->activateWindow();
  return instance;
}

frm_stats::frm_stats(QWidget* parent, bool catalogue) : QWidget(parent, Qt::Window) {
  setObjectName(u"frm_stats"_s);
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  if (catalogue) {
    medium_ = new QComboBox;
    medium_->setObjectName(u"cboMedio"_s);
    medium_->addItem(u"Todo el catálogo"_s, static_cast<int>(SearchMedium::Todos));
    medium_->addItem(u"Sólo CDs"_s, static_cast<int>(SearchMedium::CDs));
    medium_->addItem(u"Sólo directorios"_s, static_cast<int>(SearchMedium::Directorios));
    connect(medium_, &QComboBox::currentIndexChanged, this, &frm_stats::Recalcula);
    layout->addWidget(medium_);
  }
  totals_ = new QLabel;
  totals_->setObjectName(u"lblTotales"_s);
  totals_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(totals_);
  failure_ = new RetryLine;
  connect(failure_, &RetryLine::retryRequested, this, &frm_stats::Recalcula);
  layout->addWidget(failure_);
  figures_ = new QTabWidget;
  figures_->setObjectName(u"tabStats"_s);
  figures_->addTab(buildChartsPage(), u"Gráficos"_s);
  figures_->addTab(buildHealthPage(), u"Etiquetas"_s);
  layout->addWidget(figures_, 1);
  resize(640, 620);
}

QWidget* frm_stats::buildChartsPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  chartTabs_ = new QTabWidget;
  chartTabs_->setObjectName(u"tabGraficos"_s);
  for (qsizetype i = 0; i < kChartNames.size(); ++i) {
    const QString& name = kChartNames[i];
    const QString key = chartKeys()[i];
    auto* holder = new QWidget;
    auto* box = new QVBoxLayout(holder);
    auto* chart = new StatsChart;
    chart->setObjectName(name);
    charts_.push_back(chart);
    box->addWidget(chart, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (const QString& suffix : {u"png"_s, u"svg"_s}) {
      auto* save = new QPushButton(u"Guardar %1..."_s.arg(suffix.toUpper()));
      save->setObjectName(u"cmdGuardar%1_%2"_s.arg(suffix.toUpper(), name));
      save->setToolTip(u"Guardar este gráfico en un archivo %1"_s.arg(suffix.toUpper()));
      connect(save, &QPushButton::clicked, this, [this, key, suffix] { askToSave(key, suffix); });
      buttons->addWidget(save);
    }
    box->addLayout(buttons);
    chartTabs_->addTab(holder, QString());
  }
  layout->addWidget(chartTabs_);
  return page;
}

QWidget* frm_stats::buildHealthPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  health_ = newGrid(u"grdSalud"_s, {u"Archivos"_s, u"Cuántos"_s, u"Parte"_s});
  health_->setRowCount(static_cast<int>(kHealthChecks.size()));
  connect(health_, &QTableWidget::cellDoubleClicked, this,
          [this](int row, int) { ListaArchivos(row); });
  filesGrid_ = newGrid(u"grdArchivos"_s, {u"Directorio"_s, u"Archivo"_s, u"Artista"_s, u"Título"_s,
                                          u"Álbum"_s, u"Año"_s});
  connect(filesGrid_, &QTableWidget::cellDoubleClicked, this,
          [this](int row, int) { openFileOfRow(row); });
  layout->addWidget(health_);
  layout->addWidget(new QLabel(u"Doble clic en una fila para ver sus archivos:"_s));
  layout->addWidget(filesGrid_, 1);
  return page;
}

StatsScope frm_stats::scope() const {
  return {medium_ ? static_cast<SearchMedium>(medium_->currentData().toInt()) : SearchMedium::Todos,
          std::nullopt};
}

void frm_stats::Recalcula() {
  auto counts = std::make_shared<TagCounts>();
  readWhenBdOpen(
      this,
      [counts, scope = scope()] {
        const WaitCursor hourglass;
        QString error;
        *counts = countsOfCatalogue(scope, error);
        return error;
      },
      [this, counts](const QString& failure) { showCatalogueStats(*counts, failure); });
}

// Figures that could not all be read are not shown: a count left at 0 would say the catalogue
// holds nothing.
void frm_stats::showCatalogueStats(const TagCounts& counts, const QString& failure) {
  const bool read = failure.isEmpty();
  failure_->showFailure(read ? QString()
                             : u"No se han podido leer las estadísticas de la BD: "_s + failure);
  totals_->setVisible(read);
  figures_->setVisible(read);
  if (read) {
    showStats(collectionStats(counts));
  }
}

void frm_stats::showStats(const CollectionStats& stats) {
  QStringList totals;
  if (stats.listings) {
    totals.append(u"Listados: "_s + spanishNumber(*stats.listings));
  }
  totals.append(u"Directorios: "_s + spanishNumber(stats.directories));
  totals.append(u"Archivos: "_s + spanishNumber(stats.files));
  totals.append(u"Artistas: "_s + spanishNumber(stats.artists));
  totals.append(u"Álbumes: "_s + spanishNumber(stats.albums));
  totals_->setText(totals.join(u"    "_s));
  const std::vector<NamedChart> named = chartsOf(stats);
  for (size_t i = 0; i < named.size(); ++i) {
    charts_[i]->setBars(named[i].title, *named[i].bars);
    chartTabs_->setTabText(static_cast<int>(i), named[i].title);
  }
  for (size_t i = 0; i < kHealthChecks.size(); ++i) {
    setRow(*health_, static_cast<int>(i),
           {healthText(kHealthChecks[i]), spanishNumber(stats.health[i]),
            spanishShare(stats.health[i], stats.files)});
  }
  filesGrid_->setRowCount(0);
  shownFiles_.clear();
}

void frm_stats::ListaArchivos(int row) {
  if (row < 0 || row >= static_cast<int>(kHealthChecks.size())) {
    return;
  }
  const HealthCheck check = kHealthChecks[static_cast<size_t>(row)];
  if (listingFiles_) {
    std::vector<CatalogueFile> failing;
    for (const CatalogueFile& f : *listingFiles_) {
      if (failsCheck(check, f.artist, f.title, f.album, f.year, f.track)) {
        failing.push_back(f);
      }
    }
    showFailingFiles(row, std::move(failing));
    return;
  }
  auto files = std::make_shared<std::vector<CatalogueFile>>();
  readWhenBdOpen(
      this,
      [files, scope = scope(), check] {
        const WaitCursor hourglass;
        QString error;
        *files = catalogueFilesFailing(scope, check, kListedFiles, error);
        return error;
      },
      [this, files, row](const QString& failure) {
        failure_->showFailure(failure.isEmpty()
                                  ? QString()
                                  : u"No se han podido leer los archivos de la BD: "_s + failure);
        showFailingFiles(row, std::move(*files));
      });
}

void frm_stats::showFailingFiles(int row, std::vector<CatalogueFile> files) {
  shownFiles_ = std::move(files);
  filesGrid_->setRowCount(static_cast<int>(shownFiles_.size()));
  for (int i = 0; i < static_cast<int>(shownFiles_.size()); ++i) {
    const CatalogueFile& f = shownFiles_[static_cast<size_t>(i)];
    setRow(*filesGrid_, i,
           {AcuteToQuote(f.dirname), AcuteToQuote(f.filename), f.artist, f.title, f.album, f.year});
  }
  health_->selectRow(row);
}

void frm_stats::openFileOfRow(int row) {
  if (row < 0 || row >= static_cast<int>(shownFiles_.size())) {
    return;
  }
  const CatalogueFile& file = shownFiles_[static_cast<size_t>(row)];
  const QString nodeKey = fileNodeKey(file.dirname, AcuteToQuote(file.filename));
  if (listingFiles_) {
    if (showListingFile_) {
      showListingFile_(nodeKey);
    }
  } else {
    emit openFileRequested(file.rp_id, nodeKey);
  }
}

StatsChart* frm_stats::chart(const QString& key) const {
  const qsizetype index = chartKeys().indexOf(key);
  return index < 0 ? nullptr : charts_[static_cast<size_t>(index)];
}

QString frm_stats::saveChart(const QString& key, const QString& path) const {
  const StatsChart* shown = chart(key);
  if (!shown) {
    return u"No hay ningún gráfico «%1»"_s.arg(key);
  }
  const QByteArray bytes = path.endsWith(u".svg"_s, Qt::CaseInsensitive)
                               ? shown->svgBytes(shown->savedSize())
                               : shown->pngBytes(shown->savedSize());
  return writeOutputFile(QFile::encodeName(path), bytes);
}

void frm_stats::askToSave(const QString& key, const QString& suffix) {
  const QString path = QFileDialog::getSaveFileName(
      this, u"Guardar gráfico"_s, UserFile(key + u'.' + suffix),
      suffix == u"svg"_s ? u"Imagen SVG (*.svg)"_s : u"Imagen PNG (*.png)"_s);
  if (path.isEmpty()) {
    return;
  }
  if (const QString failure = saveChart(key, path); !failure.isEmpty()) {
    showMessage({this, AppTitle(),
                 u"No se ha podido guardar el gráfico en %1.\n\n%2"_s.arg(path, failure),
                 MessageIcon::Critical, MessageButtons::Ok});
  }
}
