#include "scan/listing_model.h"

#include <algorithm>

#include "scan/table_room.h"

using namespace Qt::StringLiterals;

namespace {

// A walk adds one slot at a time (roomFor says how the room grows).
template <typename Record>
Record& slot(std::vector<Record>& records, int number) {
  const auto index = static_cast<std::size_t>(number);
  if (index >= records.capacity()) {
    records.reserve(roomFor(index + 1, records.capacity()));
  }
  if (index >= records.size()) {
    records.resize(index + 1);
  }
  return records[index];
}

}  // namespace

QString listingLimitsKey(ListingLimits limits) {
  return limits == ListingLimits::None ? u"none"_s : u"classic"_s;
}

std::optional<ListingLimits> listingLimitsFromKey(QStringView key) {
  for (const ListingLimits limits : {ListingLimits::Classic, ListingLimits::None}) {
    if (key == listingLimitsKey(limits)) {
      return limits;
    }
  }
  return std::nullopt;
}

DirRecord& ListingModel::directorySlot(int number) {
  return slot(Directorios, number);
}

SongRecord& ListingModel::songSlot(int number) {
  return slot(Canciones, number);
}

const FileStamp* FileStamps::of(int file) const {
  if (file < 0 || static_cast<std::size_t>(file) >= byFile_.size()) {
    return nullptr;
  }
  const FileStamp& stamp = byFile_[static_cast<std::size_t>(file)];
  return stamp.size < 0 ? nullptr : &stamp;
}

void FileStamps::set(int file, const FileStamp& stamp) {
  if (file >= 0) {
    slot(byFile_, file) = stamp;
  }
}
