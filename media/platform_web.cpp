// The browser backend (WebAssembly): the frame goes to an 800 x 600 canvas,
// keys come from KeyboardEvent.code as set-1 scan codes, the pointer over
// the canvas becomes relative motion, sound plays through Web Audio and the
// message box is a dialog in the page. The page side lives in
// platform_web.js; the calls that wait (the frame, a pause, the dialog)
// suspend the program through Asyncify until the browser wakes it.
#include <emscripten.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/command_line.h"
#include "media/internal.h"
#include "media/platform.h"

extern "C" {
// platform_web.js
int vantor_web_has_canvas();
void vantor_web_open_canvas(int width, int height);
void vantor_web_close_canvas();
void vantor_web_present(const uint32_t* rgba, int width, int height);
void vantor_web_wait_frame();  // waits
int vantor_web_take_focus_changes();  // bit 0 lost, bit 1 gained, bit 2 Alt/Tab released
int vantor_web_in_front();
void vantor_web_read_keys(uint8_t* keys);
int vantor_web_take_buttons(int* events, int capacity);
void vantor_web_pointer(int* xy);
void vantor_web_hold_mouse(int held);
int vantor_web_scan_code_of_letter(int letter);
int vantor_web_message_box(const char* title, const char* text, int yesNo);  // waits
int vantor_web_open_audio();
void vantor_web_close_audio();
int vantor_web_load_sound(int n, const uint8_t* samples, int bytes, int frequency, int channels);
void vantor_web_free_sound(int n);
int vantor_web_play_sound(int n, int loop);
void vantor_web_halt_sound(int n);
void vantor_web_program_ended();
void vantor_web_halt();  // waits for ever
}

namespace {

constexpr uint32_t OPAQUE = 0xFF000000u;
constexpr int FOCUS_LOST = 1, FOCUS_GAINED = 2, SWITCH_KEY_RELEASED = 4;
// Button events the page may hold between two reads: more than the media
// layer's buffer, so that an overflow is seen as one.
constexpr int BUTTON_CAPACITY = 64;

class WebPlatform : public Platform {
 public:
  ~WebPlatform() override {
    CloseAudio();
    CloseWindow();
  }

  // ---- Start-up checks: a page with a canvas has all of them ----------------

  bool InitVideo() override {
    video = vantor_web_has_canvas() != 0;
    return video;
  }
  bool InitDisplayObject() override { return video; }
  bool InitKeyboard() override { return video; }
  bool InitRenderer() override { return video; }
  bool InitMouse() override { return video; }
  void CloseDisplayObject() override {}
  void CloseMouse() override {
    ReleaseMouse();
    layerX = layerY = 0;  // the media layer's position starts again at 0, 0
  }
  void CloseKeyboard() override {}

  // ---- The canvas -------------------------------------------------------------

  bool OpenWindow(int width, int height, const char*) override {
    if (!video) return false;
    CloseWindow();
    vantor_web_open_canvas(width, height);
    frame.assign(size_t(width) * size_t(height), OPAQUE);
    frameWidth = width;
    frameHeight = height;
    vantor_web_present(frame.data(), width, height);
    window = true;
    return true;
  }

  void CloseWindow() override {
    if (!window) return;
    ReleaseMouse();
    vantor_web_close_canvas();
    frame.clear();
    window = false;
  }

  // A page has no close request for the program: closing the tab ends it
  // with the page.
  void PumpEvents(PlatformEvents& events) override {
    const int changes = vantor_web_take_focus_changes();
    events.focusLost = (changes & FOCUS_LOST) != 0;
    events.focusGained = (changes & FOCUS_GAINED) != 0;
    events.switchKeyReleased = (changes & SWITCH_KEY_RELEASED) != 0;
    if (events.focusLost) ReleaseMouse();
  }

  // The canvas wants an alpha byte of 255 where the screen keeps 0.
  void Present(const uint32_t* pixels, int width, int height) override {
    if (!window || width != frameWidth || height != frameHeight) return;
    const size_t count = frame.size();
    for (size_t i = 0; i < count; i++) frame[i] = pixels[i] | OPAQUE;
    vantor_web_present(frame.data(), width, height);
    vantor_web_wait_frame();
  }

  bool InFront() override { return window && vantor_web_in_front(); }

  // ---- Input ------------------------------------------------------------------

  bool ReadKeys(uint8_t keys[256]) override {
    if (!InFront()) return false;
    vantor_web_read_keys(keys);
    return true;
  }

