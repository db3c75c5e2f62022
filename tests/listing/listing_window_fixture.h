#pragma once

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSettings>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "listing/frm_report.h"
#include "support/test_env.h"

// A listing window in its own subwindow of a shown MDI area, as the main window opens it.
class ListingWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    // Every window starts from the designs in the store; begin each test with none saved.
    QSettings(QStringLiteral("Quillet"), QStringLiteral("Quillet"))
        .remove(QStringLiteral("last_cfg"));
    area_.resize(1200, 900);
    area_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&area_));
    report_ = frm_report::openIn(area_);
    subWindow_ = qobject_cast<QMdiSubWindow*>(report_->parentWidget());
    ASSERT_TRUE(subWindow_);
  }

  template <typename T>
  T* control(const QString& name) {
    T* found = report_->findChild<T*>(name);
    EXPECT_TRUE(found) << name.toStdString();
    return found;
  }

  QAction* toolbarAction(const QString& key) {
    return control<QToolBar>(QStringLiteral("Toolbar1"))->findChild<QAction*>(key);
  }

  QToolButton* toolbarButton(const QString& key) {
    auto* toolbar = control<QToolBar>(QStringLiteral("Toolbar1"));
    return qobject_cast<QToolButton*>(toolbar->widgetForAction(toolbarAction(key)));
  }

  void clickToolbar(const QString& key) {
    // The left end of the button, so a drop-down button is pressed and not its arrow.
    QTest::mouseClick(toolbarButton(key), Qt::LeftButton, {}, QPoint(4, 8));
  }

  void resizeOuter(int width, int height) {
    subWindow_->resize(width, height);
    QCoreApplication::processEvents();
  }

  QMdiArea area_;
  QPointer<frm_report> report_;
  QPointer<QMdiSubWindow> subWindow_;
};
