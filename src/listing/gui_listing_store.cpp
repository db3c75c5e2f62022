#include "listing/gui_listing_store.h"

#include <QPointer>
#include <QWidget>

#include <memory>

#include "base/app_info.h"
#include "db/bd_reconnect.h"
#include "db/listing_store.h"
#include "listing/frm_2bar.h"
#include "platform/event_pump.h"
#include "platform/gui_message_box.h"
#include "platform/gui_wait_cursor.h"
#include "search/search_index.h"

using namespace Qt::StringLiterals;

namespace {

StoreResult storeShowingProgress(const ListingModel& model) {
  const WaitCursor hourglass;
  std::unique_ptr<frm_2bar> window;
  ThrottledEventPump pump;
  return Save2bd(model, [&](const StoreProgress& progress) {
    // Created on the first report, so a refused store never flashes it.
    if (!window) {
      window = std::make_unique<frm_2bar>();
      window->show();
    }
    window->showProgress(progress);
    pump();
  });
}

std::nullopt_t refuseStore(QWidget* parent, const QString& error) {
  showMessage({parent, AppTitle(), u"No se ha podido almacenar el listado en la BD.\n\n"_s + error,
               MessageIcon::Critical, MessageButtons::Ok});
  return std::nullopt;
}

}  // namespace

std::optional<int> storeListingWithProgress(QWidget* parent, const ListingModel& model) {
  const QPointer<QWidget> owner(parent);
  const StoreResult result = storeShowingProgress(model);
  if (result.ok()) {
    indexStoredListing();
    return result.rp_id;
  }
  return refuseStore(owner.data(), result.error);
}

void storeListingWhenBdOpen(QWidget* parent, const ListingModel& model,
                            std::function<void(const StoreOutcome& outcome)> done) {
  whenBdOpen(parent, [parent, &model, done = std::move(done)](const QString& failure) {
    done(failure.isEmpty() ? StoreOutcome{storeListingWithProgress(parent, model), {}}
                           : StoreOutcome{std::nullopt, failure});
  });
}
