#include "db/rows_in_place.h"

#include <QStringList>

#include <algorithm>
#include <optional>

#include "db/mod_bd.h"
#include "db/sql_catalogue.h"

using namespace Qt::StringLiterals;

namespace {

// Kept rows whose numbers all move by the same step, by their stored numbers.
struct Shift {
  int first = 0;
  int last = 0;
  int by = 0;
};

bool kept(const StoredPlace& place) {
  return place.number > 0 && !place.read;
}

// The numbers a file's row has in the walk and in the catalogue keep their order, unless the
// walk sorts differently from the one that stored the listing.
bool keptInOrder(const std::vector<StoredPlace>& walked, std::size_t files) {
  int previous = 0;
  for (std::size_t song = 1; song <= files; ++song) {
    if (kept(walked[song])) {
      if (walked[song].number <= previous) {
        return false;
      }
      previous = walked[song].number;
    }
  }
  return true;
}

// Runs of kept rows moving by one step. With the order kept, every stored number between a
// run's first and last is one of its rows or a row already deleted; otherwise each row is a
// run of its own.
std::vector<Shift> shiftsOf(const std::vector<StoredPlace>& walked, std::size_t files,
                            bool inOrder) {
  std::vector<Shift> shifts;
  for (std::size_t song = 1; song <= files; ++song) {
    const StoredPlace& place = walked[song];
    if (!kept(place)) {
      continue;
    }
    const int by = static_cast<int>(song) - place.number;
    if (inOrder && !shifts.empty() && shifts.back().by == by) {
      shifts.back().last = place.number;
    } else {
      shifts.push_back({place.number, place.number, by});
    }
  }
  std::erase_if(shifts, [](const Shift& shift) { return shift.by == 0; });
  return shifts;
}

// Runs that move down go first from the lowest, then those that move up from the highest: no
// row lands on a number a later statement moves. Out of order, every row is first moved to the
// negative of its number, then turned back.
bool renumber(int rpId, std::vector<Shift> shifts, bool inOrder, QString& reason) {
  std::sort(shifts.begin(), shifts.end(), [](const Shift& a, const Shift& b) {
    if ((a.by < 0) != (b.by < 0)) {
      return a.by < 0;
    }
    return a.by < 0 ? a.first < b.first : a.first > b.first;
  });
  const int sign = inOrder ? 1 : -1;
  for (const Shift& shift : shifts) {
    if (!BdBoundQuery(sqlShiftFiles(sign), {shift.by, rpId, shift.first, shift.last}, reason)) {
      return false;
    }
  }
  return inOrder || shifts.empty() || BdBoundQuery(sqlUnnegateFiles(), {rpId}, reason);
}

// The stored rows that go.
bool deleteRows(int rpId, const std::vector<int>& numbers, QString& reason) {
  const QStringList lists = numberLists(numbers);
  return std::all_of(lists.begin(), lists.end(), [&](const QString& list) {
    return BdBoundQuery(sqlDeleteFilesNumbered(list), {rpId}, reason).has_value();
  });
}

// A kept file whose place in its directory moved, by its stored number.
bool mendFileorders(int rpId, const std::vector<SongRecord>& songs, const RowsInPlace& rows,
                    std::size_t files, QString& reason) {
  for (std::size_t song = 1; song <= files; ++song) {
    const StoredPlace& place = rows.walked[song];
    const int fileorder = songs[song - 1].fileorder.toInt();
    if (kept(place) && fileorder != place.fileorder &&
        !BdBoundQuery(sqlSetFileorder(), {fileorder, rpId, place.number}, reason)) {
      return false;
    }
  }
  return true;
}

// The numbers of the rows inserted, or nothing with reason set.
std::optional<std::vector<int>> insertNewRows(int rpId, const std::vector<SongRecord>& songs,
                                              const RowsInPlace& rows, std::size_t files,
                                              QString& reason) {
  std::vector<int> added;
  DbRowInserter inserter(BdConnection());
  for (std::size_t song = 1; song <= files; ++song) {
    if (kept(rows.walked[song])) {
      continue;
    }
    const SongRecord& record = songs[song - 1];
    added.push_back(static_cast<int>(song));
    if (!inserter.Insert(sqlFileRow(rpId, record, record.fileorder.toInt(), added.back()))) {
      reason = BdConnection().lastError();
      return std::nullopt;
    }
  }
  if (!inserter.Flush()) {
    reason = BdConnection().lastError();
    return std::nullopt;
  }
  return added;
}

}  // namespace

