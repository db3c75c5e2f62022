#include "app/gui_bd_startup.h"

#include <cstdio>
#include <cstdlib>

#include <QCoreApplication>

#include "base/app_info.h"
#include "db/bd_write_guard.h"
#include "db/mod_bd.h"
#include "listing/frm_2bar.h"
#include "platform/gui_message_box.h"
#include "search/search_index.h"

using namespace Qt::StringLiterals;

void endProgramAtOnce() {
  std::fflush(nullptr);
  std::_Exit(EXIT_FAILURE);
}

namespace {

// A database written before the search index existed gains it now, once, in view; a failure
// is logged and the search says so when asked.
void indexOlderDatabase(QWidget* parent) {
  if (hasSearchIndex()) {
    return;
  }
  const BdWriteGuard guard;
  frm_2bar progress(parent);
  progress.show();
  (void)createSearchIndex([&progress](const StoreProgress& step) {
    progress.showProgress(step);
    QCoreApplication::processEvents();
  });
}

}  // namespace

bool openDatabaseOrQuit(QWidget* parent, const std::function<void()>& endProgram) {
  const QString failure = OpenBdAtStartUp();
  if (failure.isEmpty()) {
    indexOlderDatabase(parent);
    return true;
  }
  // A server that cannot be reached now may be later: the program scans meanwhile, and every
  // command that needs the catalogue tries to connect again.
  if (BdConnection().reconnects()) {
    showMessage({parent, AppTitle(), failure, MessageIcon::Warning, MessageButtons::Ok});
    return true;
  }
  showMessage({parent, AppTitle(), failure, MessageIcon::Critical, MessageButtons::Ok});
  endProgram();
  return false;
}
