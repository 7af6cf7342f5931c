// The Windows backend: one borderless window over the whole monitor showing
// the 800 x 600 picture as large as it fits (StretchDIBits, nearest
// neighbour), keys from the window's key messages as set-1 scan codes, raw
// mouse motion, XInput pads, MessageBoxW and DirectSound, whose secondary
// buffers the system mixes.
#define UNICODE  // the W forms of the Win32 names
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <shellapi.h>
#include <mmsystem.h>
#include <dsound.h>
#include <xinput.h>
// Win32 names that are the seam's method names here.
#undef MessageBox
#undef PlaySound

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "media/command_line.h"
#include "media/internal.h"
#include "media/platform.h"
#include "media/player_folder_win32.h"

namespace {

constexpr wchar_t WINDOW_CLASS[] = L"vantor";
// Waitable timers of this kind wake within a fraction of a millisecond
// (Windows 10 1803 and later); elsewhere the system timer is set to 1 ms.
constexpr DWORD HIGH_RESOLUTION_TIMER = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr int PADS = 4;                              // XInput's user slots
// Empty pad slots are asked again this often (in reads): asking an empty
// slot costs time, and a pad plugged in is seen within a second.
constexpr int EMPTY_PAD_POLL = 60;

std::wstring Wide(const char* utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (length <= 0) return L"";
  std::wstring text(size_t(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text.data(), length);
  text.resize(size_t(length - 1));
  return text;
}

std::string Utf8(const wchar_t* wide) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return "";
  std::string text(size_t(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr, nullptr);
  text.resize(size_t(length - 1));
  return text;
}

// A window program started from a console has no standard output of its
// own: --version and the usage line go to that console.
void ReachParentConsole() {
  if (GetStdHandle(STD_OUTPUT_HANDLE) != nullptr || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
  freopen("CONOUT$", "w", stdout);
  freopen("CONOUT$", "w", stderr);
}

int64_t Counter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

int64_t CounterFrequency() {
  LARGE_INTEGER freq;
  QueryPerformanceFrequency(&freq);
  return freq.QuadPart;
}

// The screen keeps 0x00BBGGRR; a 32-bit DIB is 0x00RRGGBB.
uint32_t DibPixel(uint32_t p) { return (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF); }

bool IsSwitchKey(WPARAM vk) { return vk == VK_MENU || vk == VK_TAB; }

using XInputGetStateFunction = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

struct SoundSlot {
  IDirectSoundBuffer* buffer = nullptr;  // null for an empty sound
  bool loaded = false;
};

class Win32Platform : public Platform {
 public:
  Win32Platform() : frequency(CounterFrequency()), start(Counter()) {}
  ~Win32Platform() override { Shutdown(); }

  // ---- Start-up checks: a Windows session has a desktop, a keyboard and a pointer

  bool InitVideo() override {
    video = GetSystemMetrics(SM_CXSCREEN) > 0;
    return video;
  }
  bool InitDisplayObject() override { return video; }
  bool InitKeyboard() override { return video; }
  bool InitRenderer() override { return video; }
  bool InitMouse() override { return video; }
  void CloseDisplayObject() override {}
  void CloseMouse() override { ReleaseMouse(); }
  void CloseKeyboard() override {}

  // ---- Window ----------------------------------------------------------------

  bool OpenWindow(int width, int height, const char* title) override {
    CloseWindow();
    // The picture is placed in real pixels, not in pixels the system scales.
    SetProcessDPIAware();
    if (!RegisterWindowClass()) return false;
    const RECT monitor = MonitorRect();
    window = CreateWindowExW(WS_EX_APPWINDOW, WINDOW_CLASS, Wide(title).c_str(), WS_POPUP,
                             monitor.left, monitor.top, monitor.right - monitor.left,
                             monitor.bottom - monitor.top, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!window) return false;
    frameWidth = width;
    frameHeight = height;
    shown.assign(size_t(width) * size_t(height), 0);
    dib = BITMAPINFO{};
    dib.bmiHeader.biSize = sizeof dib.bmiHeader;
    dib.bmiHeader.biWidth = width;
    dib.bmiHeader.biHeight = -height;  // top row first
    dib.bmiHeader.biPlanes = 1;
    dib.bmiHeader.biBitCount = 32;
    dib.bmiHeader.biCompression = BI_RGB;
    hideCursor = true;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(window);
    FitPictureToClient();
    Paint();
    OpenPads();
    StartTimer();
    focus = GetFocus() == window;
    clock = FrameClock{frequency};
    Drain();
    return true;
  }

  void CloseWindow() override {
    ReleaseMouse();
    if (window) DestroyWindow(window);
    window = nullptr;
    ClosePads();
    StopTimer();
    focus = false;
    pending = PlatformEvents{};
    std::memset(keys, 0, sizeof keys);
  }

  void PumpEvents(PlatformEvents& events) override {
    Drain();
    events = pending;
    pending = PlatformEvents{};
  }

  void Present(const uint32_t* pixels, int width, int height) override {
    if (!window || width != frameWidth || height != frameHeight) return;
    for (size_t i = 0; i < shown.size(); i++) shown[i] = DibPixel(pixels[i]);
    Paint();
    WaitForNextFrame();
  }

  bool InFront() override { return window && focus; }

  // ---- Input -----------------------------------------------------------------

  bool ReadKeys(uint8_t out[256]) override {
    Drain();
    if (!InFront()) return false;
    std::memcpy(out, keys, sizeof keys);
    return true;
  }

  bool ReadMouse(std::vector<MouseEvent>& events, bool& overflow) override {
    Drain();
    if (!InFront()) return false;
    if (!mouseHeld) HoldMouse();
    TakeMouseEvents(mouseQueue, events, overflow);
    return true;
  }

  // The letter keys' virtual-key codes are the letters; the layout says
  // which key makes them.
  int ScanCodeOfLetter(char letter) override {
    if (letter < 'A' || letter > 'Z') return 0;
    return int(MapVirtualKeyW(UINT(letter), MAPVK_VK_TO_VSC));
  }

  bool ReadPad(PadState& out) override {
    if (!InFront() || !xinputGetState) return false;
    PadState pad;
    bool any = false;
    const bool askEmpty = padReads++ % EMPTY_PAD_POLL == 0;
    for (DWORD i = 0; i < PADS; i++) {
      if (!padConnected[i] && !askEmpty) continue;
      XINPUT_STATE state{};
      padConnected[i] = xinputGetState(i, &state) == ERROR_SUCCESS;
      if (!padConnected[i]) continue;
      PadFromXInput(XInputPad{state.Gamepad.wButtons, state.Gamepad.sThumbLX, state.Gamepad.sThumbLY}, pad);
      any = true;
    }
    if (any) out = pad;
    return any;
  }

  void ReleaseMouse() override {
    if (mouseHeld) {
      RAWINPUTDEVICE mouse{0x01, 0x02, RIDEV_REMOVE, nullptr};  // generic desktop, mouse
      RegisterRawInputDevices(&mouse, 1, sizeof mouse);
      ClipCursor(nullptr);
    }
    mouseHeld = false;
    mouseQueue = MouseQueue{};
  }

  // ---- Time ------------------------------------------------------------------

  uint32_t Ticks() override { return uint32_t((Counter() - start) * 1000 / frequency); }
  void Sleep(int milliseconds) override {
    if (milliseconds > 0) ::Sleep(DWORD(milliseconds));
  }

  // ---- Message box -----------------------------------------------------------

  int MessageBox(const char* title, const char* text, int flags) override {
    const bool yesNo = (flags & 4) != 0;
    // Over the open screen the pointer must be free to reach the box; the
    // next ReadMouse in front takes the mouse again.
    ReleaseMouse();
    ShowPointer(true);
    const UINT style = (yesNo ? MB_YESNO | MB_ICONQUESTION : MB_OK | MB_ICONINFORMATION) | MB_SETFOREGROUND;
    const int pressed = MessageBoxW(window, Wide(text).c_str(), Wide(title).c_str(), style);
    ShowPointer(false);
    if (pressed == 0) {
      // No box could be shown: the message must still be seen.
      std::fprintf(stderr, "%s: %s\n(no message box: error %lu)\n", title, text, GetLastError());
      return yesNo ? 6 : 1;
    }
    return pressed;  // IDOK, IDYES and IDNO are the numbers the programs expect
  }

  // ---- Sound -----------------------------------------------------------------

  // The samples come as 44.1 kHz 16-bit stereo; each sound is a secondary
  // buffer of its own, and the system mixes them.
  bool OpenAudio(AudioOutput& output) override {
    if (!sound) {
      if (FAILED(DirectSoundCreate8(nullptr, &sound, nullptr))) {
        sound = nullptr;
        return false;
      }
      // The sound plays whichever window is in front (as on Linux), so the
      // window it belongs to is only nominal: the program's own may not
      // exist yet.
      if (FAILED(sound->SetCooperativeLevel(GetDesktopWindow(), DSSCL_PRIORITY))) {
        CloseAudio();
        return false;
      }
    }
    output = AudioOutput{};
    return true;
  }

  void CloseAudio() override {
    if (!sound) return;
    for (int n = 0; n < int(sounds.size()); n++) FreeSound(n);
    sounds.clear();
    sound->Release();
    sound = nullptr;
  }

  bool LoadSound(int n, std::vector<uint8_t> samples) override {
    if (!sound || n < 0) return false;
    FreeSound(n);
    if (n >= int(sounds.size())) sounds.resize(size_t(n) + 1);
    SoundSlot& slot = sounds[size_t(n)];
    const WAVEFORMATEX format = OutputFormat();
    const size_t bytes = samples.size() / format.nBlockAlign * format.nBlockAlign;
    if (bytes >= DSBSIZE_MIN) {
      slot.buffer = MakeBuffer(format, samples.data(), bytes);
      if (!slot.buffer) return false;
    }
    slot.loaded = true;
    return true;
  }

  void FreeSound(int n) override {
    if (n < 0 || n >= int(sounds.size()) || !sounds[size_t(n)].loaded) return;
    if (IDirectSoundBuffer* b = sounds[size_t(n)].buffer) {
      b->Stop();
      b->Release();
    }
    sounds[size_t(n)] = SoundSlot{};
  }

  // A number plays at most once at a time: playing it again starts it over.
  bool PlaySound(int n, bool loop) override {
    if (!sound || n < 0 || n >= int(sounds.size()) || !sounds[size_t(n)].loaded) return false;
    IDirectSoundBuffer* b = sounds[size_t(n)].buffer;
    if (!b) return true;  // an empty sound is over at once
    b->Stop();
    b->SetCurrentPosition(0);
    return SUCCEEDED(b->Play(0, 0, loop ? DSBPLAY_LOOPING : 0));
  }

  void HaltSound(int n) override {
    if (!sound) return;
    for (int i = 0; i < int(sounds.size()); i++)
      if ((n == -1 || n == i) && sounds[size_t(i)].buffer) sounds[size_t(i)].buffer->Stop();
  }

  [[noreturn]] void Exit(int code) override {
    Shutdown();
    std::exit(code);
  }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Platform*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->window == hwnd) return self->Handle(message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_CLOSE:  // the close button, Alt+F4, the task bar's "close"
        pending.closeRequests++;
        return 0;
      case WM_QUERYENDSESSION:  // the session ends: one more close request, as on Linux
        pending.closeRequests++;
        return TRUE;
      case WM_SETFOCUS:
        if (!focus) pending.focusGained = true;
        focus = true;
        return 0;
      case WM_KILLFOCUS:
        LoseFocus();
        return 0;
      case WM_SIZE:
        if (wParam == SIZE_MINIMIZED) LoseFocus();
        else FitPictureToClient();
        return 0;
      case WM_DISPLAYCHANGE: {  // a new screen size: cover the monitor again
        const RECT monitor = MonitorRect();
        SetWindowPos(window, nullptr, monitor.left, monitor.top, monitor.right - monitor.left,
                     monitor.bottom - monitor.top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
      }
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
      case WM_KEYUP:
      case WM_SYSKEYUP:
        Key(message == WM_KEYDOWN || message == WM_SYSKEYDOWN, wParam, lParam);
        return 0;  // no menu for Alt or F10
      case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;
        break;
      case WM_INPUT:
        RawInput(reinterpret_cast<HRAWINPUT>(lParam));
        break;  // the system cleans up after WM_INPUT
      case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
          SetCursor(hideCursor ? nullptr : LoadCursorW(nullptr, IDC_ARROW));
          return TRUE;
        }
        break;
      case WM_ERASEBKGND:
        return 1;  // the picture and its bars cover everything
      case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        Paint();
        return 0;
      }
      default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  void Key(bool down, WPARAM vk, LPARAM lParam) {
    uint32_t bits = uint32_t(lParam);
    // A key message without a scan code (sent by a program): the layout's
    // scan code of its virtual key.
    if (ScanCodeFromWin32(bits) == 0 && vk != 0) {
      const UINT scan = MapVirtualKeyW(UINT(vk), MAPVK_VK_TO_VSC_EX);
      bits = (bits & 0xFE00FFFFu) | (scan & 0xFF) << 16 | ((scan & 0xFF00) != 0) << 24;
    }
    const int code = ScanCodeFromWin32(bits);
    if (code) keys[code] = down ? 0x80 : 0;
    const bool altHeld = (lParam >> 29) & 1;
    const bool repeat = (lParam >> 30) & 1;
    if (down && vk == VK_F4 && altHeld && !repeat) pending.closeRequests++;
    if (!down && IsSwitchKey(vk)) pending.switchKeyReleased = true;
  }

  // Relative motion, whatever the pointer's speed settings; a device that
  // reports where it is (a tablet, a remote desktop) moves by the change.
  void RawInput(HRAWINPUT handle) {
    if (!mouseHeld) return;
    RAWINPUT input;
    UINT size = sizeof input;
    if (GetRawInputData(handle, RID_INPUT, &input, &size, sizeof input.header) == UINT(-1)) return;
    if (input.header.dwType != RIM_TYPEMOUSE) return;
    const RAWMOUSE& m = input.data.mouse;
    if (m.usFlags & MOUSE_MOVE_ABSOLUTE) {
      const bool virtualDesk = (m.usFlags & MOUSE_VIRTUAL_DESKTOP) != 0;
      const int x = MulDiv(m.lLastX, GetSystemMetrics(virtualDesk ? SM_CXVIRTUALSCREEN : SM_CXSCREEN), 65535);
      const int y = MulDiv(m.lLastY, GetSystemMetrics(virtualDesk ? SM_CYVIRTUALSCREEN : SM_CYSCREEN), 65535);
      if (absoluteSeen) QueueMouseMotion(mouseQueue, x - absoluteX, y - absoluteY);
      absoluteX = x;
      absoluteY = y;
      absoluteSeen = true;
    } else {
      QueueMouseMotion(mouseQueue, m.lLastX, m.lLastY);
    }
    struct ButtonFlags {
      USHORT down, up;
      int button;
    };
    static constexpr ButtonFlags BUTTONS[] = {
        {RI_MOUSE_LEFT_BUTTON_DOWN, RI_MOUSE_LEFT_BUTTON_UP, 1},
        {RI_MOUSE_RIGHT_BUTTON_DOWN, RI_MOUSE_RIGHT_BUTTON_UP, 2},
        {RI_MOUSE_MIDDLE_BUTTON_DOWN, RI_MOUSE_MIDDLE_BUTTON_UP, 3},
    };
    // A tap reports the press and the release at once: both are queued,
    // in that order, and the press is kept for the next read.
    for (const ButtonFlags& b : BUTTONS) {
      if (m.usButtonFlags & b.down) QueueMouseButton(mouseQueue, b.button, true);
      if (m.usButtonFlags & b.up) QueueMouseButton(mouseQueue, b.button, false);
    }
    if (m.usButtonFlags & RI_MOUSE_WHEEL) QueueMouseWheel(mouseQueue, SHORT(m.usButtonData));  // 120 a notch
  }

  void HoldMouse() {
    // Motion and clicks from before the mouse was taken are not the program's.
    mouseQueue = MouseQueue{};
    absoluteSeen = false;
    RAWINPUTDEVICE mouse{0x01, 0x02, 0, window};  // generic desktop, mouse
    RegisterRawInputDevices(&mouse, 1, sizeof mouse);
    RECT area;
    GetWindowRect(window, &area);
    ClipCursor(&area);
    mouseHeld = true;
  }

  void ShowPointer(bool show) {
    hideCursor = !show;
    if (window) SetCursor(show ? LoadCursorW(nullptr, IDC_ARROW) : nullptr);
  }

  // Every key is up while the program is in the background.
  void LoseFocus() {
    if (focus) pending.focusLost = true;
    focus = false;
    std::memset(keys, 0, sizeof keys);
    ReleaseMouse();
  }

  bool RegisterWindowClass() {
    if (classRegistered) return true;
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = WindowProc;
    c.hInstance = GetModuleHandleW(nullptr);
    c.hIcon = LoadIconW(c.hInstance, MAKEINTRESOURCEW(1));  // the program's icon, where it has one
    c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    c.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    c.lpszClassName = WINDOW_CLASS;
    classRegistered = RegisterClassExW(&c) != 0;
    return classRegistered;
  }

  static RECT MonitorRect() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcMonitor;
  }

  // The picture's place in the window as it is now; read again whenever the
  // window's size changes, whatever was asked for.
  void FitPictureToClient() {
    RECT client;
    if (!window || !GetClientRect(window, &client)) return;
    clientWidth = client.right;
    clientHeight = client.bottom;
    picture = FitPicture(clientWidth, clientHeight, frameWidth, frameHeight);
  }

  // The last frame in its place, and black around it.
  void Paint() {
    if (!window) return;
    HDC dc = GetDC(window);
    const RECT bars[] = {
        {0, 0, clientWidth, picture.y},
        {0, picture.y + picture.height, clientWidth, clientHeight},
        {0, picture.y, picture.x, picture.y + picture.height},
        {picture.x + picture.width, picture.y, clientWidth, picture.y + picture.height},
    };
    for (const RECT& bar : bars)
      if (bar.right > bar.left && bar.bottom > bar.top) FillRect(dc, &bar, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetStretchBltMode(dc, COLORONCOLOR);  // nearest neighbour
    StretchDIBits(dc, picture.x, picture.y, picture.width, picture.height, 0, 0, frameWidth, frameHeight,
                  shown.data(), &dib, DIB_RGB_COLORS, SRCCOPY);
    ReleaseDC(window, dc);
  }

  void Drain() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }

  // ---- Pads ------------------------------------------------------------------

  // xinput1_4 comes with Windows 8 and later, xinput9_1_0 with every
  // Windows since Vista.
  void OpenPads() {
    for (const wchar_t* name : {L"xinput1_4.dll", L"xinput9_1_0.dll"}) {
      xinput = LoadLibraryW(name);
      if (xinput) break;
    }
    if (xinput)
      xinputGetState = reinterpret_cast<XInputGetStateFunction>(
          reinterpret_cast<void*>(GetProcAddress(xinput, "XInputGetState")));
    padReads = 0;
    for (bool& c : padConnected) c = false;
  }

  void ClosePads() {
    if (xinput) FreeLibrary(xinput);
    xinput = nullptr;
    xinputGetState = nullptr;
  }

  // ---- Pacing ----------------------------------------------------------------

  void StartTimer() {
    timer = CreateWaitableTimerExW(nullptr, nullptr, HIGH_RESOLUTION_TIMER, TIMER_ALL_ACCESS);
    if (!timer) {
      timeBeginPeriod(1);
      coarseTimer = true;
    }
  }

  void StopTimer() {
    if (timer) CloseHandle(timer);
    timer = nullptr;
    if (coarseTimer) timeEndPeriod(1);
    coarseTimer = false;
  }

  void WaitForNextFrame() { SleepUntil(clock.NextDeadline(Counter())); }

  // The timer for the bulk, a spin for the last millisecond or so.
  void SleepUntil(int64_t deadline) {
    for (;;) {
      const int64_t now = Counter();
      if (now >= deadline) return;
      const int64_t remainingUs = (deadline - now) * 1000000 / frequency;
      if (remainingUs < 2000) continue;
      if (timer) {
        LARGE_INTEGER due;
        due.QuadPart = -(remainingUs - 1000) * 10;  // relative, in 100 ns
        if (SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) WaitForSingleObject(timer, INFINITE);
      } else {
        ::Sleep(DWORD(remainingUs / 1000 - 1));
      }
    }
  }

  // ---- Sound -----------------------------------------------------------------

  static WAVEFORMATEX OutputFormat() {
    const AudioOutput out;
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = WORD(out.channels);
    f.nSamplesPerSec = DWORD(out.frequency);
    f.wBitsPerSample = 16;
    f.nBlockAlign = WORD(f.nChannels * 2);
    f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
    return f;
  }

  IDirectSoundBuffer* MakeBuffer(WAVEFORMATEX format, const uint8_t* samples, size_t bytes) {
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
    desc.dwBufferBytes = DWORD(bytes);
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(sound->CreateSoundBuffer(&desc, &buffer, nullptr))) return nullptr;
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD size1 = 0, size2 = 0;
    if (FAILED(buffer->Lock(0, DWORD(bytes), &part1, &size1, &part2, &size2, 0))) {
      buffer->Release();
      return nullptr;
    }
    std::memcpy(part1, samples, size1);
    if (part2) std::memcpy(part2, samples + size1, size2);
    buffer->Unlock(part1, size1, part2, size2);
    return buffer;
  }

