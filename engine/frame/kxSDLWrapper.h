/// \file
/// Declares kxSDLWrapper.

/// \class kxSDLWrapper
/// kxSDLWrapper: the engine's application frame. An application derives from
/// it, overrides the virtual callbacks it needs, constructs it, calls Init and
/// then Run, and deletes it whether or not Init succeeded.
///
/// Ownership: the frame owns its SDL window, its OpenGL context and the root
/// GUI manager; it opens the audio device and SDL and closes both when deleted.
#pragma once

#include <SDL.h>

#include "frame/kxFrameClickReceiver.h"
#include "frame/kxFramePacer.h"
#include "frame/kxGLVersion.h"
#include "kxExport.h"
#include "kxTypes.h"
#include "render/kxRenderer.h"

class kxGUIManager;
class kxGUIObject;

/// The step at which Init failed, in the order Init takes them.
enum TInitError {
  ieNone = 0,     ///< Init has not failed
  ieVideo,        ///< SDL's video subsystem did not start
  ieAudio,        ///< the audio device did not open
  ieDisplay,      ///< full screen: SDL knows no display
  ieDisplayMode,  ///< full screen: no display reported its current mode
  ieWindow,       ///< no window with an OpenGL visual could be made
  ieContext,      ///< no OpenGL context, or it could not be made current
  ieGLFunctions,  ///< the renderer could not load its entry points
  ieGLVersion,    ///< the context is too old for the renderer (OpenGL below
                  /// 1.5 or without buffer objects; no OpenGL ES 2.0)
  ieBeforeInit,   ///< OnBeforeInit returned false
  ieGUI,          ///< the GUI manager could not be allocated
  ieAfterInit,    ///< OnAfterInit returned false
};

class KX_API kxSDLWrapper {
 public:
  /// Stores the arguments; creates nothing. In full-screen mode Init replaces
  /// width and height with the desktop mode.
  kxSDLWrapper(int width, int height, bool fullscreen, bool resizable);
  virtual ~kxSDLWrapper();

  /// Draws the scene; called once per loop iteration unless drawing is paused,
  /// and by Refresh and OnResizeWindow.
  virtual void Render();
  /// Called by Init once the GL context is current, before InitGL; false
  /// makes Init fail.
  virtual bool OnBeforeInit();
  /// Called once by Run after the loop has ended.
  virtual void OnBeforeClose();
  /// Called last by Init; its result is Init's result.
  virtual bool OnAfterInit();
  /// A left press (or touch) that went to the GUI was released at (x, y).
  virtual void OnLMBUp(int x, int y);
  /// The pointer moved to (x, y); dx, dy = previous position minus new one.
  virtual void OnMouseMotion(int x, int y, int dx, int dy);
  /// SDL key codes (the key event's sym).
  virtual void OnKeyDown(unsigned int key);
  /// A key was released (SDL key code).
  virtual void OnKeyUp(unsigned int key);
  /// Default: stores the size, sets the engine-wide screen size, viewport and
  /// GUI size, then draws one frame. The projection is left as it was.
  virtual void OnResizeWindow(int width, int height);
  /// Default: forgets both held buttons. The frame never calls it itself.
  virtual void OnMouseLeave();
  /// A left press within 200 ms of the last completed click.
  virtual void OnDblClick();
  /// The window was minimised or lost keyboard focus; drawing pauses.
  virtual void OnLostFocus();
  /// The window was restored or regained focus while paused; drawing resumes.
  virtual void OnSetFocus();
  /// One click event queued by the GUI manager, delivered at the start of the
  /// frame after the one that queued it.
  virtual void OnGUIClick(kxGUIObject* object);

  /// Opens SDL, the audio device, the window and its context, sets the GL
  /// state and creates the GUI manager. False on any failure; what was already
  /// opened is left to the destructor. The failing step and the library's
  /// message at that moment stay readable through GetInitError and
  /// GetInitErrorDetail.
  bool Init();
  /// The step at which Init failed; ieNone when it has not.
  TInitError GetInitError() const;
  /// The message of the failing library (SDL, the mixer, the extension loader)
  /// or the OpenGL version found; "" when there is none. Owned by the frame.
  const char* GetInitErrorDetail() const;

