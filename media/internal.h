// State shared between the media layer's own modules; not for the programs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "media/platform.h"

struct ScreenState {
  bool open = false;
  bool screenActive = false;
  bool displayLost = false;  // pictures were backed up; restore on the next flip in front
  int screenWidth = 0;
  int screenHeight = 0;
  int screenDepth = 0;
  std::vector<uint32_t> visible;  // what was presented last
  std::vector<uint32_t> hidden;   // the drawing target
  uint32_t defaultKey = 0;        // key given to pictures when they are made
};

ScreenState& Screen();

// The drawing target, or null when no screen is open.
inline uint32_t* TargetPixels() {
  ScreenState& s = Screen();
  return s.open ? s.hidden.data() : nullptr;
}

// A close request seen outside FlipScreen (a message box closed without an
// answer); TakeCloseRequest reports it like the window's.
void NoteCloseRequest();

// Pictures keep their pixels in memory, so losing the display loses nothing;
// these exist so the screen module can follow the lost/restored protocol.
void BackupPictures();
void RestorePictures();
void FreeAllPictures();

// Each module forgets everything (used when a test switches backends).
void ResetScreenState();
void ResetPictureState();
void ResetDrawingState();
void ResetInputState();
void ResetSoundState();
void ResetFileState();
void ResetRandomState();
void ResetStartupState();
void ResetAllMediaState();

// ---- Between the start-up checks, the sound module and the backends ----

// The output opened by InitSoundSupport, whose format every sound is
// converted to; null while no sound output is open.
const AudioOutput* SoundOutput();
// Forgets the sound output; CloseSound calls it after closing the output.
void CloseSoundOutput();

// PCM samples: format as in AudioOutput (bits per sample in the low byte;
// 0x8000 signed, 0x1000 big-endian, 0x0100 floating point), channels
// interleaved, frames per second.
struct PcmFormat {
  uint16_t format;
  int channels;
  int rate;
};
// The number of frames `frames` input frames become at another rate.
size_t ConvertedFrames(size_t frames, int fromRate, int toRate);
// Converts the whole frames of `samples` into `out`; false when either format
// is not 8-, 16- or 32-bit integer or 32-bit float PCM.
bool ConvertPcm(const uint8_t* samples, size_t bytes, const PcmFormat& from, const PcmFormat& to,
                std::vector<uint8_t>& out);

// Installs a backend in place of the current one (which is destroyed); the
// caller then resets the media state.
void InstallPlatform(std::unique_ptr<Platform> platform);
// The backend the programs run on; defined by the backend's own file, so
// that the build chooses it by the file it links.
std::unique_ptr<Platform> MakeDefaultPlatform();

// Mouse events waiting for the next read, buffered the way a mouse device
// does: up to 24 events, and more than that loses them all. Consecutive
// motion along one axis (and wheel turns) between two button events is
// merged into one event, so that a mouse reporting 1000 times a second does
// not overflow the buffer in every frame.
constexpr int MOUSE_BUFFER_EVENTS = 24;
struct MouseQueue {
  std::vector<MouseEvent> events;
  bool overflow = false;
};
void QueueMouseMotion(MouseQueue& queue, int dx, int dy);
void QueueMouseWheel(MouseQueue& queue, int amount);
void QueueMouseButton(MouseQueue& queue, int button, bool down);
// Moves the waiting events to `out` (nothing on overflow) and empties the queue.
void TakeMouseEvents(MouseQueue& queue, std::vector<MouseEvent>& out, bool& overflow);

// A text laid out from a font's glyphs: the x just after it and its letter
// pixels as runs along rows, relative to the text's top left.
struct TextSpan {
  int16_t x, y, length;
};
struct RenderedText {
  int advance = 0;
  std::vector<TextSpan> spans;
};
struct GlyphFont;
RenderedText LayOutText(const GlyphFont& font, const std::vector<uint32_t>& text);

// Holds, in a keyboard snapshot (0x80 = held), the keys that the pad's
// buttons and left stick stand for; keys held on the keyboard stay held.
void AddPadKeys(const PadState& pad, uint8_t keys[256]);

// False when the window system will not make `window` (an SDL_Window)
// full screen: on X, when no window manager runs.
struct SDL_Window;
bool FullScreenCanBeGranted(SDL_Window* window);

// Everything moves by frames, so frames must come at this rate on every display.
constexpr int FRAMES_PER_SECOND = 60;

// A running deadline for frames: frame k of a run ends at base + k/60 s, so
// the rate does not drift with the sleeps' overshoot. After a long stall (a
// pause, a message box) the run starts afresh instead of racing to catch up.
// Times are in ticks of a counter with `frequency` ticks per second.
struct FrameClock {
  int64_t frequency = 1;
  int64_t base = 0;
  int64_t index = 0;  // 0: a new run starts with the next frame
  // When the frame that ends now should be over.
  int64_t NextDeadline(int64_t now);
  int64_t Deadline(int64_t k) const;
};

// The set-1 scan code (extended keys with 0x80 added) of an SDL scancode;
// 0 for keys a PC keyboard does not have.
int ScanCodeFromSdl(int sdlScancode);

// The set-1 scan code of a Windows key message (its lParam: the scan code in
// bits 16-23, the extended flag in bit 24); 0 for none.
int ScanCodeFromWin32(uint32_t lParam);

// An XInput pad's state (XINPUT_GAMEPAD's buttons and left stick), joined
// into `pad` as several pads are: buttons held on any, the stick pushed
// furthest.
struct XInputPad {
  uint16_t buttons = 0;
  int16_t thumbLX = 0, thumbLY = 0;
};
void PadFromXInput(const XInputPad& x, PadState& pad);