  void Shutdown() {
    CloseAudio();
    CloseWindow();
  }

  bool video = false;
  bool classRegistered = false;
  HWND window = nullptr;
  int frameWidth = 0, frameHeight = 0;
  int clientWidth = 0, clientHeight = 0;
  PictureRect picture;
  BITMAPINFO dib{};
  std::vector<uint32_t> shown;  // the last frame, as the DIB wants it
  bool hideCursor = true;
  bool focus = false;
  PlatformEvents pending;
  uint8_t keys[256] = {};
  MouseQueue mouseQueue;
  bool mouseHeld = false;
  bool absoluteSeen = false;
  int absoluteX = 0, absoluteY = 0;
  HMODULE xinput = nullptr;
  XInputGetStateFunction xinputGetState = nullptr;
  bool padConnected[PADS] = {};
  unsigned padReads = 0;
  const int64_t frequency;
  const int64_t start;
  HANDLE timer = nullptr;
  bool coarseTimer = false;
  FrameClock clock;
  IDirectSound8* sound = nullptr;
  std::vector<SoundSlot> sounds;
};

}  // namespace

// Only the real programs make this backend, and they play in the player's folder.
std::unique_ptr<Platform> MakeDefaultPlatform() {
  EnterPlayerFolder();
  return std::make_unique<Win32Platform>();
}

// argv holds the names in the system's code page, which cannot spell every
// name Explorer passes; the wide command line can.
std::vector<std::string> ProgramArguments(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int n = 1; wide != nullptr && n < count; n++) args.push_back(Utf8(wide[n]));
  LocalFree(wide);
  if (!args.empty()) ReachParentConsole();
  return args;
}