  /// Settings read by Init; they have no effect once Init has run.
  void SetFullscreen(bool fullscreen);
  /// The window's size when not full screen (also the size the window gets
  /// when full screen is left).
  void SetWindowSize(int width, int height);
  /// Whether the player may resize the window.
  void SetResizable(bool resizable);
  /// The window's title (copied, at most 127 bytes kept); none by default.
  void SetWindowTitle(const char* title);
  /// Samples per pixel to ask for: 4, 2 or 0; other counts round down to one
  /// of those. When the visual is refused, fewer samples are tried, down to
  /// none. kxMultisampleAuto (the default) asks for 4 but, on a software
  /// rasteriser, makes the window and context again without multisampling:
  /// there each sample costs CPU time on every pixel of every frame.
  void SetMultisampling(int samples);
  /// The drawing path (see kxRenderer). It is process-wide: this selects the
  /// engine's current renderer at once. False, with the choice unchanged,
  /// when this build lacks the path. The fixed-function path by default.
  bool SetRenderer(TRendererKind kind);
  /// The drawing path chosen.
  TRendererKind GetRenderer() const;
  /// The samples per pixel asked for (kxMultisampleAuto by default).
  int GetMultisampling() const;
  /// After Init: the samples per pixel the context has, the OpenGL renderer's
  /// name ("" before Init) and whether it rasterises in software.
  int GetSamples() const;
  /// The OpenGL renderer's name after Init; "" before. Owned by the frame.
  const char* GetRendererName() const;
  /// After Init: whether the OpenGL renderer rasterises in software.
  bool IsSoftwareRenderer() const;
  /// Runs the paced main loop until EndMainLoop or a quit event; returns 0.
  /// A request to leave taken by the logo splash during Init (see
  /// kxLogoSplash) ends the loop after its first iteration. The arguments are
  /// not used.
  int Run(int argc, char** argv);
  /// Ends Run after the current iteration.
  void EndMainLoop();
  /// Draws one frame outside the loop.
  void Refresh();
  /// Viewport, 60-degree perspective projection, blend function, depth test
  /// (through the current renderer).
  void InitGL();

  /// Switches between full screen at the desktop mode and a window of the
  /// size the window had (or was asked for) at any time after Init; the new
  /// size arrives like any resize, through OnResizeWindow. False when SDL
  /// refuses (nothing changes then).
  bool ToggleFullscreen();
  /// True while the window is full screen.
  bool IsFullscreen() const;

  kxGUIManager* GetGUIManager();  ///< null before Init
  /// The drawable width in pixels: on a high-density display more than the
  /// window's size in the system's coordinates. Pointer positions are given
  /// in these pixels too.
  int GetWidth();
  /// The drawable height in pixels.
  int GetHeight();
  /// Drawable pixels per unit of the window's size in the system's
  /// coordinates: a browser's devicePixelRatio, a desktop's display scale;
  /// 1 where the two are the same, and before Init.
  float GetPixelDensity() const;
  /// Width over height, as InitGL last computed it.
  float GetAspect();

  /// Stores the camera's position (three floats, copied).
  void SetCamPosition(float* const position);
  /// Copies the camera's position into out (three floats).
  void GetCamPosition(float* const out);
  /// Stores the camera's angles in degrees (three floats, copied).
  void SetCamAngle(float* const angle);
  /// Copies the camera's angles into out (three floats).
  void GetCamAngle(float* const out);
  /// Applies a camera (position, angles in degrees) to the current matrix.
  void PilotView(float* const position, float* const angle);
  /// A width x depth line grid in the z = 0 plane in the current colour;
  /// divisions of 0 or less draw nothing.
  void RenderGrid(int width, int depth, int divisions);

