#include "DragReorder.h"

namespace table {

int dragSwapPartner(int current, int entered, int rowCount) {
    if (current == entered) return -1;
    const int neighbour = current < entered ? entered - 1 : entered + 1;
    if (neighbour < 0 || neighbour >= rowCount) return -1;
    return neighbour;
}

}  // namespace table
