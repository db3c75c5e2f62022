#pragma once

#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>

#include "db/bd_thread.h"
#include "scan/source_identity.h"

class QDialog;
class QProgressDialog;
class QWidget;
struct StoredListingSource;
struct UpdatePlan;

/**
 * «Actualizar...» of a stored listing, from the window that asked: its source found (or waited
 * for, or chosen), walked and compared on a thread of its own, the review shown, and what the
 * user accepts applied on that thread too, so the window keeps answering. It goes when the
 * update ends, whichever way.
 */
class ListingUpdater : public QObject {
  Q_OBJECT

 public:
  /** Starts updating stored listing rpId, asked from parent. */
  static ListingUpdater* start(QWidget* parent, int rpId);
  ~ListingUpdater() override;

 signals:
  /** Listing rpId now holds what its source holds. */
  void updated(int rpId);

 private:
  ListingUpdater(QWidget* parent, int rpId);
  void findSource();
  void waitForSource(const StoredListingSource& listing);
  void offerFolderChoice(QDialog& wait);
  void plan(const QString& root, bool rereadAll);
  void review();
  void apply();
  void discard();
  void fail(const QString& failure);
  void showBusy(const QString& text, const QString& cancel = {});
  void hideBusy();
  QWidget* owner() const;

  QPointer<QWidget> parent_;
  const int rpId_;
  const ScanChoices saved_;
  QString root_;
  QPointer<QProgressDialog> busy_;
  // Made, used and dropped on the thread, whose connection holds the listing while it lives.
  std::shared_ptr<std::optional<UpdatePlan>> plan_;
  BdThread thread_;
};
