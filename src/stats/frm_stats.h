#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

#include "base/loaded_forms.h"
#include "scan/listing_model.h"
#include "search/catalogue_search.h"
#include "stats/collection_stats.h"
#include "stats/stats_sources.h"

class QComboBox;
class QLabel;
class QTabWidget;
class QTableWidget;
class RetryLine;
class StatsChart;

/**
 * "Estadísticas": the figures of one listing (opened from its listing window) or of the stored
 * catalogue (one window, from the main window's menu): totals (lblTotales), three bar charts
 * (chartGeneros, chartDecadas, chartArtistas, each with buttons to save it as PNG or SVG) and
 * the health of the tags (grdSalud). A double click on a health row lists its files
 * (grdArchivos); a double click on one of those asks for the file to be shown.
 */
class frm_stats : public QWidget {
  Q_OBJECT

 public:
  /** Shows the node keyed nodeKey of the listing the window was opened for. */
  using ShowListingFile = std::function<void(const QString& nodeKey)>;

  /** A new window with the figures of the listing as it stands now, owned by parent. */
  static frm_stats* showListing(const ListingModel& model, QWidget* parent,
                                ShowListingFile showFile);
  /** The catalogue's window, or a new one, filled from the database and shown. */
  static frm_stats* showCatalogue(QWidget* parent);

  /** Reads the catalogue's figures again for the medium chosen in cboMedio. */
  void Recalcula();
  /** Lists in grdArchivos the files that fail the health check of row (grdSalud's). */
  void ListaArchivos(int row);

  /** The chart whose key is "generos", "decadas" or "top_artistas". */
  StatsChart* chart(const QString& key) const;
  /** Writes the chart as PNG or SVG (by path's ending) through the output writer; empty text
   *  or the reason in Spanish. */
  QString saveChart(const QString& key, const QString& path) const;

 signals:
  /** The user asked to open stored listing rpId with the node keyed nodeKey chosen. */
  void openFileRequested(int rpId, const QString& nodeKey);

 private:
  explicit frm_stats(QWidget* parent, bool catalogue);
  QWidget* buildChartsPage();
  QWidget* buildHealthPage();
  void showStats(const CollectionStats& stats);
  void showCatalogueStats(const TagCounts& counts, const QString& failure);
  void showFailingFiles(int row, std::vector<CatalogueFile> files);
  void openFileOfRow(int row);
  void askToSave(const QString& key, const QString& suffix);
  StatsScope scope() const;

  static QPointer<frm_stats>& catalogueInstance();

  LoadedForm loaded_{QStringLiteral("frm_stats")};
  // The listing's files as they stood when the window opened; none for the catalogue.
  std::optional<std::vector<CatalogueFile>> listingFiles_;
  ShowListingFile showListingFile_;
  std::vector<CatalogueFile> shownFiles_;  // grdArchivos's rows
  QComboBox* medium_ = nullptr;
  QLabel* totals_ = nullptr;
  RetryLine* failure_ = nullptr;  // why the catalogue's figures could not be read
  QTabWidget* figures_ = nullptr;
  QTabWidget* chartTabs_ = nullptr;
  std::vector<StatsChart*> charts_;  // in the order of chartKeys()
  QTableWidget* health_ = nullptr;
  QTableWidget* filesGrid_ = nullptr;
};
