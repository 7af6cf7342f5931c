// The one seam between the media layer and the platform. Everything above it
// (pictures, drawing, text, input semantics, sound decoding, files) is shared
// code; below it are the backends: SDL2 for the real programs, the browser
// (platform_web.cpp, in the WebAssembly build) and a headless one for tests
// and benchmarks.
#pragma once

#include <cstdint>
#include <vector>

// What happened to the window since the last PumpEvents.
struct PlatformEvents {
  bool focusLost = false;     // the program went to the background
  bool focusGained = false;   // the program came back to the front
  bool switchKeyReleased = false;  // Alt or Tab released: the display may be lost
  // Requests to close the window: its close button, Alt+F4, the session
  // ending. One per request; the programs decide what it means.
  int closeRequests = 0;
};

// A game controller as the backend sees it: the buttons held and the left
// stick. With several pads plugged in, the backend joins them (a button is
// held when it is held on any pad; the stick is the one pushed furthest).
struct PadState {
  enum Button { UP, DOWN, LEFT, RIGHT, A, B, X, Y, START, BACK, BUTTONS };
  bool held[BUTTONS] = {};  // UP..RIGHT: the D-pad
  int stickX = 0;           // -32768 (left) .. 32767 (right)
  int stickY = 0;           // -32768 (up) .. 32767 (down)
};

struct MouseEvent {
  enum Kind { MOTION_X, MOTION_Y, WHEEL, BUTTON } kind;
  int value;       // motion or wheel counts; for BUTTON bit 7 set = pressed
  int button = 0;  // BUTTON: 1 left, 2 right, 3 middle
};

// The output format every sound is converted to before it reaches the backend.
struct AudioOutput {
  int frequency = 44100;
  uint16_t format = 0x8010;  // AUDIO_S16LSB
  int channels = 2;
};

// Where a backend shows a frame of width x height in a window whose drawable
// area is outW x outH pixels: centred, the rest black. A whole-number scale
// where twice the frame fits, so that every pixel is the same size;
// otherwise the largest scale that fits. Never cropped.
struct PictureRect {
  int x = 0, y = 0, width = 0, height = 0;
};
PictureRect FitPicture(int outW, int outH, int width, int height);

class Platform {
 public:
  virtual ~Platform() = default;

  // Start-up checks and their counterparts.
  virtual bool InitVideo() = 0;          // display system present
  virtual bool InitDisplayObject() = 0;  // display system usable
  virtual bool InitKeyboard() = 0;
  virtual bool InitRenderer() = 0;
  virtual bool InitMouse() = 0;
  virtual void CloseDisplayObject() = 0;
  virtual void CloseMouse() = 0;
  virtual void CloseKeyboard() = 0;

  // The program's one window, full screen, with a back buffer of w x h.
  virtual bool OpenWindow(int width, int height, const char* title) = 0;
  virtual void CloseWindow() = 0;
  virtual void PumpEvents(PlatformEvents& events) = 0;
  // Shows the pixels (0x00BBGGRR) and waits so that frames come at 60 per second.
  virtual void Present(const uint32_t* pixels, int width, int height) = 0;
  virtual bool InFront() = 0;

  // Input. ReadKeys fills 256 bytes (set-1 scan codes, 0x80 = held); false
  // when the program is not in front. ReadMouse appends the events waiting
  // since the last call; false when they cannot be had.
  virtual bool ReadKeys(uint8_t keys[256]) = 0;
  virtual bool ReadMouse(std::vector<MouseEvent>& events, bool& overflow) = 0;
  virtual void ReleaseMouse() = 0;
  // The set-1 scan code of the key that types `letter` ('A'..'Z') in the
  // current keyboard layout; 0 if no key does.
  virtual int ScanCodeOfLetter(char letter) = 0;
  // Fills `pad` and returns true while a game controller is plugged in;
  // false (and `pad` untouched) without one or when not in front.
  virtual bool ReadPad(PadState& pad) = 0;

  // Time.
  virtual uint32_t Ticks() = 0;
  virtual void Sleep(int milliseconds) = 0;

  // Modal message box; returns 1 (OK), 6 (Yes) or 7 (No), or 0 when the box
  // was closed by a close request without a button being pressed.
  virtual int MessageBox(const char* title, const char* text, int flags) = 0;

  // Sound: samples arrive already in the AudioOutput format.
  virtual bool OpenAudio(AudioOutput& output) = 0;
  virtual void CloseAudio() = 0;
  virtual bool LoadSound(int n, std::vector<uint8_t> samples) = 0;
  virtual void FreeSound(int n) = 0;
  virtual bool PlaySound(int n, bool loop) = 0;
  virtual void HaltSound(int n) = 0;  // n = -1: all

  // Ends the process (the headless backend throws ProgramEnded instead).
  [[noreturn]] virtual void Exit(int code) = 0;
};

// The backend in use: the build's default backend unless a test switched to
// headless.
Platform& CurrentPlatform();

// Switches back to the SDL2 backend, e.g. for a test that plays through
// SDL's "disk" audio driver. Forgets all media state. Defined by the SDL2
// backend, so only where it is built.
void UseSdlPlatform();
