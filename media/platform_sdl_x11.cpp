// Whether a full-screen window can be had, asked of X: a file of its own,
// since X's headers (which SDL_syswm.h brings) clash with the media layer's names.
#include <SDL.h>
#include <SDL_syswm.h>

#include <string>

#if VANTOR_X11
#include <X11/Xlib.h>
#endif

// Declared in media/internal.h, which cannot be included beside X's headers.
bool FullScreenCanBeGranted(SDL_Window* window);

// SDL takes a full-screen request as granted. On X it is granted by the
// window manager; with none running nobody does, the window keeps the size
// it was made with, and SDL would scale the picture for a screen the window
// does not cover. A window manager holds the selection WM_Sn of its screen.
bool FullScreenCanBeGranted(SDL_Window* window) {
#if VANTOR_X11
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
    Display* display = info.info.x11.display;
    const std::string selection = "WM_S" + std::to_string(DefaultScreen(display));
    return XGetSelectionOwner(display, XInternAtom(display, selection.c_str(), False)) != None;
  }
#else
  (void)window;
#endif
  return true;
}
