#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include "scan/directory_walker.h"

class QLabel;
class QPushButton;

/**
 * The listing window's scan progress (Progreso), below the panes while a scan runs: directories
 * visited, MP3 files found and the directory being read (Label1), refreshed at most ten times a
 * second, and "Detener" (Command1), which asks the walk to stop and keep what it found.
 */
class ScanProgressStrip : public QWidget {
  Q_OBJECT

 public:
  explicit ScanProgressStrip(QWidget* parent);

  /** Shows the strip for a new scan, nothing stopped yet. */
  void start();
  void finish();

  /** Shows progress, unless the last showing is under a tenth of a second old. */
  void offer(const WalkProgress& progress);
  void showProgress(const WalkProgress& progress);
  bool stopPressed() const { return stopPressed_; }
  QString text() const;

 signals:
  /** Shown or hidden: the window lays its panes out again. */
  void shownOrHidden();

 private:
  QLabel* label_;
  QPushButton* stop_;
  QElapsedTimer sinceShown_;
  bool stopPressed_ = false;
};
