// The grid spreading pass; see Unit_TSpreadingGrid.h. Positions do not change during a pass
// (it runs after the population moved), so the persons not yet infected are sorted into
// cells once per pass, and each spreader tests only the 3 x 3 cells around its own.
#include "simulation/Unit_TSpreadingGrid.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "simulation/Unit_TPerson.h"

namespace {

// Keeps the cell count, and with it the rounding error of a cell coordinate (relative to
// the number of cells across), far below what could move a neighbour two cells away.
constexpr double kMaxCells = 67108864.0; // 2^26

template <typename T> void GrowTo(std::vector<T>& ParaBuffer, std::size_t ParaSize) {
  if (ParaBuffer.size() < ParaSize) {
    ParaBuffer.resize(ParaSize);
  }
}

bool Finite(const TPerson& ParaPerson) {
  return std::isfinite(ParaPerson.mPositionX) && std::isfinite(ParaPerson.mPositionY);
}

} // namespace

void TSpreadingGrid::SpreadEveryPair() {
  const std::size_t count = Persons.size();
  for (std::size_t i = 0; i < count; ++i) {
    const TPerson& spreader = Persons[i];
    if (!spreader.mInfected || spreader.mBuried) {
      continue;
    }
    for (std::size_t j = 0; j < count; ++j) {
      if (j == i) {
        continue;
      }
      TPerson& catcher = Persons[j];
      if (!catcher.mInfected && spreader.Near(catcher)) {
        catcher.Infect();
      }
    }
  }
}

std::size_t TSpreadingGrid::CellOf(double ParaX, double ParaY) const {
  // Clamping keeps neighbours within one cell of each other (it never widens a gap), so a
  // spreader outside the catchers' box still finds the catchers at the box's edge.
  const double lastColumn = static_cast<double>(mColumns - 1);
  const double lastRow = static_cast<double>(mRows - 1);
  const double column = std::floor((ParaX - mOriginX) / mCellWidth);
  const double row = std::floor((ParaY - mOriginY) / mCellWidth);
  const std::size_t x = column >= 0 ? static_cast<std::size_t>(std::min(column, lastColumn)) : 0;
  const std::size_t y = row >= 0 ? static_cast<std::size_t>(std::min(row, lastRow)) : 0;
  return y * mColumns + x;
}

TSpreadingGrid::TBuild TSpreadingGrid::Build() {
  const std::size_t count = Persons.size();
  GrowTo(mCatcher, count);
  GrowTo(mCatcherCell, count);
  GrowTo(mSlot, count);

  // Only those not yet infected can catch, and infection never reverts within a pass.
  // A person off the finite plane is Near no one, so it neither catches nor needs a cell.
  int32_t largestSize = 0;
  double minX = std::numeric_limits<double>::infinity();
  double minY = minX;
  double maxX = -minX;
  double maxY = -minX;
  std::size_t catchers = 0;
  for (std::size_t j = 0; j < count; ++j) {
    const TPerson& person = Persons[j];
    largestSize = std::max(largestSize, person.mSize);
    if (person.mInfected || !Finite(person)) {
      continue;
    }
    mCatcher[catchers] = {person.mPositionX, person.mPositionY, static_cast<uint32_t>(j)};
    minX = std::min(minX, person.mPositionX);
    minY = std::min(minY, person.mPositionY);
    maxX = std::max(maxX, person.mPositionX);
    maxY = std::max(maxY, person.mPositionY);
    ++catchers;
  }
  mCatcherCount = catchers;
  if (catchers == 0) {
    return TBuild::b_nobody_to_catch;
  }

  // Near holds only when the centres are at most the two sizes apart, so a cell a little
  // wider than twice the largest size puts every touching pair in neighbouring cells; the
  // extra width swallows the rounding of Near's square root and of the cell coordinates.
  const double extentX = maxX - minX;
  const double extentY = maxY - minY;
  if (!std::isfinite(extentX) || !std::isfinite(extentY)) {
    // Catchers about 1e308 apart overflow the box; no field comes anywhere near that.
    return TBuild::b_too_wide;
  }
  mOriginX = minX;
  mOriginY = minY;
  mCellWidth = 2.0 * largestSize * (1.0 + 0x1p-16) + 0x1p-16;
  mReachSquared = mCellWidth * mCellWidth;
  // A sparse population widens the cells instead of growing the grid beyond a few cells per
  // catcher, so clearing it stays cheap and its memory bounded.
  const double cellLimit = std::min(16.0 * static_cast<double>(catchers) + 64.0, kMaxCells);
  double columns = std::floor(extentX / mCellWidth) + 1.0;
  double rows = std::floor(extentY / mCellWidth) + 1.0;
  while (!(columns * rows <= cellLimit)) {
    mCellWidth *= 2.0;
    columns = std::floor(extentX / mCellWidth) + 1.0;
    rows = std::floor(extentY / mCellWidth) + 1.0;
  }
  mColumns = static_cast<std::size_t>(columns);
  mRows = static_cast<std::size_t>(rows);
  const std::size_t cells = mColumns * mRows;

  // A counting sort by cell: the catchers of a cell end up side by side in mSlot.
  GrowTo(mCellStart, cells + 1);
  GrowTo(mCellEnd, cells);
  std::fill(mCellStart.begin(), mCellStart.begin() + static_cast<std::ptrdiff_t>(cells) + 1, 0u);
  for (std::size_t k = 0; k < catchers; ++k) {
    const auto cell = static_cast<uint32_t>(CellOf(mCatcher[k].x, mCatcher[k].y));
    mCatcherCell[k] = cell;
    ++mCellStart[cell + 1];
  }
  for (std::size_t c = 0; c < cells; ++c) {
    mCellStart[c + 1] += mCellStart[c];
    mCellEnd[c] = mCellStart[c];
  }
  for (std::size_t k = 0; k < catchers; ++k) {
    mSlot[mCellEnd[mCatcherCell[k]]++] = mCatcher[k];
  }
  return TBuild::b_grid;
}

