// The headless backend: no window, no devices. Tests and benchmarks script
// the keyboard and mouse frame by frame, read the presented frames, answer
// message boxes and observe ProgramEnd.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "media/platform.h"

namespace headless {

// ProgramEnd throws this instead of ending the process.
struct ProgramEnded {
  int exitCode;
};

// Switches the media layer to the headless backend and forgets every media
// object and all scripted state. Call at the start of each test.
void Use();

// Start-up failures to inject (all false after Use()).
struct Failures {
  bool video = false;         // InitPictureSupport
  bool displayObject = false; // InitDisplaySupport
  bool keyboard = false;      // InitKeyboardSupport
  bool renderer = false;      // InitBlendSupport
  bool mouse = false;         // InitMouseSupport
  bool sound = false;         // InitSoundSupport
  bool window = false;        // OpenDisplay
};
void SetFailures(const Failures& failures);

// Input as the next snapshot will see it.
void HoldKey(int scanCode, bool held);
void ReleaseAllKeys();
void MoveMouse(int dx, int dy);
void SetMouseButton(int button, bool down);
void SetFocus(bool inFront);
// The keyboard layout: the key that types `letter` ('A'..'Z'), 0 for none.
// Use() starts with the US layout.
void SetLetterKey(char letter, int scanCode);
// A game controller, plugged in with this state until UnplugPad.
void SetPad(const PadState& pad);
void UnplugPad();
// A request to close the window, reported by the next FlipScreen.
void RequestClose();

// Called at every presented frame (with the number of frames presented so
// far, starting at 1), before the frame's pacing advances the clock; the
// usual place to script input for the frames that follow.
void OnFrame(std::function<void(int frame)> callback);

int FramesPresented();
const std::vector<uint32_t>& LastFrame();  // 0x00BBGGRR, screen width x height
int FrameWidth();
int FrameHeight();

// The virtual clock: starts at 0, advances by 1000/60 ms per presented
// frame (exactly 100 ms over 6 frames) and by every pause.
void SetClock(uint32_t milliseconds);

// Message boxes: answers are taken in order; with none queued the first
// button is pressed (1 for OK, 6 for Yes). Answer 0 closes the box by a
// close request, without a button.
void QueueAnswer(int button);
struct MessageBoxCall {
  std::string title;
  std::string text;
  int flags;
};
const std::vector<MessageBoxCall>& MessageBoxes();

// Sound starts and halts, each with the frame it happened in.
struct SoundEvent {
  int frame;
  int sound;  // -1 for "halt all"
  bool start; // false: halt
  bool loop;
};
const std::vector<SoundEvent>& SoundEvents();
void ClearSoundEvents();
// The converted samples a sound was loaded with (empty if none).
const std::vector<uint8_t>& SoundSamples(int n);

// What the backend was asked to open and close, in order
// ("video", "window", "audio", "close window", ...), for shut-down tests.
const std::vector<std::string>& PlatformLog();

}  // namespace headless
