// The SDL2 backend: one full-screen window showing the 800 x 600 picture as
// large as it fits, keyboard snapshots as set-1 scan codes, game controllers,
// relative mouse motion, SDL's message box and SDL_mixer for sound.
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "media/command_line.h"
#include "media/internal.h"
#include "media/platform.h"

namespace {

struct SoundSlot {
  std::vector<uint8_t> bytes;  // Mix_QuickLoad_RAW plays from here
  Mix_Chunk* chunk = nullptr;
  bool loaded = false;
};

int MouseButtonNumber(uint8_t sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 1;
    case SDL_BUTTON_RIGHT: return 2;
    case SDL_BUTTON_MIDDLE: return 3;
    default: return 0;
  }
}

// Set by the mixer's thread when it has mixed its first buffer.
std::atomic<bool> mixerRunning{false};
void NoteMixerRunning(void*, Uint8*, int) { mixerRunning = true; }

// The message box that follows the sound check forks on X; a thread that is
// still starting up at that moment (loading libraries, asking the system for
// its priority) can leave locks held in the child for ever. So the check
// returns only once the mixer's thread has run once, or after half a second.
void WaitForMixerThread() {
  mixerRunning = false;
  Mix_SetPostMix(NoteMixerRunning, nullptr);
  for (int waited = 0; waited < 500 && !mixerRunning; waited++) SDL_Delay(1);
  Mix_SetPostMix(nullptr, nullptr);
}

bool IsSwitchKey(SDL_Scancode sc) {
  return sc == SDL_SCANCODE_LALT || sc == SDL_SCANCODE_RALT || sc == SDL_SCANCODE_TAB;
}

// Adds controller c to pad: a button is held when it is held on any
// controller, and the stick is the one pushed furthest.
void JoinPad(SDL_GameController* c, PadState& pad) {
  struct Binding {
    SDL_GameControllerButton sdl;
    PadState::Button button;
  };
  static constexpr Binding BINDINGS[] = {
      {SDL_CONTROLLER_BUTTON_DPAD_UP, PadState::UP},       {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadState::DOWN},
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PadState::LEFT},   {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PadState::RIGHT},
      {SDL_CONTROLLER_BUTTON_A, PadState::A},              {SDL_CONTROLLER_BUTTON_B, PadState::B},
      {SDL_CONTROLLER_BUTTON_X, PadState::X},              {SDL_CONTROLLER_BUTTON_Y, PadState::Y},
      {SDL_CONTROLLER_BUTTON_START, PadState::START},      {SDL_CONTROLLER_BUTTON_BACK, PadState::BACK},
  };
  for (const Binding& b : BINDINGS)
    if (SDL_GameControllerGetButton(c, b.sdl)) pad.held[b.button] = true;
  const int x = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX);
  const int y = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY);
  if (std::abs(x) > std::abs(pad.stickX)) pad.stickX = x;
  if (std::abs(y) > std::abs(pad.stickY)) pad.stickY = y;
}

// For tests on a real display: with VANTOR_TEST_PAD naming a file, a virtual
// controller is plugged in while that file exists (so a test can pull it
// out and plug it in again), and before each read of the pads it holds what
// the file says: SDL's names of buttons ("a", "start", "dpleft", ...) and
// axes with a value ("leftx=-32768"), separated by blanks. Without the
// variable nothing of this exists.
class TestPad {
 public:
  void Start() {
    const char* file = SDL_getenv("VANTOR_TEST_PAD");
    path = file ? file : "";
  }

  void Stop() {
    Unplug();
    path.clear();
  }

