// The headless backend: no window and no devices. Input, focus, start-up
// failures and message-box answers are scripted by the tests; presented
// frames, sounds and what was opened and closed are recorded.
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <utility>

#include "media/headless.h"
#include "media/internal.h"
#include "media/platform.h"

namespace headless {
namespace {

// Time is kept in sixtieths of a millisecond so that a frame (1000/60 ms)
// is a whole number and the clock does not drift.
constexpr uint64_t UNITS_PER_MS = 60;
constexpr uint64_t UNITS_PER_FRAME = 1000;

struct Record {
  Failures failures;
  uint8_t keys[256] = {};
  bool inFront = true;
  bool focusChanged = false;  // reported by the next PumpEvents
  int closeRequests = 0;      // reported by the next PumpEvents
  bool padPlugged = false;
  PadState pad;
  MouseQueue mouse;
  std::function<void(int)> onFrame;
  int frames = 0;
  std::vector<uint32_t> lastFrame;
  int frameWidth = 0, frameHeight = 0;
  uint64_t clock = 0;
  std::deque<int> answers;
  std::vector<MessageBoxCall> boxes;
  std::vector<SoundEvent> soundEvents;
  std::map<int, std::vector<uint8_t>> samples;
  std::map<char, int> letterKeys;  // where the layout differs from the US one
  std::vector<std::string> log;
  // What is open, so that closing twice is logged once.
  bool displayObject = false, keyboard = false, mouseDevice = false;
  bool window = false, audio = false;
};

Record record;
int recordGeneration = 0;

void Log(const char* what) { record.log.push_back(what); }

bool Check(bool failed, const char* name) {
  Log(failed ? (std::string(name) + " failed").c_str() : name);
  return !failed;
}

void CloseIfOpen(bool& open, const char* what) {
  if (!open) return;
  open = false;
  Log(what);
}

class HeadlessPlatform : public Platform {
 public:
  bool InitVideo() override { return Check(record.failures.video, "video"); }
  bool InitDisplayObject() override {
    record.displayObject = Check(record.failures.displayObject, "display object");
    return record.displayObject;
  }
  bool InitKeyboard() override {
    record.keyboard = Check(record.failures.keyboard, "keyboard");
    return record.keyboard;
  }
  bool InitRenderer() override { return Check(record.failures.renderer, "renderer"); }
  bool InitMouse() override {
    record.mouseDevice = Check(record.failures.mouse, "mouse");
    return record.mouseDevice;
  }
  void CloseDisplayObject() override { CloseIfOpen(record.displayObject, "close display object"); }
  void CloseMouse() override { CloseIfOpen(record.mouseDevice, "close mouse"); }
  void CloseKeyboard() override { CloseIfOpen(record.keyboard, "close keyboard"); }

  bool OpenWindow(int width, int height, const char*) override {
    if (!Check(record.failures.window, "window")) return false;
    record.window = true;
    record.frameWidth = width;
    record.frameHeight = height;
    record.lastFrame.assign(size_t(width) * size_t(height), 0);
    return true;
  }
  void CloseWindow() override { CloseIfOpen(record.window, "close window"); }

  void PumpEvents(PlatformEvents& events) override {
    events.closeRequests = record.closeRequests;
    record.closeRequests = 0;
    if (!record.focusChanged) return;
    record.focusChanged = false;
    events.focusLost = !record.inFront;
    events.focusGained = record.inFront;
  }

  void Present(const uint32_t* pixels, int width, int height) override {
    record.frameWidth = width;
    record.frameHeight = height;
    record.lastFrame.assign(pixels, pixels + size_t(width) * size_t(height));
    record.frames++;
    // The callback may call headless::Use, which destroys this object and
    // starts a new record; then the old frame's pacing is not applied to it.
    int generation = recordGeneration;
    std::function<void(int)> callback = record.onFrame;
    if (callback) callback(record.frames);
    if (generation == recordGeneration) record.clock += UNITS_PER_FRAME;
  }

  bool InFront() override { return record.inFront; }

  bool ReadKeys(uint8_t keys[256]) override {
    if (!record.inFront) return false;
    std::memcpy(keys, record.keys, 256);
    return true;
  }
  bool ReadMouse(std::vector<MouseEvent>& events, bool& overflow) override {
    if (!record.inFront) return false;
    TakeMouseEvents(record.mouse, events, overflow);
    return true;
  }
  bool ReadPad(PadState& pad) override {
    if (!record.inFront || !record.padPlugged) return false;
    pad = record.pad;
    return true;
  }
  // Motion made while the mouse was released is not seen later.
  void ReleaseMouse() override { record.mouse = MouseQueue{}; }

