#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

#include "base/loaded_forms.h"

class QAction;
class QMenuBar;
class RetryLine;
struct StoredListings;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

/**
 * "Gestion Informes en BD": the stored listings by medium, to open, delete, update or see the
 * properties of (its menu «Informe» and the tree's context menu). One instance at a time; closing
 * it discards it.
 */
class frm_reportsbd : public QWidget {
  Q_OBJECT

 public:
  /** Lets the caller host a new window (for example in an MDI area) before it is shown. */
  using Placement = std::function<void(frm_reportsbd* window)>;

  /**
   * The open window, or a new one (placed, reloaded and shown) when there is none. A new window
   * without placement is a top-level window owned by parent, centred over it.
   */
  static frm_reportsbd* Instance(QWidget* parent, const Placement& place = {});
  /** The open window, or nullptr. */
  static frm_reportsbd* current();

  /** Rebuilds the tree from the database; afterwards no listing is chosen. */
  void Recarga();
  /** Asks for the chosen listing to be opened in a new listing window. */
  void OpenSelReport();
  /** Deletes the chosen listing from the database, without asking. */
  void BorraSeleccioN();
  /** Shows the chosen listing's «Propiedades» to edit. */
  void OpenProperties();
  /** «Actualizar...»: brings the chosen listing up to date with its source, after a review. */
  void UpdateListing();

 signals:
  /** The user asked to open stored listing rpId; the main window opens a listing window. */
  void openListingRequested(int rpId);
  /** «Exportar catálogo...»: every stored listing through a template the user chooses. */
  void exportCatalogueRequested();
  /** Stored listing rpId was updated in place: its open windows show it anew. */
  void listingUpdated(int rpId);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  explicit frm_reportsbd(QWidget* parent);
  void buildToolbar();
  void buildMenu();
  void buildTree();
  void onContextMenu(const QPoint& position);
  QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& key, const QString& text,
                           int image);
  void showListings(const StoredListings& listings, const QString& failure);
  /** Shows why the catalogue could not be used in place of the tree; empty text shows the tree. */
  void showFailure(const QString& text);
  void withChosenListing(const std::function<void(int rpId)>& work);
  void deleteListing(int rpId);
  void onButtonClicked(QAction* button);
  void onNodeClicked(QTreeWidgetItem* node);
  void onNodeDoubleClicked();
  void setListingButtonsEnabled(bool enabled);
  int selectedListingNumber() const;

  static QPointer<frm_reportsbd>& instance();

  LoadedForm loaded_{QStringLiteral("frm_reportsbd")};
  QMenuBar* menuBar_ = nullptr;
  QAction* properties_ = nullptr;
  QAction* update_ = nullptr;
  QToolBar* toolbar1_ = nullptr;
  QAction* erase_ = nullptr;
  QAction* openReport_ = nullptr;
  QTreeWidget* tv_ = nullptr;
  RetryLine* failure_ = nullptr;
  QTreeWidgetItem* selNode_ = nullptr;
};