  // Takes effect at SDL's next event pump.
  void FollowFile() {
    if (path.empty()) return;
    std::ifstream in(path);
    if (!in) {
      Unplug();
      return;
    }
    if (!joystick) Plug();
    if (!joystick) return;
    bool buttons[SDL_CONTROLLER_BUTTON_MAX] = {};
    int axes[SDL_CONTROLLER_AXIS_MAX] = {};
    std::string word;
    while (in >> word) {
      const size_t equals = word.find('=');
      if (equals == std::string::npos) {
        const SDL_GameControllerButton b = SDL_GameControllerGetButtonFromString(word.c_str());
        if (b != SDL_CONTROLLER_BUTTON_INVALID) buttons[b] = true;
      } else {
        const SDL_GameControllerAxis a = SDL_GameControllerGetAxisFromString(word.substr(0, equals).c_str());
        if (a != SDL_CONTROLLER_AXIS_INVALID) axes[a] = std::clamp(std::atoi(word.c_str() + equals + 1), -32768, 32767);
      }
    }
    for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; b++) SDL_JoystickSetVirtualButton(joystick, b, buttons[b]);
    for (int a = 0; a < SDL_CONTROLLER_AXIS_MAX; a++) SDL_JoystickSetVirtualAxis(joystick, a, Sint16(axes[a]));
  }

 private:
  void Plug() {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "vantor test pad";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index >= 0) joystick = SDL_JoystickOpen(index);
  }

  // Device numbers shift as devices come and go; the instance stays.
  void Unplug() {
    if (!joystick) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
    SDL_JoystickClose(joystick);
    joystick = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); i++)
      if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
  }

  std::string path;
  SDL_Joystick* joystick = nullptr;
};

