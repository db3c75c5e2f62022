#pragma once

#include <algorithm>
#include <cstddef>

/** Beyond this many records a listing's table holds more than any classic listing does. */
inline constexpr std::size_t kClassicRoom = 4096;
/** The room a table is given at once when it outgrows kClassicRoom: a whole collection's. */
inline constexpr std::size_t kCollectionRoom = std::size_t{1} << 18;

/**
 * The capacity for a table of a listing that grows one record at a time and needs room for
 * needed records. Past the classic room only a whole collection goes on, so the table jumps to
 * a collection's room at once, and then fourfold: its records are moved once or twice rather
 * than at every doubling (each move touches fresh pages, and the old and new blocks are both
 * held meanwhile), while the room beyond the records, never touched, costs no memory.
 */
inline std::size_t roomFor(std::size_t needed, std::size_t capacity) {
  if (needed <= kClassicRoom) {
    return std::max(needed, 2 * capacity);
  }
  return std::max({needed, 4 * capacity, kCollectionRoom});
}
