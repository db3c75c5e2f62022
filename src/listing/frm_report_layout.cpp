#include "listing/frm_report.h"

#include <QMdiSubWindow>
#include <QMouseEvent>

#include <algorithm>

#include "listing/gui_design_panel.h"
#include "listing/gui_listing_entries.h"
#include "listing/gui_listing_toolbar.h"
#include "listing/gui_listing_tree.h"
#include "listing/gui_notice_strip.h"
#include "listing/gui_scan_progress.h"
#include "platform/gui_retry_line.h"
#include "platform/gui_window_placement.h"
#include "platform/twips.h"

// The listing window's layout: its size rules, the splitter between tree and list, and the
// design panel dragged by its frame.

namespace {

const QSize kMinimumOuterSize(twipsToPixels(8340), twipsToPixels(1250));
// What the panes leave of the outer size: the caption, the toolbar and the frame.
const int kPaneHeightMargin = twipsToPixels(900);
const int kListWidthMargin = twipsToPixels(200);

int toTwips(qreal pixels) {
  return qRound(pixels * kTwipsPerPixel);
}

void setWidthIfValid(QWidget& widget, int width) {
  if (width >= 0) {
    widget.resize(width, widget.height());
  }
}

void setHeightIfValid(QWidget& widget, int height) {
  if (height >= 0) {
    widget.resize(widget.width(), height);
  }
}

}  // namespace

// The window as the user sizes it: the MDI subwindow with its frame and caption, or this
// widget when it stands alone.
QWidget* frm_report::outerWindow() {
  auto* subWindow = qobject_cast<QMdiSubWindow*>(parentWidget());
  return subWindow ? static_cast<QWidget*>(subWindow) : this;
}

QSize frm_report::outerSize() {
  QWidget* outer = outerWindow();
  return outer == this ? frameGeometry().size() : outer->size();
}

void frm_report::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  toolbar_->resize(width(), toolbar_->height());
  if (outerWindow()->isMinimized()) {
    return;
  }
  snapToMinimumSize();
  applyLayoutRule();
}

void frm_report::snapToMinimumSize() {
  QWidget* outer = outerWindow();
  // A maximised window cannot be sized; it is left as it is.
  if (outer->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
    return;
  }
  const QSize size = outerSize();
  const QSize snapped = size.expandedTo(kMinimumOuterSize);
  if (snapped == size) {
    return;
  }
  if (outer == this) {
    resize(snapped - (size - this->size()));
  } else {
    outer->resize(snapped);
  }
}

void frm_report::applyLayoutRule() {
  const QSize outer = outerSize();
  // The progress, the catalogue's failure and the notices take their room from the panes, below
  // them.
  const int progressHeight = progress_->isHidden() ? 0 : progress_->sizeHint().height();
  const int failureHeight = failure_->isHidden()            ? 0
                            : failure_->hasHeightForWidth() ? failure_->heightForWidth(width())
                                                            : failure_->sizeHint().height();
  const int noticeHeight = notices_->heightFor(width());
  const int paneHeight =
      outer.height() - kPaneHeightMargin - progressHeight - failureHeight - noticeHeight;
  const int bottom = tree_->y() + std::max(0, paneHeight);
  progress_->setGeometry(0, bottom, width(), progressHeight);
  failure_->setGeometry(0, bottom + progressHeight, width(), failureHeight);
  notices_->setGeometry(0, bottom + progressHeight + failureHeight, width(), noticeHeight);
  setHeightIfValid(*list_, paneHeight);
  setWidthIfValid(*list_, outer.width() - tree_->width() - kListWidthMargin);
  setHeightIfValid(*tree_, paneHeight);
  setHeightIfValid(*splitter_, paneHeight);
}

bool frm_report::eventFilter(QObject* watched, QEvent* event) {
  const bool press = event->type() == QEvent::MouseButtonPress;
  if (!press && event->type() != QEvent::MouseButtonRelease) {
    return false;
  }
  auto& mouse = static_cast<QMouseEvent&>(*event);
  if (mouse.button() != Qt::LeftButton) {
    return false;
  }
  if (watched == splitter_) {
    return splitterMouse(mouse);
  }
  if (watched == panel_) {
    return panelMouse(mouse);
  }
  return false;
}

// No live feedback: the panes change only when the button comes up. The bar keeps the mouse
// from the press on, so the release reaches it wherever the pointer is.
bool frm_report::splitterMouse(QMouseEvent& event) {
  const int x = toTwips(event.position().x());
  if (event.type() == QEvent::MouseButtonPress) {
    drag_ = Drag::Splitter;
    setCursor(Qt::SizeHorCursor);
    xXf = static_cast<qint16>(x);
    return true;
  }
  if (!endDrag(Drag::Splitter)) {
    return false;
  }
  moveSplitter(twipsToPixels(x - xXf));
  applyLayoutRule();
  return true;
}

// The tree never gets a negative width, nor one that leaves the list none.
void frm_report::moveSplitter(int delta) {
  const int maxTreeWidth = std::max(0, outerSize().width() - kListWidthMargin);
  const int treeWidth = std::clamp(tree_->width() + delta, 0, maxTreeWidth);
  const int applied = treeWidth - tree_->width();
  tree_->resize(treeWidth, tree_->height());
  splitter_->move(splitter_->x() + applied, splitter_->y());
  list_->move(list_->x() + applied, list_->y());
}

// Only the panel's own background moves it; presses on its controls are theirs. The panel
// jumps on release and may be left partly or wholly outside the window.
bool frm_report::panelMouse(QMouseEvent& event) {
  const QPointF pos = event.position();
  if (event.type() == QEvent::MouseButtonPress) {
    if (panel_->childAt(pos.toPoint())) {
      return false;
    }
    drag_ = Drag::Panel;
    xframe = toTwips(pos.x());
    yframe = toTwips(pos.y());
    setCursor(Qt::SizeAllCursor);
    return true;
  }
  if (!endDrag(Drag::Panel)) {
    return false;
  }
  const QPoint shift(twipsToPixels(toTwips(pos.x()) - xframe),
                     twipsToPixels(toTwips(pos.y()) - yframe));
  panel_->move(panel_->pos() + shift);
  return true;
}

// A release ends only the drag its own press began: a release that a control of the panel
// passes on, say, must not move anything.
bool frm_report::endDrag(Drag drag) {
  if (drag_ != drag) {
    return false;
  }
  drag_ = Drag::None;
  unsetCursor();
  return true;
}