 protected:
  /// Replaces the millisecond clock used for pacing and for double clicks
  /// (null restores SDL_GetTicks). Lets a derived frame run on a known clock.
  void SetTickSource(kxTickSource source);
  /// The clock in use; null while it is SDL_GetTicks.
  kxTickSource GetTickSource() const;
  /// Replaces SDL_CreateWindow for Init (null restores it), so that a derived
  /// frame can refuse visuals, e.g. multisampled ones, and watch the fallback.
  typedef SDL_Window* (*kxWindowCreator)(const char* title, int x, int y, int w, int h,
                                         Uint32 flags);
  /// Installs the window creator Init uses (null: SDL_CreateWindow).
  void SetWindowCreator(kxWindowCreator creator);
  /// What OnResizeWindow does before drawing: stores the size, sets the
  /// engine-wide size, the viewport and the GUI manager's size. An override
  /// that lays things out again calls it, lays out, then calls Refresh.
  void ApplyWindowSize(int width, int height);

  /// Handles one event taken from the queue. A mouse or finger motion also
  /// takes the motion events directly behind it and applies only the last
  /// position, so a fast mouse cannot build a backlog of frames.
  void DispatchEvent(const SDL_Event& event);

  /// \privatesection
  int width;
  int height;
  float aspect;
  uint32_t frameCounter;
  SDL_Window* window;
  SDL_GLContext glContext;
  bool fullscreen;
  bool resizable;
  float camPosition[3];
  float camAngle[3];
  int mouseX, mouseY;
  int prevMouseX, prevMouseY;
  float dragX, dragY;
  bool rightButtonDown;
  bool leftButtonDown;
  float zoomStep;
  uint32_t lastClickTicks;
  bool quitRequested;
  kxGUIManager* guiManager;
  /// Drawing is suspended between a minimise or focus loss and the restore
  /// or focus gain that follows.
  bool paused;
  kxTickSource tickSource;
  kxWindowCreator windowCreator;

 private:
  KX_NO_COPY(kxSDLWrapper);

  void MouseXY(int x, int y);
  void LMBDown();
  void LMBUp();
  void RMBDown();
  void RMBUp();
  // A wheel event of `notches` (SDL's y): a GUI control under the pointer
  // that scrolls takes it; otherwise it moves the camera.
  void MouseWheel(int notches);
  void MouseWheelUp();
  void MouseWheelDown();
  void MouseMotion();
  // The engine's start-up logo, shown by Init between the GUI manager and
  // OnAfterInit.
  void DrawEngineLogo();

  // Set once Init has started SDL; the destructor then shuts it down.
  bool sdlStarted;
  // A request to leave arrived during the splash; Run ends after one frame.
  bool quitBeforeRun;
  TInitError initError;
  char initErrorDetail[256];
  char windowTitle[128];
  int multisampling;
  int samples;
  char rendererName[128];
  bool softwareRenderer;
  // What the GUI manager delivers its clicks to: this frame's OnGUIClick.
  kxFrameClickReceiver clickReceiver;

  // Records why Init stops; always false.
  bool FailInit(TInitError error, const char* detail);
  // Makes the window and its context, asking for `firstSamples` samples and
  // fewer when refused.
  bool CreateWindowAndContext(Uint32 flags, int firstSamples);
  void DestroyWindowAndContext();
  void HandleWindowEvent(const SDL_WindowEvent& event);
  // Touch position (0..1 of the window) in window pixels.
  void TouchToPixels(float tx, float ty, int* x, int* y) const;
  // A mouse position in the window's coordinates in drawable pixels; the
  // same numbers unless the display has more pixels than coordinates.
  // `current` asks SDL for the drawable size instead of the stored one.
  void PointerToPixels(int* x, int* y, bool current = false) const;
  // The drawable size of the window (its size where that is unknown).
  void DrawableSize(int* w, int* h) const;
  // The window size asked for outside full screen.
  int windowedWidth, windowedHeight;
};
