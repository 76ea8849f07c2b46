// Screen arithmetic of the game: where the menu controls go for a window of
// W x H pixels (y down, integer divisions rounding toward zero), and how a
// click height becomes a row of the table.
#pragma once

#include "vimraMotion.h"

struct vimraRect_s {
  int x, y, w, h;
};

struct vimraMainMenuLayout_s {
  vimraRect_s logo;
  vimraRect_s ticker;  // h unused: the ticker takes the font's height
  vimraRect_s start, quit, about, howToPlay, settings;
};

vimraMainMenuLayout_s vimraMainMenuLayout(int width, int height);

// A box of w x h centred across and placed at a third of the free height.
vimraRect_s vimraBoxPanel(int width, int height, int boxWidth, int boxHeight);
// The OK button of a box, relative to the box.
vimraRect_s vimraBoxOkButton(int boxWidth, int boxHeight);

struct vimraHintBarLayout_s {
  vimraRect_s panel;
  vimraRect_s scroll;  // h unused
};
vimraHintBarLayout_s vimraHintBarLayout(int width);

// True when a release at (x, y) lands in the top-right corner, the hidden
// backdrop switch.
bool vimraIsCornerClick(int width, int height, int x, int y);

// Row answered by a click at height y on a window `height` pixels high, with
// the camera at depth camZ: 1 top, 2 middle, 3 bottom. The height of that row
// on the table, where its stars are placed, goes to *rowY.
int vimraRowFromClick(int height, int y, float camZ, float* rowY);

// The GUI scale for a window of width x height pixels: the menus were made
// for 1280 x 720 and keep that share of the screen's height, in quarter
// steps and never below 1; an upright or narrow window is limited by its
// width, so that the widest box (620 logical pixels) still fits with room.
float vimraChooseGUIScale(int width, int height);
// The same on a screen of `density` pixels per unit of the window's size (a
// browser's devicePixelRatio): the scale the window's size in those units
// gets, times the density. The controls then take the share of the screen
// they take at density 1, drawn with all of its pixels. A density that is
// not positive and finite counts as 1.
float vimraChooseGUIScale(int width, int height, float density);

// The camera depth of the table view for a window of this aspect (width /
// height): 20 / aspect, which fits the three rows across with room at every
// aspect, but never so close that the rows leave the window at the top and
// bottom of a very wide one.
float vimraTableCameraDepth(float aspect);

// The menu view for a window of this aspect (width / height). From
// vimraRingFitAspect wider it is vimraMenuPose itself; on a narrower window
// the camera backs away along its line of sight until the ring about
// (0, 0, ringZ) is as far as vimraRingFitAspect / aspect times its distance
// there, so that the ring keeps the share of the window's width it has at
// vimraRingFitAspect instead of running off both sides.
vimraPose_s vimraMenuPoseFor(float aspect, float ringZ);
