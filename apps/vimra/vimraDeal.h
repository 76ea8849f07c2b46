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

// Which picture each card of a new deck shows: picture[i] is the number of
// the picture ("texture_<n>") card i gets. It is the identity shuffled by
// exchanging entry i with entry rand() % 21 for i from 0 to 20, drawn from
// the game's generator, so the caller seeds it.
void vimraPictureOrder(int picture[vimraCardCount]);