class SdlPlatform : public Platform {
 public:
  // Ctrl+C keeps ending the process. Closing the window is a close request
  // of its own and must not bring a second one, SDL's quit event.
  SdlPlatform() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  }
  ~SdlPlatform() override { Shutdown(); }

  // ---- Start-up checks -------------------------------------------------------

  bool InitVideo() override {
    if (video) return true;
    video = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (video && !HasRealDisplay()) {
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
      video = false;
    }
    return video;
  }

  // Without a display SDL falls back to a driver that draws nowhere; the
  // game would then run unseen and could never be ended. Such a driver only
  // counts when it was asked for by name (as the tests do).
  static bool HasRealDisplay() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) return false;
    bool invisible = SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0;
    return !invisible || SDL_getenv("SDL_VIDEODRIVER") != nullptr;
  }

  bool InitDisplayObject() override {
    if (!video) return false;
    SDL_DisplayMode mode;
    displayObject = SDL_GetNumVideoDisplays() > 0 && SDL_GetDesktopDisplayMode(0, &mode) == 0;
    return displayObject;
  }

  bool InitKeyboard() override {
    keyboard = video && SDL_GetKeyboardState(nullptr) != nullptr;
    return keyboard;
  }

  bool InitRenderer() override { return video && SDL_GetNumRenderDrivers() > 0; }

  // SDL cannot tell whether a mouse is plugged in; a system with a display
  // always has a pointer to follow.
  bool InitMouse() override {
    mouse = video;
    return mouse;
  }

  void CloseDisplayObject() override { displayObject = false; }
  void CloseMouse() override {
    ReleaseMouse();
    mouse = false;
  }
  void CloseKeyboard() override { keyboard = false; }

  // ---- Window ----------------------------------------------------------------

  bool OpenWindow(int width, int height, const char* title) override {
    CloseWindow();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    windowVideo = true;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                              SDL_WINDOW_HIDDEN);
    if (window) {
      if (FullScreenCanBeGranted(window)) SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
      SDL_ShowWindow(window);
    }
    frameWidth = width;
    frameHeight = height;
    if (!window || !CreateRenderer(width, height)) {
      CloseWindow();
      return false;
    }
    FitPictureToOutput();
    OpenPads();
    SDL_ShowCursor(SDL_DISABLE);
    SDL_RaiseWindow(window);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
    focus = (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0;
    clock = FrameClock{int64_t(SDL_GetPerformanceFrequency())};
    lastPresent = SDL_GetPerformanceCounter();
    return true;
  }

  void CloseWindow() override {
    ReleaseMouse();
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) {
      SDL_DestroyWindow(window);
      SDL_ShowCursor(SDL_ENABLE);
    }
    texture = nullptr;
    renderer = nullptr;
    window = nullptr;
    ClosePads();
    focus = false;
    pending = PlatformEvents{};
    mouseQueue = MouseQueue{};
    if (windowVideo) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    windowVideo = false;
  }

  void PumpEvents(PlatformEvents& events) override {
    Drain();
    events = pending;
    pending = PlatformEvents{};
  }

  void Present(const uint32_t* pixels, int width, int height) override {
    if (!window || width != frameWidth || height != frameHeight) return;
    SDL_UpdateTexture(texture, nullptr, pixels, width * 4);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, &picture);
    SDL_RenderPresent(renderer);
    PaceFrame();
  }

  bool InFront() override { return window && focus; }

  // ---- Input -----------------------------------------------------------------

  bool ReadKeys(uint8_t keys[256]) override {
    Drain();
    if (!InFront()) return false;
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    std::memset(keys, 0, 256);
    for (int sc = 0; sc < count; sc++) {
      int code = state[sc] ? ScanCodeFromSdl(sc) : 0;
      if (code) keys[code] = 0x80;
    }
    return true;
  }

  bool ReadMouse(std::vector<MouseEvent>& events, bool& overflow) override {
    Drain();
    if (!InFront()) return false;
    if (!mouseHeld) {
      // Motion seen before the mouse was taken is not the program's.
      mouseQueue = MouseQueue{};
      SDL_SetRelativeMouseMode(SDL_TRUE);
      mouseHeld = true;
    }
    TakeMouseEvents(mouseQueue, events, overflow);
    return true;
  }

  // SDL's key map follows the layout the system reports, also when it changes.
  int ScanCodeOfLetter(char letter) override {
    if (!video || letter < 'A' || letter > 'Z') return 0;
    return ScanCodeFromSdl(SDL_GetScancodeFromKey(SDL_Keycode(SDLK_a + (letter - 'A'))));
  }

  bool ReadPad(PadState& pad) override {
    testPad.FollowFile();
    Drain();
    if (!InFront() || controllers.empty()) return false;
    pad = PadState{};
    for (SDL_GameController* c : controllers) JoinPad(c, pad);
    return true;
  }

  void ReleaseMouse() override {
    if (mouseHeld) SDL_SetRelativeMouseMode(SDL_FALSE);
    mouseHeld = false;
    mouseQueue = MouseQueue{};
  }

  // ---- Time ------------------------------------------------------------------

  uint32_t Ticks() override { return SDL_GetTicks(); }
  void Sleep(int milliseconds) override {
    if (milliseconds > 0) SDL_Delay(Uint32(milliseconds));
  }

  // ---- Message box -----------------------------------------------------------

  int MessageBox(const char* title, const char* text, int flags) override {
    const bool yesNo = (flags & 4) != 0;
    SDL_MessageBoxButtonData yesNoButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 6, "Ja"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 7, "Nein"},
    };
    SDL_MessageBoxButtonData okButton[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 1, "OK"},
    };
    SDL_MessageBoxData box{};
    box.flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.window = window;
    box.title = title;
    box.message = text;
    box.numbuttons = yesNo ? 2 : 1;
    box.buttons = yesNo ? yesNoButtons : okButton;
    const int first = yesNo ? 6 : 1;
    const int last = yesNo ? 7 : 1;

    // Over the open screen the pointer must be free to reach the box; the
    // next ReadMouse in front takes the mouse again.
    ReleaseMouse();
    if (window) SDL_ShowCursor(SDL_ENABLE);
    int pressed = -1;
    const bool shown = SDL_ShowMessageBox(&box, &pressed) == 0;
    if (window) SDL_ShowCursor(SDL_DISABLE);

    if (!shown) {
      // No box can be shown (no display, no font for X's box): the message
      // must still be seen, and why there was no box.
      std::fprintf(stderr, "%s: %s\n(no message box: %s)\n", title, text, SDL_GetError());
      return first;
    }
    return pressed < 0 ? last : pressed;  // closing the box counts as Escape
  }

  // ---- Sound -----------------------------------------------------------------

  bool OpenAudio(AudioOutput& output) override {
    if (!audio) {
      if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
      if (Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
      }
      WaitForMixerThread();
      audio = true;
    }
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    output.frequency = frequency;
    output.format = format;
    output.channels = channels;
    return true;
  }

  void CloseAudio() override {
    if (!audio) return;
    Mix_HaltChannel(-1);
    for (int n = 0; n < int(sounds.size()); n++) FreeSound(n);
    sounds.clear();
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio = false;
  }

  bool LoadSound(int n, std::vector<uint8_t> samples) override {
    if (!audio || n < 0) return false;
    FreeSound(n);
    if (n >= int(sounds.size())) sounds.resize(size_t(n) + 1);
    // Each sound number has its own mixer channel: a number plays at most
    // once at a time, and different numbers mix.
    if (Mix_AllocateChannels(-1) < n + 1) Mix_AllocateChannels(n + 1);
    SoundSlot& slot = sounds[size_t(n)];
    slot.bytes = std::move(samples);
    if (!slot.bytes.empty()) {
      slot.chunk = Mix_QuickLoad_RAW(slot.bytes.data(), Uint32(slot.bytes.size()));
      if (!slot.chunk) {
        slot = SoundSlot{};
        return false;
      }
    }
    slot.loaded = true;
    return true;
  }

  void FreeSound(int n) override {
    if (n < 0 || n >= int(sounds.size()) || !sounds[size_t(n)].loaded) return;
    Mix_HaltChannel(n);
    if (sounds[size_t(n)].chunk) Mix_FreeChunk(sounds[size_t(n)].chunk);
    sounds[size_t(n)] = SoundSlot{};
  }

  bool PlaySound(int n, bool loop) override {
    if (!audio || n < 0 || n >= int(sounds.size()) || !sounds[size_t(n)].loaded) return false;
    Mix_HaltChannel(n);
    if (!sounds[size_t(n)].chunk) return true;  // an empty sound is over at once
    return Mix_PlayChannel(n, sounds[size_t(n)].chunk, loop ? -1 : 0) == n;
  }

  void HaltSound(int n) override {
    if (!audio) return;
    if (n == -1) Mix_HaltChannel(-1);
    else if (n >= 0 && n < int(sounds.size())) Mix_HaltChannel(n);
  }

  [[noreturn]] void Exit(int code) override {
    Shutdown();
    std::exit(code);
  }

 private:
  bool CreateRenderer(int width, int height) {
    SDL_DisplayMode mode{};
    int display = SDL_GetWindowDisplayIndex(window);
    bool sixtyHertz = SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0 &&
                      mode.refresh_rate >= 59 && mode.refresh_rate <= 61;
    Uint32 vsync = sixtyHertz ? SDL_RENDERER_PRESENTVSYNC : 0;
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | vsync);
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, vsync);
    if (!renderer) return false;
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer, &info);
    vsyncPacing = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    earlyPresents = 0;

    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);

    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_XBGR8888, SDL_TEXTUREACCESS_STREAMING,
                                width, height);
    return texture != nullptr;
  }

  // The picture's place in the window as it is now; read again whenever the
  // window's size changes, whatever was asked for.
  void FitPictureToOutput() {
    int outW = 0, outH = 0;
    if (SDL_GetRendererOutputSize(renderer, &outW, &outH) != 0) return;
    const PictureRect r = FitPicture(outW, outH, frameWidth, frameHeight);
    picture = SDL_Rect{r.x, r.y, r.width, r.height};
  }

  // Controllers plugged in now arrive as device events like those plugged
  // in later.
  void OpenPads() {
    pads = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (pads) testPad.Start();
  }

  void ClosePads() {
    for (SDL_GameController* c : controllers) SDL_GameControllerClose(c);
    controllers.clear();
    testPad.Stop();
    if (pads) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    pads = false;
  }

  void PlugPad(int deviceIndex) {
    SDL_GameController* c = SDL_GameControllerOpen(deviceIndex);
    if (!c) return;
    if (std::find(controllers.begin(), controllers.end(), c) == controllers.end()) controllers.push_back(c);
    else SDL_GameControllerClose(c);  // already open: drop the second reference
  }

  void UnplugPad(SDL_JoystickID id) {
    for (auto it = controllers.begin(); it != controllers.end(); ++it) {
      if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(*it)) != id) continue;
      SDL_GameControllerClose(*it);
      controllers.erase(it);
      return;
    }
  }

  // With vsync on a 60 Hz display the present itself waits. A present that
  // comes back well within a frame of the previous one means vsync is not
  // honoured (a driver without it, a hidden window): that frame is held to
  // its time by the timer, and after three in a row the timer takes over.
  void PaceFrame() {
    const Uint64 period = SDL_GetPerformanceFrequency() / FRAMES_PER_SECOND;
    if (vsyncPacing) {
      const Uint64 now = SDL_GetPerformanceCounter();
      if (now - lastPresent >= period * 3 / 4) {
        earlyPresents = 0;
        lastPresent = now;
        return;
      }
      if (++earlyPresents < 3) {
        SleepUntil(lastPresent + period);
        lastPresent = SDL_GetPerformanceCounter();
        return;
      }
      vsyncPacing = false;
      SDL_RenderSetVSync(renderer, 0);
      clock.index = 0;
    }
    WaitForNextFrame();
    lastPresent = SDL_GetPerformanceCounter();
  }

  void WaitForNextFrame() { SleepUntil(Uint64(clock.NextDeadline(int64_t(SDL_GetPerformanceCounter())))); }

  // SDL_Delay for the bulk, a spin for the last millisecond or so.
  static void SleepUntil(Uint64 deadline) {
    const Uint64 freq = SDL_GetPerformanceFrequency();
    for (;;) {
      const Uint64 now = SDL_GetPerformanceCounter();
      if (now >= deadline) return;
      const Uint64 remainingMs = (deadline - now) * 1000 / freq;
      if (remainingMs >= 2) SDL_Delay(Uint32(remainingMs - 1));
    }
  }

  void Drain() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) Handle(e);
  }

  void Handle(const SDL_Event& e) {
    switch (e.type) {
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST || e.window.event == SDL_WINDOWEVENT_MINIMIZED) {
          if (focus) pending.focusLost = true;
          focus = false;
          ReleaseMouse();
        } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
          if (!focus) pending.focusGained = true;
          focus = true;
        } else if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
          FitPictureToOutput();
        } else if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
          pending.closeRequests++;
        }
        break;
      case SDL_QUIT:  // the session ends; a closed window does not send it here
        pending.closeRequests++;
        break;
      case SDL_CONTROLLERDEVICEADDED:
        PlugPad(e.cdevice.which);
        break;
      case SDL_CONTROLLERDEVICEREMOVED:
        UnplugPad(e.cdevice.which);
        break;
      case SDL_KEYUP:
        if (IsSwitchKey(e.key.keysym.scancode)) pending.switchKeyReleased = true;
        break;
      case SDL_MOUSEMOTION:
        if (mouseHeld) QueueMouseMotion(mouseQueue, e.motion.xrel, e.motion.yrel);
        break;
      case SDL_MOUSEWHEEL:
        if (mouseHeld) {
          int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
          QueueMouseWheel(mouseQueue, notches * 120);  // 120 counts per notch, as wheel mice report
        }
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (mouseHeld && MouseButtonNumber(e.button.button))
          QueueMouseButton(mouseQueue, MouseButtonNumber(e.button.button), e.type == SDL_MOUSEBUTTONDOWN);
        break;
      default:
        break;
    }
  }

  void Shutdown() {
    if (!video && !window && !audio) return;
    CloseAudio();
    CloseWindow();
    SDL_Quit();
    video = displayObject = keyboard = mouse = false;
  }

  bool video = false, displayObject = false, keyboard = false, mouse = false, audio = false;
  bool windowVideo = false;
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  int frameWidth = 0, frameHeight = 0;
  SDL_Rect picture{};  // where the frame is shown in the window
  bool pads = false;
  std::vector<SDL_GameController*> controllers;
  TestPad testPad;
  bool focus = false;
  PlatformEvents pending;
  MouseQueue mouseQueue;
  bool mouseHeld = false;
  bool vsyncPacing = false;
  int earlyPresents = 0;
  Uint64 lastPresent = 0;
  FrameClock clock;
  std::vector<SoundSlot> sounds;
};

}  // namespace

