// The program-wide colour table of the backdrop: the bottom and the top colour
// of its gradient. The settings file stores it; the corner switch redraws it.
#pragma once

enum TBackdropColor { bcBottom = 0, bcTop = 1 };

// Three floats (red, green, blue) of the given colour; the table owns them and
// lives as long as the program.
float* vimraBackdropColor(TBackdropColor which);
// The built-in colour, three floats owned by the table.
const float* vimraBuiltInBackdropColor(TBackdropColor which);
// Puts the built-in colours back.
void vimraResetBackdropColors();
