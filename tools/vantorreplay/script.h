// Replay scripts: what the keyboard and the mouse do, frame by frame.
//
// Each line is "FRAMES [TOKEN...]": the tokens hold for the next FRAMES
// presented frames. A token is a key name (Left Right Up Down Ctrl Esc J N
// F1 F2 F3 F4 Space Return), a scan code as 0xNN, "@X,Y" (the pointer at
// screen pixel X, Y), "LMB" (the left button held), "Tap" (the left
// button pressed and released before the frame's read, as a touchpad's tap
// sends them; it is up afterwards), a game controller's
// button (PadUp PadDown PadLeft PadRight PadA PadB PadX PadY PadStart
// PadBack) or "Close" (one request to close the window, made before the
// line's first frame). "#" starts a comment.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/platform.h"

struct ScriptStep {
  int frames = 0;
  std::vector<int> keys;    // scan codes held
  bool movesPointer = false;
  int pointerX = 0, pointerY = 0;
  bool leftButton = false;
  bool tap = false;
  PadState pad;           // buttons held on the game controller
  int closeRequests = 0;  // made before the first frame
};

struct Script {
  std::vector<ScriptStep> steps;
  int64_t TotalFrames() const;
};

// A whole number in `base` within min..max, without sign or anything after it.
bool ParseNumber(const std::string& text, int base, int64_t min, int64_t max, int64_t& value);

// False with a one-line message naming the file and line on a bad line.
bool ParseScript(const std::string& text, const std::string& fileName, Script& script, std::string& error);

// Random held keys for a soak: never F4 or J, so the game never ends itself.
Script RandomScript(uint32_t seed, int64_t frames);
