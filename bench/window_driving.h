#pragma once

// What the window benchmarks share: timing a road with everything it left pending run, and
// driving the main window as a user does.

#include <QString>

#include <functional>
#include <vector>

class QWidget;
class frm_main;
class frm_report;

double median(std::vector<double> values);

/** Lets everything the last command left pending run, paint included, so deferred work counts. */
void settle(QWidget& window);

/** Wall time of work and of what it left pending, in ms. */
double timedMs(QWidget& window, const std::function<void()>& work);

/**
 * Answers every message box "Aceptar", printing its text and counting it in messages, and
 * opens no exported file on the desktop.
 */
void answerDialogs(int& messages);

class WindowDriver {
 public:
  explicit WindowDriver(frm_main& window) : window_(window) {}

  /** F6 of tree, the folder chooser answered; the listing window it opened. */
  frm_report* scan(const QString& tree);
  frm_report* newestListing() const;
  void closeListings();
  /** Opens the stored listing of the highest number through the stored-listings window. */
  void openNewestStored();
  static void press(frm_report& report, const QString& key);

 protected:
  frm_main& window_;
};
