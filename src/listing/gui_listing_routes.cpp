#include "listing/gui_listing_routes.h"

namespace {

ListingWindowRoutes* installed = nullptr;

}  // namespace

ListingWindowRoutes* listingWindowRoutes() {
  return installed;
}

void setListingWindowRoutes(ListingWindowRoutes* routes) {
  installed = routes;
}
