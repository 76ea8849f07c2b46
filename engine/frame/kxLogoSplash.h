/// \file
/// Declares kxLogoSplash.

/// \class kxLogoSplash
/// kxLogoSplash: the engine's start-up splash. It shows the "kxEngineLogo"
/// picture of a resource collection centred on a black screen, as large as
/// the GUI scale rule (kxChooseGUIScale) makes it for the window, drawing and
/// swapping every frame, paced at 60 frames per second until the frame
/// counter reaches 180. Events are taken one per frame and discarded, but a
/// request to leave among them (the window closed, a termination signal,
/// Escape or Back pressed) is remembered for the caller, so that it is not
/// lost while the logo is up. Without a logo entry, or when the picture cannot
/// be made, the frames are paced over a black screen all the same. Scaled up,
/// the picture comes from the collection's larger rendering that suits the
/// scale ("kxEngineLogo@2x" and so on, see kxEngineLogo.h) where it has one.
///
/// The splash borrows the window and context; it owns nothing after Run.
#pragma once

#include <SDL.h>

#include "frame/kxFramePacer.h"
#include "kxExport.h"
#include "kxTypes.h"

class kxResource;
struct kxMemoryBlock;

class KX_API kxLogoSplash {
 public:
  static const int frameLimit = 180;  ///< frame count at which Run returns
  static const int logoWidth = 256;   ///< picture width in pixels at scale 1
  static const int logoHeight = 64;   ///< picture height in pixels at scale 1

  /// ticks: the pacing clock (null means SDL_GetTicks).
  kxLogoSplash(SDL_Window* window, SDL_GLContext context, int width, int height,
               kxTickSource ticks = nullptr);
  virtual ~kxLogoSplash();

  /// Needs the context current; the picture is blended with the blend
  /// function in force (the frame's SRC_ALPHA, ONE_MINUS_SRC_ALPHA) into the
  /// bound framebuffer, whose viewport the caller has set. Advances *frameCounter once per frame
  /// and returns when it reaches frameLimit as a signed value (at least one frame is always shown).
  /// Hides the cursor meanwhile. Leaves the renderer's projection at Ortho(0, width, height, 0, 0,
  /// 1) with the matrix mode mmProjection, an identity model-view matrix, blending and depth test
  /// off.
  void Run(kxResource* resources, uint32_t* frameCounter);

  /// Top-left corner of the centred picture (integer halves towards zero) on
  /// a window of width x height pixels, as GetLogoRect.
  static void GetLogoPosition(int width, int height, int* x, int* y);
  /// The picture's rectangle in window pixels (y down): logoWidth x
  /// logoHeight times kxChooseGUIScale(width, height, density), rounded to
  /// whole pixels, centred with integer halves towards zero. Null outputs
  /// are skipped.
  static void GetLogoRect(int width, int height, int* x, int* y, int* w, int* h,
                          float density = 1.0f);
  /// The block to draw the picture from at this scale (owned by the
  /// collection): the smallest rendering the collection holds that is
  /// magnified by no more than 1.25, else the largest it holds;
  /// "kxEngineLogo" itself up to 1.25 or without renderings. Null for a null
  /// collection or one without "kxEngineLogo".
  static kxMemoryBlock* ChooseLogo(const kxResource* resources, float scale);

  /// Frames shown by the last Run, and how many of them showed the picture.
  int GetFramesShown() const { return framesShown; }
  int GetPicturesShown() const { return picturesShown; }  ///< see above
  /// True when the last Run took a request to leave: SDL_QUIT, or a press of
  /// Escape or AC Back. The splash still runs to its end.
  bool GetQuitRequested() const { return quitRequested; }
  /// Whether an event asks the program to leave, in the sense above.
  static bool IsQuitRequest(const SDL_Event& event);

 protected:
  /// Called once per frame after drawing and before the buffer swap.
  virtual void OnFrameDrawn(bool pictureShown);

 private:
  KX_NO_COPY(kxLogoSplash);

  SDL_Window* window;
  SDL_GLContext context;
  int width;
  int height;
  kxTickSource ticks;
  int framesShown;
  int picturesShown;
  bool quitRequested;
};
