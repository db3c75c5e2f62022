#include "window_driving.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>

#include "app/frm_main.h"
#include "db/frm_reportsbd.h"
#include "listing/frm_report.h"
#include "platform/desktop_opener.h"
#include "platform/gui_folder_chooser.h"
#include "platform/gui_message_box.h"

using namespace Qt::StringLiterals;

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void settle(QWidget& window) {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  window.repaint();
  QCoreApplication::processEvents();
}

double timedMs(QWidget& window, const std::function<void()>& work) {
  QElapsedTimer clock;
  clock.start();
  work();
  settle(window);
  return clock.nsecsElapsed() / 1e6;
}

void answerDialogs(int& messages) {
  setMessageAnswerer([&messages](const MessageRequest& request) {
    std::fprintf(stderr, "mensaje: %s\n", qPrintable(request.text));
    ++messages;
    return MessageAnswer::Ok;
  });
  setDesktopOpenHandler([](const QString&) { return true; });
}

frm_report* WindowDriver::scan(const QString& tree) {
  setFolderChooserAnswerer([tree](QWidget*, const QString&) { return tree; });
  window_.findChild<QAction*>(u"mn_scandir"_s)->trigger();
  return newestListing();
}

frm_report* WindowDriver::newestListing() const {
  const QList<QMdiSubWindow*> windows = window_.mdiArea()->subWindowList();
  return windows.isEmpty() ? nullptr : qobject_cast<frm_report*>(windows.last()->widget());
}

void WindowDriver::closeListings() {
  window_.mdiArea()->closeAllSubWindows();
  settle(window_);
}

void WindowDriver::openNewestStored() {
  window_.findChild<QAction*>(u"mn_reportsonbd"_s)->trigger();
  frm_reportsbd* stored = frm_reportsbd::current();
  auto* tv = stored->findChild<QTreeWidget*>(u"tv"_s);
  QTreeWidgetItem* directories = tv->topLevelItem(1);
  QTreeWidgetItem* newest = directories->child(directories->childCount() - 1);
  emit tv->itemClicked(newest, 0);
  stored->findChild<QAction*>(u"openreport"_s)->trigger();
}

void WindowDriver::press(frm_report& report, const QString& key) {
  report.findChild<QAction*>(key)->trigger();
}