std::size_t filesToStore(const std::vector<SongRecord>& songs, QString& reason) {
  std::size_t files = 0;
  for (const SongRecord& song : songs) {
    if (song.filename.isEmpty()) {
      break;
    }
    bool numeric = false;
    song.fileorder.toInt(&numeric);
    if (!numeric) {
      reason = u"El archivo %1 (número %2) tiene un orden no numérico: %3"_s.arg(
          song.filename, QString::number(files + 1), song.fileorder);
      return 0;
    }
    ++files;
  }
  return files;
}

bool RewriteFollowers::start(int rpId, QString& reason) {
  for (const CataloguePart* part : catalogueParts()) {
    if (std::unique_ptr<ListingRewrite> follower = part->listingRewrite(rpId, reason)) {
      followers_.push_back(std::move(follower));
    } else if (!reason.isEmpty()) {
      return false;
    }
  }
  return true;
}

bool RewriteFollowers::rowsGoing(const std::vector<int>& going, QString& reason) {
  return each([&](ListingRewrite& follower) { return follower.rowsGoing(going); }, reason);
}

bool RewriteFollowers::rowsAdded(const std::vector<int>& added, QString& reason) {
  return each([&](ListingRewrite& follower) { return follower.rowsAdded(added); }, reason);
}

bool RewriteFollowers::each(const std::function<QString(ListingRewrite&)>& step, QString& reason) {
  return std::all_of(followers_.begin(), followers_.end(), [&](const auto& follower) {
    reason = step(*follower);
    return reason.isEmpty();
  });
}

QStringList numberLists(const std::vector<int>& numbers) {
  constexpr std::size_t kNumbersPerList = 500;
  QStringList lists;
  for (std::size_t from = 0; from < numbers.size(); from += kNumbersPerList) {
    QStringList some;
    for (std::size_t at = from; at < std::min(numbers.size(), from + kNumbersPerList); ++at) {
      some.append(QString::number(numbers[at]));
    }
    lists.append(some.join(u','));
  }
  return lists;
}

int writeRowsInPlace(int rpId, const std::vector<SongRecord>& songs, const RowsInPlace& rows,
                     RewriteFollowers& followers, QString& reason) {
  const std::size_t files = filesToStore(songs, reason);
  if (!reason.isEmpty()) {
    return -1;
  }
  if (rows.walked.size() < files + 1) {
    reason = u"el recorrido no dio el lugar de cada archivo guardado"_s;
    return -1;
  }
  // Rows of files read again go with those of files gone; so do kept rows past the files written.
  std::vector<int> gone = rows.gone;
  for (std::size_t song = 1; song < rows.walked.size(); ++song) {
    const StoredPlace& place = rows.walked[song];
    if (place.number > 0 && (place.read || song > files)) {
      gone.push_back(place.number);
    }
  }
  const bool inOrder = keptInOrder(rows.walked, files);
  if (!followers.rowsGoing(gone, reason) || !deleteRows(rpId, gone, reason) ||
      !mendFileorders(rpId, songs, rows, files, reason) ||
      !renumber(rpId, shiftsOf(rows.walked, files, inOrder), inOrder, reason)) {
    return -1;
  }
  const std::optional<std::vector<int>> added = insertNewRows(rpId, songs, rows, files, reason);
  return added && followers.rowsAdded(*added, reason) ? static_cast<int>(files) : -1;
}