void TSpreadingGrid::Spread() {
  switch (Build()) {
  case TBuild::b_nobody_to_catch:
    return;
  case TBuild::b_too_wide:
    SpreadEveryPair();
    return;
  case TBuild::b_grid:
    break;
  }
  std::size_t healthy = mCatcherCount;
  const std::size_t count = Persons.size();
  // The outer loop keeps the straightforward order over every person: who spreads depends
  // on catches made earlier in this pass, towards higher indexes only. Within one spreader
  // the order of its catches does not matter, since Near reads no flag.
  for (std::size_t i = 0; i < count; ++i) {
    const TPerson& spreader = Persons[i];
    if (!spreader.mInfected || spreader.mBuried || !Finite(spreader)) {
      continue;
    }
    const std::size_t home = CellOf(spreader.mPositionX, spreader.mPositionY);
    const std::size_t column = home % mColumns;
    const std::size_t row = home / mColumns;
    const std::size_t firstColumn = column > 0 ? column - 1 : 0;
    const std::size_t lastColumn = std::min(column + 1, mColumns - 1);
    const std::size_t firstRow = row > 0 ? row - 1 : 0;
    const std::size_t lastRow = std::min(row + 1, mRows - 1);
    for (std::size_t y = firstRow; y <= lastRow; ++y) {
      for (std::size_t x = firstColumn; x <= lastColumn; ++x) {
        const std::size_t cell = y * mColumns + x;
        uint32_t slot = mCellStart[cell];
        while (slot < mCellEnd[cell]) {
          // A cheap test that lets through every pair Near could accept: the distance it
          // allows is a little over the two largest sizes.
          const double dx = mSlot[slot].x - spreader.mPositionX;
          const double dy = mSlot[slot].y - spreader.mPositionY;
          if (!(dx * dx + dy * dy <= mReachSquared)) {
            ++slot;
            continue;
          }
          TPerson& catcher = Persons[mSlot[slot].index];
          if (!catcher.mInfected && spreader.Near(catcher)) {
            catcher.Infect();
            // Caught persons leave the grid, so each one costs a crowded cell once only.
            mSlot[slot] = mSlot[--mCellEnd[cell]];
            if (--healthy == 0) {
              return;
            }
          } else {
            ++slot;
          }
        }
      }
    }
  }
}
