// The media layer: the one library through which vantor and vantoredit reach
// the screen, keyboard, mouse, sound and files.
//
// Every object (picture, blend picture, sound, data file) is addressed by a
// small non-negative number the program chooses. Operations return 0 on
// failure and never show a message; an operation given a number with nothing
// behind it does nothing and returns 0.
//
// Colours are 0x00BBGGRR (red in the low byte), as made by PackColor. The
// screen's pixels use the same format, so a colour is a pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

// ---- Start-up checks, message box, shut-down -------------------------------

int InitPictureSupport();   // picture table, hidden window, display system
int InitDisplaySupport();   // the display system's object
int InitKeyboardSupport();  // keyboard device
int InitBlendSupport();     // blend-picture table and stretching renderer
int InitMouseSupport();     // system mouse
int InitSoundSupport();     // default sound output

// Flags 0: one OK button (returns 1). Flags 4: Yes (returns 6) and No (7).
// Texts are UTF-8.
int ShowMessageBox(const char* title, const char* text, int flags);

void CloseDisplaySupport();
void CloseMouse();
void CloseKeyboard();

// Shuts every service down in the fixed order and ends the process with
// exit code 0. Safe after a partial start-up.
[[noreturn]] void ProgramEnd();

// The asset pack reader lives above the media layer; it hands its close
// operation here so that ProgramEnd can run it at its place in the order.
void SetAssetPackCloser(void (*closer)());

// ---- Screen and pictures ---------------------------------------------------

int OpenDisplay(int width, int height, int depth, const char* title);
void FlipScreen();
void FillScreen(uint32_t color);
void CloseDisplay();
// A request to close the program's window (its close button, Alt+F4, the
// session ending; also a message box closed without an answer), noted where
// window messages are handled: in FlipScreen and ShowMessageBox. Returns 1
// and takes the request when one is waiting, else 0; each is reported once.
int TakeCloseRequest();

// Pictures are made from a BMP image in memory of `size` bytes (copied).
int MakePicture(int n, const void* memory, size_t size);
int MakePictureAs(int n, const void* memory, size_t size, int mode);
constexpr int PICTURE_MODE_BLEND_SOURCE = 4;

void SetPictureKey(int n, uint32_t color);  // n = -1: the default key for later pictures
void SetPictureSection(int n, int x, int y, int w, int h);  // all -1: whole picture
void DrawPicture(int n, int x, int y);
void DrawPictureKeyed(int n, int x, int y);
// While suppressed, DrawPicture and DrawPictureKeyed write no pixels (the
// sections and everything else behave as usual): for playing frames that no
// one sees, faster.
void SuppressDrawing(bool suppressed);
int PicturesCollide(int p, int px, int py, int q, int qx, int qy);
// The size of the section that is drawn and tested; 0 when there is no picture n.
int PictureWidth(int n);
int PictureHeight(int n);

int MakeBlendPicture(int b, int n);
void SetBlendPictureSize(int b, int width, int height);
int BeginBlendDrawing();
void DrawBlendPicture(int b, int x, int y, int opacity);
void EndBlendDrawing();
void FreeBlendPictures();

// ---- Keyboard and mouse ----------------------------------------------------

// Set-1 scan codes; keys of the extended block have 0x80 added.
constexpr int KEY_ESCAPE = 0x01;
constexpr int KEY_LEFT_CTRL = 0x1D;
constexpr int KEY_J = 0x24;
constexpr int KEY_N = 0x31;
constexpr int KEY_F1 = 0x3B;
constexpr int KEY_F2 = 0x3C;
constexpr int KEY_F3 = 0x3D;
constexpr int KEY_F4 = 0x3E;
constexpr int KEY_UP = 0xC8;
constexpr int KEY_LEFT = 0xCB;
constexpr int KEY_RIGHT = 0xCD;
constexpr int KEY_DOWN = 0xD0;
constexpr int ANY_KEY = -1;

int ReadKeyboard();
int KeyDown(int scanCode);          // 0x80 when held; scanCode -1: 1 if any key is held
int KeyJustReleased(int scanCode);  // 1 once, in the first test after a seen hold
// The scan code of the key labelled `letter` ('A'..'Z') in the user's
// keyboard layout, for shortcuts named by their letter; 0 when no key types
// it or the keyboard is not open.
int KeyOfLetter(char letter);

// The keyboard's snapshot with its release marks, for tools that play frames
// ahead on a copy of the game and must leave the real keyboard as it was. A
// memory brought back with other keys set reads as a snapshot of those keys.
struct KeyboardMemory {
  uint8_t keys[256];
  bool releaseLatch[256];
  bool acquired;
};
KeyboardMemory SaveKeyboard();
void RestoreKeyboard(const KeyboardMemory& memory);

int ReadMouse();
int MouseButtonDown(int button);  // 1 left, 2 right, 3 middle
int MousePosX();
int MousePosY();

// ---- Sound -----------------------------------------------------------------

// Sounds are made from a RIFF/WAVE image in memory of `size` bytes (copied).
int MakeSound(int n, const void* memory, size_t size);
int StartSound(int n, int flags);  // flags bit 0: loop
void HaltSound(int n);             // n = -1: every sound
void CloseSound();

// ---- Text, drawing and timing ----------------------------------------------

uint32_t PackColor(int red, int green, int blue);

int ScreenCanvas();
int BeginDrawing(int canvas);
void SetDrawingMode(int mode);  // bit 0: no text background; bit 1: invert; bit 2: outlined boxes
void SetDrawingColor(uint32_t color);
int DrawString(int x, int y, const char* text);  // UTF-8 (bytes that are not UTF-8 count as Windows-1252)
void DrawBox(int x, int y, int w, int h, uint32_t color);
void PlotPixel(int x, int y, uint32_t color);
constexpr uint32_t DRAW_COLOR = 0xFFFFFFFFu;  // DrawLine's colour -1: the drawing colour
void DrawLine(int x1, int y1, int x2, int y2, uint32_t color);
void EndDrawing();

void PauseMs(int milliseconds);
uint32_t MillisecondClock();
int RandomUpTo(int max);
// While a source is set, RandomUpTo asks it instead of the generator, whose
// state stays untouched: tools that play ahead draw from a source of their
// own. An empty function goes back to the generator.
void SetRandomSource(std::function<int(int max)> source);
int TruncateToInt(double value);

// ---- Data files ------------------------------------------------------------

int OpenDataFile(int n, const char* fileName);  // "/" and "\" both separate folders
int ReadFileByte(int n);                         // signed byte; 0 at the end
int WriteFileByte(int n, int value);
void CloseDataFile(int n);
void CloseAllFiles();