  // The page knows where the pointer is; the media layer adds up motion. So
  // each read moves the layer's position to where the pointer was at each
  // button change and at last to where it is now, in the order the page saw
  // them. layerX, layerY follow the position the layer has applied.
  bool ReadMouse(std::vector<MouseEvent>& events, bool& overflow) override {
    if (!InFront()) return false;
    int buttons[3 * BUTTON_CAPACITY];
    const int count = vantor_web_take_buttons(buttons, BUTTON_CAPACITY);
    MouseQueue queue;
    int x = layerX, y = layerY;
    auto moveTo = [&](int toX, int toY) {
      QueueMouseMotion(queue, toX - x, toY - y);
      x = toX;
      y = toY;
    };
    if (!mouseHeld) {
      // Clicks made before the mouse was taken are not the program's.
      vantor_web_hold_mouse(1);
      mouseHeld = true;
    } else {
      for (int i = 0; i < count && i < BUTTON_CAPACITY; i++) {
        moveTo(buttons[3 * i], buttons[3 * i + 1]);
        QueueMouseButton(queue, buttons[3 * i + 2] & 0xFF, (buttons[3 * i + 2] & 0x100) != 0);
      }
      if (count > BUTTON_CAPACITY) queue.overflow = true;
    }
    int pointer[2];
    vantor_web_pointer(pointer);
    moveTo(pointer[0], pointer[1]);
    TakeMouseEvents(queue, events, overflow);
    // A lost buffer moves nothing: the layer stays where it was.
    if (!overflow) {
      layerX = x;
      layerY = y;
    }
    return true;
  }

  // The page learns the layout from the letters typed (and from the
  // browser's layout map where there is one); until then the US layout.
  int ScanCodeOfLetter(char letter) override {
    if (letter < 'A' || letter > 'Z') return 0;
    return vantor_web_scan_code_of_letter(letter);
  }

  // The page reads no game controller; the keyboard plays.
  bool ReadPad(PadState&) override { return false; }

  void ReleaseMouse() override {
    if (mouseHeld) vantor_web_hold_mouse(0);
    mouseHeld = false;
  }

  // ---- Time -------------------------------------------------------------------

  uint32_t Ticks() override { return uint32_t(uint64_t(emscripten_get_now())); }
  void Sleep(int milliseconds) override {
    if (milliseconds > 0) emscripten_sleep(unsigned(milliseconds));
  }

  // ---- Message box ----------------------------------------------------------

  int MessageBox(const char* title, const char* text, int flags) override {
    const bool yesNo = (flags & 4) != 0;
    const int pressed = vantor_web_message_box(title, text, yesNo ? 1 : 0);
    if (!yesNo) return 1;
    return pressed == 1 ? 6 : 7;
  }

  // ---- Sound ------------------------------------------------------------------

  // The page's audio context resamples; the samples stay at 44.1 kHz.
  bool OpenAudio(AudioOutput& output) override {
    if (!audio) audio = vantor_web_open_audio() != 0;
    if (audio) output = AudioOutput{};
    return audio;
  }

  void CloseAudio() override {
    if (!audio) return;
    vantor_web_close_audio();
    audio = false;
  }

  bool LoadSound(int n, std::vector<uint8_t> samples) override {
    if (!audio || n < 0) return false;
    const AudioOutput format;
    return vantor_web_load_sound(n, samples.data(), int(samples.size()), format.frequency, format.channels) != 0;
  }

  void FreeSound(int n) override {
    if (audio) vantor_web_free_sound(n);
  }

  bool PlaySound(int n, bool loop) override { return audio && vantor_web_play_sound(n, loop ? 1 : 0) != 0; }

  void HaltSound(int n) override {
    if (audio) vantor_web_halt_sound(n);
  }

  // The services are closed by now; the page says so and nothing runs again.
  [[noreturn]] void Exit(int) override {
    CloseAudio();
    CloseWindow();
    vantor_web_program_ended();
    for (;;) vantor_web_halt();
  }

 private:
  bool video = false, window = false, audio = false;
  std::vector<uint32_t> frame;  // the presented frame with its alpha bytes
  int frameWidth = 0, frameHeight = 0;
  bool mouseHeld = false;
  int layerX = 0, layerY = 0;
};

}  // namespace

// In the browser build this is the backend the programs run on.
std::unique_ptr<Platform> MakeDefaultPlatform() { return std::make_unique<WebPlatform>(); }

// A page passes no arguments; the node builds pass their own.
std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}
