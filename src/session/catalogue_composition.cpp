#include "session/catalogue_composition.h"

#include "db/incomplete_listings.h"
#include "db/listing_properties.h"
#include "db/source_part.h"
#include "db/technical_part.h"
#include "db/update_history.h"
#include "search/search_part.h"
#include "stats/stats_part.h"

void composeCatalogue() {
  setCatalogueParts({&technicalFieldsPart(), &incompleteListingsPart(), &sourceIdentityPart(),
                     &listingPropertiesPart(), &updateHistoryPart(), &searchIndexPart(),
                     &statsTotalsPart()});
}