  // The US layout unless a test changed it: the three letter rows start at
  // Q, A and Z.
  int ScanCodeOfLetter(char letter) override {
    if (auto key = record.letterKeys.find(letter); key != record.letterKeys.end()) return key->second;
    for (auto [row, first] : {std::pair{"QWERTYUIOP", 0x10}, {"ASDFGHJKL", 0x1E}, {"ZXCVBNM", 0x2C}}) {
      if (const char* at = std::strchr(row, letter); at && letter != '\0') return first + int(at - row);
    }
    return 0;
  }

  uint32_t Ticks() override { return uint32_t(record.clock / UNITS_PER_MS); }
  void Sleep(int milliseconds) override {
    if (milliseconds > 0) record.clock += uint64_t(milliseconds) * UNITS_PER_MS;
  }

  int MessageBox(const char* title, const char* text, int flags) override {
    record.boxes.push_back(MessageBoxCall{title, text, flags});
    int first = (flags & 4) ? 6 : 1;
    if (record.answers.empty()) return first;
    int answer = record.answers.front();
    record.answers.pop_front();
    return answer;
  }

  bool OpenAudio(AudioOutput& output) override {
    if (!Check(record.failures.sound, "audio")) return false;
    record.audio = true;
    output = AudioOutput{};
    return true;
  }
  void CloseAudio() override {
    if (!record.audio) return;
    record.samples.clear();
    CloseIfOpen(record.audio, "close audio");
  }
  bool LoadSound(int n, std::vector<uint8_t> samples) override {
    if (!record.audio || n < 0) return false;
    record.samples[n] = std::move(samples);
    return true;
  }
  void FreeSound(int n) override { record.samples.erase(n); }
  bool PlaySound(int n, bool loop) override {
    if (!record.audio || !record.samples.count(n)) return false;
    record.soundEvents.push_back(SoundEvent{record.frames, n, true, loop});
    return true;
  }
  void HaltSound(int n) override {
    if (!record.audio) return;
    record.soundEvents.push_back(SoundEvent{record.frames, n, false, false});
  }

  [[noreturn]] void Exit(int code) override { throw ProgramEnded{code}; }
};

}  // namespace

void Use() {
  InstallPlatform(std::make_unique<HeadlessPlatform>());
  ResetAllMediaState();
  // The modules' resets only forget; what they may have told the new backend
  // is not part of the test.
  record = Record{};
  recordGeneration++;
}

void SetFailures(const Failures& failures) { record.failures = failures; }

void HoldKey(int scanCode, bool held) {
  if (scanCode >= 0 && scanCode < 256) record.keys[scanCode] = held ? 0x80 : 0;
}
void ReleaseAllKeys() { std::memset(record.keys, 0, sizeof record.keys); }
void MoveMouse(int dx, int dy) { QueueMouseMotion(record.mouse, dx, dy); }
void SetMouseButton(int button, bool down) { QueueMouseButton(record.mouse, button, down); }

void SetLetterKey(char letter, int scanCode) { record.letterKeys[letter] = scanCode; }

void SetFocus(bool inFront) {
  if (inFront == record.inFront) return;
  record.inFront = inFront;
  record.focusChanged = true;
}

void SetPad(const PadState& pad) {
  record.padPlugged = true;
  record.pad = pad;
}
void UnplugPad() { record.padPlugged = false; }
void RequestClose() { record.closeRequests++; }

void OnFrame(std::function<void(int frame)> callback) { record.onFrame = std::move(callback); }

int FramesPresented() { return record.frames; }
const std::vector<uint32_t>& LastFrame() { return record.lastFrame; }
int FrameWidth() { return record.frameWidth; }
int FrameHeight() { return record.frameHeight; }

void SetClock(uint32_t milliseconds) { record.clock = uint64_t(milliseconds) * UNITS_PER_MS; }

void QueueAnswer(int button) { record.answers.push_back(button); }
const std::vector<MessageBoxCall>& MessageBoxes() { return record.boxes; }

const std::vector<SoundEvent>& SoundEvents() { return record.soundEvents; }
void ClearSoundEvents() { record.soundEvents.clear(); }
const std::vector<uint8_t>& SoundSamples(int n) {
  static const std::vector<uint8_t> none;
  auto it = record.samples.find(n);
  return it == record.samples.end() ? none : it->second;
}

const std::vector<std::string>& PlatformLog() { return record.log; }

}  // namespace headless
