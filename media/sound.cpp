// Numbered sounds made from RIFF/WAVE images. The image is parsed here, its
// PCM samples are converted to the format of the open output, and the
// backend plays them. The backend keeps the playback state (playing, looping,
// position); this module only knows which numbers hold a sound.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

#include "media/internal.h"
#include "media/media.h"
#include "media/platform.h"

namespace {

struct WaveFormat {
  uint16_t tag = 0;
  uint16_t channels = 0;
  uint32_t rate = 0;
  uint16_t blockAlign = 0;
  uint16_t bits = 0;
};

struct WaveImage {
  WaveFormat format;
  const uint8_t* samples = nullptr;
  size_t sampleBytes = 0;
};

constexpr uint16_t WAVE_FORMAT_PCM = 1;
// Sample rates a recording can sensibly have.
constexpr uint32_t MIN_RATE = 1000;
constexpr uint32_t MAX_RATE = 768000;
// Numbers beyond this are refused, as for pictures and data files: the
// backend gives every number a mixer channel of its own.
constexpr int MAX_SOUND_NUMBER = 65535;

std::set<int> madeSounds;

uint32_t Read32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t Read16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

bool IdIs(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

bool ReadFormatChunk(const uint8_t* p, uint32_t size, WaveFormat& format) {
  if (size < 16) return false;
  format.tag = Read16(p);
  format.channels = Read16(p + 2);
  format.rate = Read32(p + 4);
  format.blockAlign = Read16(p + 12);
  format.bits = Read16(p + 14);
  return true;
}

// Finds the "fmt " chunk (which must come first) and the first "data" chunk.
// Every chunk must lie inside both the RIFF size and the buffer.
bool ParseWave(const uint8_t* image, size_t size, WaveImage& wave) {
  if (size < 12 || !IdIs(image, "RIFF") || !IdIs(image + 8, "WAVE")) return false;
  const uint64_t end = std::min<uint64_t>(8 + uint64_t(Read32(image + 4)), size);
  uint64_t pos = 12;
  bool haveFormat = false;
  while (pos + 8 <= end) {
    const uint8_t* chunk = image + pos;
    const uint32_t chunkSize = Read32(chunk + 4);
    const uint64_t contents = pos + 8;
    if (contents + chunkSize > end) return false;
    if (pos == 12) {
      if (!IdIs(chunk, "fmt ") || !ReadFormatChunk(image + contents, chunkSize, wave.format))
        return false;
      haveFormat = true;
    } else if (IdIs(chunk, "data")) {
      wave.samples = image + contents;
      wave.sampleBytes = chunkSize;
      return haveFormat;
    }
    pos = contents + chunkSize + (chunkSize & 1);
  }
  return false;
}

// The formats the converter is given: 8-bit unsigned or 16-bit signed PCM,
// mono or stereo, with the block alignment that follows from them.
bool FormatIsConvertible(const WaveFormat& f) {
  if (f.tag != WAVE_FORMAT_PCM) return false;
  if (f.channels != 1 && f.channels != 2) return false;
  if (f.bits != 8 && f.bits != 16) return false;
  if (f.rate < MIN_RATE || f.rate > MAX_RATE) return false;
  return f.blockAlign == f.channels * f.bits / 8;
}

// A hostile image (a long data chunk at a low rate) could ask for many
// gigabytes once converted, so the converted size is bounded: 256 MiB hold
// over 25 minutes of 16-bit stereo at 44.1 kHz.
constexpr size_t MAX_CONVERTED_BYTES = size_t(1) << 28;

bool ConvertSamples(const WaveImage& wave, const AudioOutput& out, std::vector<uint8_t>& result) {
  const WaveFormat& f = wave.format;
  const size_t frames = wave.sampleBytes / f.blockAlign;  // whole frames only
  const PcmFormat from{uint16_t(f.bits == 8 ? 0x0008 : 0x8010), f.channels, int(f.rate)};
  const PcmFormat to{out.format, out.channels, out.frequency};
  const size_t outFrameBytes = size_t((out.format & 0xFF) / 8) * size_t(std::max(out.channels, 1));
  const size_t outFrames = ConvertedFrames(frames, from.rate, to.rate);
  if (outFrameBytes == 0 || outFrames == 0 || outFrames > MAX_CONVERTED_BYTES / outFrameBytes) return false;
  return ConvertPcm(wave.samples, frames * f.blockAlign, from, to, result);
}

}  // namespace

int MakeSound(int n, const void* memory, size_t size) {
  const AudioOutput* out = SoundOutput();
  if (!memory || !out || n < 0 || n > MAX_SOUND_NUMBER) return 0;
  // The old sound goes first, so a failed remake leaves the number empty.
  if (madeSounds.erase(n)) CurrentPlatform().FreeSound(n);
  WaveImage wave;
  if (!ParseWave(static_cast<const uint8_t*>(memory), size, wave)) return 0;
  if (!FormatIsConvertible(wave.format)) return 0;
  std::vector<uint8_t> samples;
  if (!ConvertSamples(wave, *out, samples)) return 0;
  if (!CurrentPlatform().LoadSound(n, std::move(samples))) return 0;
  madeSounds.insert(n);
  return 1;
}

int StartSound(int n, int flags) {
  if (!SoundOutput() || !madeSounds.count(n)) return 0;
  return CurrentPlatform().PlaySound(n, (flags & 1) != 0) ? 1 : 0;
}

void HaltSound(int n) {
  if (!SoundOutput()) return;
  if (n == -1 || madeSounds.count(n)) CurrentPlatform().HaltSound(n);
}

void CloseSound() {
  if (!SoundOutput()) return;
  for (int n : madeSounds) CurrentPlatform().FreeSound(n);
  madeSounds.clear();
  CurrentPlatform().CloseAudio();
  CloseSoundOutput();
}

void ResetSoundState() { madeSounds.clear(); }
