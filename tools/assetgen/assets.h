// The built-in pictures and sounds of vantor and vantoredit, drawn and
// synthesised from code at build time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A picture being drawn: pixels 0x00BBGGRR (red in the low byte), row 0 at the top.
struct Canvas {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

// A sound: interleaved signed 16-bit samples.
struct SoundClip {
  int rate = 22050;
  int channels = 1;
  std::vector<int16_t> samples;
};

// Slot order of the game's pack: pictures 0..17, then sounds 18..22.
std::vector<Canvas> MakeGamePictures();
std::vector<SoundClip> MakeGameSounds();
// Slot order of the editor's pack: pictures 0..5.
std::vector<Canvas> MakeEditorPictures();

// A picture with coverage: red, green, blue, alpha bytes per pixel, row 0 at the top.
struct RgbaPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
};

// The desktop menu's icons, square, of any size; they are not pack entries.
enum class Icon { GAME, EDITOR };
RgbaPicture MakeIcon(Icon icon, int size);

// File images.
std::vector<uint8_t> EncodeBmp24(const Canvas& canvas);
std::vector<uint8_t> EncodeWav16(const SoundClip& clip);
std::vector<uint8_t> EncodePng(const RgbaPicture& picture);
// A Windows .ico holding each picture as a PNG entry.
std::vector<uint8_t> EncodeIco(const std::vector<RgbaPicture>& pictures);