std::unique_ptr<Platform> MakeDefaultPlatform() { return std::make_unique<SdlPlatform>(); }

// File names on Linux are bytes, which the desktop gives as UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

void UseSdlPlatform() {
  InstallPlatform(std::make_unique<SdlPlatform>());
  ResetAllMediaState();
}

// ---- SDL scancodes to set-1 scan codes --------------------------------------

namespace {

struct KeyCode {
  SDL_Scancode sdl;
  uint8_t code;
};

// The keys of a PC keyboard (105 keys and the ISO/Windows extras). Keys of
// the extended block (E0-prefixed in set 1) carry 0x80.
constexpr KeyCode KEY_TABLE[] = {
    {SDL_SCANCODE_ESCAPE, 0x01},
    {SDL_SCANCODE_1, 0x02}, {SDL_SCANCODE_2, 0x03}, {SDL_SCANCODE_3, 0x04}, {SDL_SCANCODE_4, 0x05},
    {SDL_SCANCODE_5, 0x06}, {SDL_SCANCODE_6, 0x07}, {SDL_SCANCODE_7, 0x08}, {SDL_SCANCODE_8, 0x09},
    {SDL_SCANCODE_9, 0x0A}, {SDL_SCANCODE_0, 0x0B},
    {SDL_SCANCODE_MINUS, 0x0C}, {SDL_SCANCODE_EQUALS, 0x0D}, {SDL_SCANCODE_BACKSPACE, 0x0E},
    {SDL_SCANCODE_TAB, 0x0F},
    {SDL_SCANCODE_Q, 0x10}, {SDL_SCANCODE_W, 0x11}, {SDL_SCANCODE_E, 0x12}, {SDL_SCANCODE_R, 0x13},
    {SDL_SCANCODE_T, 0x14}, {SDL_SCANCODE_Y, 0x15}, {SDL_SCANCODE_U, 0x16}, {SDL_SCANCODE_I, 0x17},
    {SDL_SCANCODE_O, 0x18}, {SDL_SCANCODE_P, 0x19},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A}, {SDL_SCANCODE_RIGHTBRACKET, 0x1B}, {SDL_SCANCODE_RETURN, 0x1C},
    {SDL_SCANCODE_LCTRL, 0x1D},
    {SDL_SCANCODE_A, 0x1E}, {SDL_SCANCODE_S, 0x1F}, {SDL_SCANCODE_D, 0x20}, {SDL_SCANCODE_F, 0x21},
    {SDL_SCANCODE_G, 0x22}, {SDL_SCANCODE_H, 0x23}, {SDL_SCANCODE_J, 0x24}, {SDL_SCANCODE_K, 0x25},
    {SDL_SCANCODE_L, 0x26},
    {SDL_SCANCODE_SEMICOLON, 0x27}, {SDL_SCANCODE_APOSTROPHE, 0x28}, {SDL_SCANCODE_GRAVE, 0x29},
    {SDL_SCANCODE_LSHIFT, 0x2A}, {SDL_SCANCODE_BACKSLASH, 0x2B},
    // The ISO key left of Enter sits where the US backslash is and sends its code.
    {SDL_SCANCODE_NONUSHASH, 0x2B},
    {SDL_SCANCODE_Z, 0x2C}, {SDL_SCANCODE_X, 0x2D}, {SDL_SCANCODE_C, 0x2E}, {SDL_SCANCODE_V, 0x2F},
    {SDL_SCANCODE_B, 0x30}, {SDL_SCANCODE_N, 0x31}, {SDL_SCANCODE_M, 0x32},
    {SDL_SCANCODE_COMMA, 0x33}, {SDL_SCANCODE_PERIOD, 0x34}, {SDL_SCANCODE_SLASH, 0x35},
    {SDL_SCANCODE_RSHIFT, 0x36}, {SDL_SCANCODE_KP_MULTIPLY, 0x37}, {SDL_SCANCODE_LALT, 0x38},
    {SDL_SCANCODE_SPACE, 0x39}, {SDL_SCANCODE_CAPSLOCK, 0x3A},
    {SDL_SCANCODE_F1, 0x3B}, {SDL_SCANCODE_F2, 0x3C}, {SDL_SCANCODE_F3, 0x3D}, {SDL_SCANCODE_F4, 0x3E},
    {SDL_SCANCODE_F5, 0x3F}, {SDL_SCANCODE_F6, 0x40}, {SDL_SCANCODE_F7, 0x41}, {SDL_SCANCODE_F8, 0x42},
    {SDL_SCANCODE_F9, 0x43}, {SDL_SCANCODE_F10, 0x44},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45}, {SDL_SCANCODE_SCROLLLOCK, 0x46},
    {SDL_SCANCODE_KP_7, 0x47}, {SDL_SCANCODE_KP_8, 0x48}, {SDL_SCANCODE_KP_9, 0x49},
    {SDL_SCANCODE_KP_MINUS, 0x4A},
    {SDL_SCANCODE_KP_4, 0x4B}, {SDL_SCANCODE_KP_5, 0x4C}, {SDL_SCANCODE_KP_6, 0x4D},
    {SDL_SCANCODE_KP_PLUS, 0x4E},
    {SDL_SCANCODE_KP_1, 0x4F}, {SDL_SCANCODE_KP_2, 0x50}, {SDL_SCANCODE_KP_3, 0x51},
    {SDL_SCANCODE_KP_0, 0x52}, {SDL_SCANCODE_KP_PERIOD, 0x53},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x56},
    {SDL_SCANCODE_F11, 0x57}, {SDL_SCANCODE_F12, 0x58},
    // Extended block.
    {SDL_SCANCODE_KP_ENTER, 0x9C}, {SDL_SCANCODE_RCTRL, 0x9D},
    {SDL_SCANCODE_KP_DIVIDE, 0xB5}, {SDL_SCANCODE_PRINTSCREEN, 0xB7}, {SDL_SCANCODE_RALT, 0xB8},
    {SDL_SCANCODE_PAUSE, 0xC5},
    {SDL_SCANCODE_HOME, 0xC7}, {SDL_SCANCODE_UP, 0xC8}, {SDL_SCANCODE_PAGEUP, 0xC9},
    {SDL_SCANCODE_LEFT, 0xCB}, {SDL_SCANCODE_RIGHT, 0xCD},
    {SDL_SCANCODE_END, 0xCF}, {SDL_SCANCODE_DOWN, 0xD0}, {SDL_SCANCODE_PAGEDOWN, 0xD1},
    {SDL_SCANCODE_INSERT, 0xD2}, {SDL_SCANCODE_DELETE, 0xD3},
    {SDL_SCANCODE_LGUI, 0xDB}, {SDL_SCANCODE_RGUI, 0xDC}, {SDL_SCANCODE_APPLICATION, 0xDD},
};

}  // namespace

int ScanCodeFromSdl(int sdlScancode) {
  static const std::vector<uint8_t> bySdl = [] {
    std::vector<uint8_t> table(SDL_NUM_SCANCODES, 0);
    for (const KeyCode& k : KEY_TABLE) table[size_t(k.sdl)] = k.code;
    return table;
  }();
  if (sdlScancode < 0 || sdlScancode >= int(bySdl.size())) return 0;
  return bySdl[size_t(sdlScancode)];
}
