// The order in which the trick gathers the 21 cards and deals them again.
// Slots 0-6 are the bottom row, 7-13 the middle, 14-20 the top, each left to
// right; rows are answered as 1 top, 2 middle, 3 bottom.
#pragma once

const int vimraCardCount = 21;

// For a gather after the player named `row`: order[s] is the slot that the
// card dealt to slot s comes from. The named row is gathered into the middle
// of the pile (any row other than 1 or 3 counts as 2), and the pile is dealt
// across the rows, bottom, middle, top, one column at a time.
void vimraGatherOrder(int row, int order[vimraCardCount]);
