#pragma once

#include <QListWidget>

class UniformRowDelegate;

/**
 * The main window's log list: one item per line, the newest one current and scrolled into
 * view. A line costs the same however many the list already holds: each item's size is
 * measured once, when it is added, and the list scrolls to the newest line once per turn of
 * the event loop (a walk's pump, say) instead of once per line, so a long session or a big walk
 * does not lay the whole list out again for every line. While every line is as high as the
 * first, the list's rows share one size (the widest line's), so a layout need not read each
 * item's size either.
 */
class LogList : public QListWidget {
 public:
  explicit LogList(QWidget* parent = nullptr);

  /** Adds line at the end and makes it the current, selected item. */
  void appendLine(const QString& line);

 protected:
  void rowsInserted(const QModelIndex& parent, int start, int end) override;

 private:
  void showNewest();
  void noteRowSize(QSize size);

  UniformRowDelegate* delegate_;
  bool showPending_ = false;
  bool mixedHeights_ = false;
};
