#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

#include "base/loaded_forms.h"
#include "listing/renderer.h"
#include "listing/saved_designs.h"
#include "output/listing_export.h"
#include "scan/listing_model.h"

class DesignPanel;
class ListingEntryList;
class ListingToolbar;
class ListingTree;
class QListWidget;
class NoticeStrip;
class RetryLine;
class ScanProgressStrip;
class QMdiArea;
class QMouseEvent;

/**
 * The listing window: one listing, shown as a tree of directories and MP3 files (tv) and as
 * rendered text lines (List1), with a toolbar (Toolbar1), a splitter bar between the two panes
 * (Picture1) and a floating design panel (Frame1). It lives in a QMdiSubWindow of the main
 * window (openIn) and is destroyed when closed.
 *
 * The window owns its listing model. tv follows model().tree as nodes are added, so a walk shows
 * live; clear the tree with model().tree.clear() and never assign a new model, which would cut
 * the tree off from the view.
 *
 * Long work that lets events run while it fills or reads the model (a scan, a store) brackets
 * itself with setBusy(true/false); a walk has its pump return !stopRequested():
 *
 *   report->setBusy(true);               // Toolbar1 out of use
 *   DirUtil(..., [&] { pump(); return !report->stopRequested(); });
 *   report->setBusy(false);              // runs a close asked for meanwhile
 *
 * Closing the window while it is busy (its close box, or the main window closing it) does not
 * destroy it: the close is held back and a stop is requested; setBusy(false) then closes the
 * window, which is deleted later from the event loop. So the window stays valid until the
 * work returns to the event loop; code that pumps again after setBusy(false) must guard the
 * window with a QPointer.
 */
class frm_report : public QWidget {
  Q_OBJECT

 public:
  explicit frm_report(QWidget* parent = nullptr);

  /** A new listing window in its own subwindow of area, shown. */
  static frm_report* openIn(QMdiArea& area);
  /**
   * A new listing window in area holding stored listing rpId, which it cannot store again; the
   * node keyed nodeKey, when the listing has it, chosen and scrolled into view.
   */
  static void openStoredIn(QMdiArea& area, int rpId, const QString& nodeKey = {});

  ListingModel& model() { return model_; }
  const ListingModel& model() const { return model_; }
  /** The name and medium of the stored listing the window holds; none for a scan. */
  const std::optional<ListingName>& loadedName() const { return loadedName_; }

  /** Where the left button went down inside the splitter bar, in twips. */
  qint16 xXf = 0;
  /** Where the left button went down inside the design panel, in twips. */
  qint32 xframe = 0;
  qint32 yframe = 0;

  /** Identity tag, "hhmmss" of the window's creation; the print window finds a listing by it. */
  QString tag() const { return tag_; }
  /** The listing's name and medium: a stored listing's, or the scan's. */
  ListingName listingName() const;
  /** The stored listing's number; 0 for a scan not stored from this window. */
  int storedNumber() const { return storedNumber_; }
  void setTag(const QString& tag) { tag_ = tag; }

  /** What the user should know about this listing, shown below the panes until closed. */
  NoticeStrip& notices() { return *notices_; }
  /** The listing's total duration and size in the notices ("total"), when it has them. */
  void showTotalNotice();
  /** A scan's progress and its "Detener", below the panes while the scan runs. */
  ScanProgressStrip& scanProgress() { return *progress_; }

  /** The designs as they stand in the panel: Text2 (directory) and Text1 (file). */
  LineDesigns designs() const;

  /** Chooses the tree's node keyed key and scrolls it into view; false when there is none. */
  bool selectNode(const QString& key);

  /**
   * Fills the empty window with stored listing rpId, once the catalogue is open, and chooses
   * the node keyed nodeKey; a listing that is gone closes it. A catalogue that cannot be reached
   * is said in the window (lblFalloBD), with «Reintentar», which tries again.
   */
  void Load4bd(int rpId, const QString& nodeKey = {});
  /** Stores the listing in the database as a new stored listing. */
  void Save2bd();
  /** Scans into the window: the directory RutaInicial, or the CD drive when it is empty. */
  void Gouu();
  /** Renders the listing into List1 and shows the window. */
  void Refresca();

  /** Refills the placeholder pickers, nothing chosen. */
  void LLenaCombos();

  /**
   * Replaces List1's entries by the rendered entries (one item per entry, its text exactly the
   * entry, tabs and line breaks included) and keeps them, HTML forms included, for the exports.
   */
  void showEntries(std::vector<RenderedEntry> rendered);
  /** The entries of List1. */
  QStringList entries() const;
  /** List1 itself, which the print window reads. */
  QListWidget* entryList() const;
  const std::vector<RenderedEntry>& rendered() const { return rendered_; }

  void setBusy(bool busy);
  bool busy() const { return busy_; }
  /** True once the user closed the window during the current work; a walk should stop. */
  bool stopRequested() const { return stopRequested_; }

  /** Closes the window as its close box does (held back while it is busy). */
  void closeWindow();

  QSize sizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void loadStored(int rpId, const QString& nodeKey);
  /** Says in the window why the catalogue could not be reached, retry on «Reintentar»; empty
   * text hides the line. */
  void showUnreachable(const QString& text, std::function<void()> retry);
  void retryCatalogue();
  void createToolbar();
  void createPanes();

  void dispatchToolbarKey(const QString& key);
  void exportListing(ExportFormat format);

  QWidget* outerWindow();
  QSize outerSize();
  void snapToMinimumSize();
  void applyLayoutRule();

  enum class Drag { None, Splitter, Panel };
  bool splitterMouse(QMouseEvent& event);
  bool panelMouse(QMouseEvent& event);
  bool endDrag(Drag drag);
  void moveSplitter(int delta);

  LoadedForm loaded_{QStringLiteral("frm_report")};
  ListingModel model_;
  QString tag_;
  std::vector<RenderedEntry> rendered_;
  std::optional<ListingName> loadedName_;  // a stored listing's, which its model does not hold
  int storedNumber_ = 0;
  bool busy_ = false;
  bool stopRequested_ = false;
  Drag drag_ = Drag::None;

  ListingToolbar* toolbar_;      // Toolbar1
  ListingTree* tree_;            // tv
  QWidget* splitter_;            // Picture1
  ListingEntryList* list_;       // List1
  DesignPanel* panel_;           // Frame1
  NoticeStrip* notices_;         // Notices
  RetryLine* failure_;           // why the catalogue could not be reached, with «Reintentar»
  std::function<void()> retry_;  // what «Reintentar» tries again
  ScanProgressStrip* progress_;  // Progreso
};
