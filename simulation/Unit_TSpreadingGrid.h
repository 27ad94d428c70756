// The spreading pass on a uniform grid: the disease's contact pass over Persons, with the
// same result, bit for bit and in the same order, as testing every spreader against every
// person, at a cost that grows with the population instead of spreaders x persons.
// TDisease owns one and runs it; the rules of who spreads and who catches stay there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TSpreadingGrid {
public:
  // One pass over Persons: every infected, unburied person in ascending index order infects
  // every not yet infected person it is Near, flags read live.
  void Spread();

private:
  enum class TBuild : uint8_t { b_nobody_to_catch, b_grid, b_too_wide };

  // Gathers the catchers and sorts them into cells.
  TBuild Build();
  std::size_t CellOf(double ParaX, double ParaY) const;
  // Every spreader against every person; for populations the grid cannot cover.
  static void SpreadEveryPair();

  // A copy of a catcher's centre next to its index, so most misses are told apart without
  // visiting the person.
  struct TCatcher {
    double x;
    double y;
    uint32_t index;
  };

  // Buffers kept between passes so a pass allocates only when the population has grown.
  std::vector<TCatcher> mCatcher;
  std::vector<uint32_t> mCatcherCell;
  // The catchers grouped by cell: cell c holds mSlot[mCellStart[c] .. mCellEnd[c]), and a
  // caught person leaves its cell by a swap with the cell's last one.
  std::vector<TCatcher> mSlot;
  std::vector<uint32_t> mCellStart;
  std::vector<uint32_t> mCellEnd;

  std::size_t mCatcherCount = 0;
  double mOriginX = 0.0;
  double mOriginY = 0.0;
  double mCellWidth = 1.0;
  // Square of a distance a little over the largest possible contact distance.
  double mReachSquared = 0.0;
  std::size_t mColumns = 1;
  std::size_t mRows = 1;
};
