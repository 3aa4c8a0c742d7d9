#pragma once
// Where a row dragged by the pointer goes.

namespace table {

// The row that swaps places with the entered row when the pointer moves onto
// it with the current row at current (-1 for none): its neighbour on the side
// of the current row. -1 when nothing moves.
int dragSwapPartner(int current, int entered, int rowCount);

}  // namespace table
