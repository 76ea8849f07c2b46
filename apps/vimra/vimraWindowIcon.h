// The window's icon: a picture of the pack (the game uses its title
// picture) centred on a transparent square, so that a window manager shows
// it whole and unstretched.
#pragma once

#include <SDL.h>

struct kxMemoryBlock;

// New 32-bit RGBA surface, owned by the caller (SDL_FreeSurface), holding
// the TGA of a crunched block upright, centred on a transparent square as
// wide as the picture's longer side. Null when the block does not expand
// or decode, or the picture is larger than kMaxIconSide a side.
SDL_Surface* vimraMakeWindowIcon(const kxMemoryBlock* crunchedTGA);
const int kMaxIconSide = 1024;

// Gives the window the icon made from the block; false, and the window left
// as it was, when there is no window or no icon can be made.
bool vimraSetWindowIcon(SDL_Window* window, const kxMemoryBlock* crunchedTGA);
