#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "media/headless.h"
#include "media/internal.h"
#include "media/media.h"
#include "media/platform.h"
#include "support/test_support.h"

namespace {

using testsupport::Bytes;
using testsupport::Put16;
using testsupport::Put32;
using testsupport::PutId;
constexpr double PI = 3.14159265358979323846;

struct Chunk {
  const char* id;
  Bytes body;
};

// A RIFF image of the chunks, each with its pad byte after an odd size.
Bytes Riff(const std::vector<Chunk>& chunks) {
  Bytes b;
  PutId(b, "RIFF");
  Put32(b, 0);
  PutId(b, "WAVE");
  for (const Chunk& c : chunks) {
    PutId(b, c.id);
    Put32(b, uint32_t(c.body.size()));
    b.insert(b.end(), c.body.begin(), c.body.end());
    if (c.body.size() % 2) b.push_back(0);
  }
  testsupport::Set32(b, 4, uint32_t(b.size() - 8));
  return b;
}

Bytes Format(int channels, uint32_t rate, int bits, int tag = 1) {
  Bytes f;
  const int blockAlign = channels * bits / 8;
  Put16(f, uint16_t(tag));
  Put16(f, uint16_t(channels));
  Put32(f, rate);
  Put32(f, rate * uint32_t(blockAlign));
  Put16(f, uint16_t(blockAlign));
  Put16(f, uint16_t(bits));
  return f;
}

// A sine tone of `frames` frames at half of full scale.
Bytes Tone(int channels, uint32_t rate, int bits, int frames) {
  Bytes d;
  for (int i = 0; i < frames; i++) {
    const double s = 0.5 * std::sin(2 * PI * 440.0 * i / rate);
    for (int c = 0; c < channels; c++) {
      if (bits == 8) d.push_back(uint8_t(128 + int(s * 127)));
      else Put16(d, uint16_t(int16_t(s * 32767)));
    }
  }
  return d;
}

Bytes Wave(int channels, uint32_t rate, int bits, int frames) {
  return Riff({{"fmt ", Format(channels, rate, bits)}, {"data", Tone(channels, rate, bits, frames)}});
}

int Make(int n, const Bytes& image) { return MakeSound(n, image.data(), image.size()); }

int OutputFrameBytes() {
  const AudioOutput* out = SoundOutput();
  return out->channels * int(SDL_AUDIO_BITSIZE(out->format) / 8);
}

class Sound : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Use();
    ASSERT_EQ(InitSoundSupport(), 1);
  }
};

}  // namespace

TEST_F(Sound, PcmFormatsAreConvertedToTheOutput) {
  const AudioOutput out = *SoundOutput();
  int n = 0;
  for (int bits : {8, 16})
    for (int channels : {1, 2})
      for (uint32_t rate : {8000u, 11025u, 22050u, 44100u, 48000u}) {
        SCOPED_TRACE(testing::Message() << bits << " bit, " << channels << " channels, " << rate);
        const int frames = int(rate / 4);  // a quarter of a second
        ASSERT_EQ(Make(n, Wave(channels, rate, bits, frames)), 1);
        const Bytes& samples = headless::SoundSamples(n);
        ASSERT_EQ(samples.size() % size_t(OutputFrameBytes()), 0u);
        const double seconds = double(samples.size() / size_t(OutputFrameBytes())) / out.frequency;
        EXPECT_NEAR(seconds, 0.25, 0.002);
        n++;
      }
}

TEST_F(Sound, SampleValuesKeepTheirLevel) {
  ASSERT_EQ(SoundOutput()->format, AUDIO_S16LSB);
  ASSERT_EQ(SoundOutput()->channels, 2);
  const uint32_t rate = uint32_t(SoundOutput()->frequency);
  auto sample = [](int n, size_t i) {
    const Bytes& s = headless::SoundSamples(n);
    return int16_t(s[2 * i] | s[2 * i + 1] << 8);
  };
  // 8-bit mono, a constant level of +64/128: both output channels at +1/2.
  ASSERT_EQ(Make(1, Riff({{"fmt ", Format(1, rate, 8)}, {"data", Bytes(1000, 192)}})), 1);
  ASSERT_EQ(headless::SoundSamples(1).size(), 4000u);
  EXPECT_NEAR(sample(1, 500), 16384, 1);
  EXPECT_NEAR(sample(1, 501), 16384, 1);
  // 16-bit stereo at the output's rate and format comes through unchanged.
  Bytes data;
  for (int i = 0; i < 100; i++) {
    Put16(data, uint16_t(int16_t(1000 + i)));
    Put16(data, uint16_t(int16_t(-1000 - i)));
  }
  ASSERT_EQ(Make(2, Riff({{"fmt ", Format(2, rate, 16)}, {"data", data}})), 1);
  EXPECT_EQ(headless::SoundSamples(2), data);
}

// The converter on its own: sample formats, channel mapping and linear
// resampling, one row per conversion.
TEST(PcmConversion, FormatsChannelsAndRates) {
  constexpr uint16_t U8 = 0x0008, S16 = 0x8010, S16_BIG = 0x9010, F32 = 0x8120, S32 = 0x8020;
  auto pack = [](uint16_t format, const std::vector<double>& values) {
    Bytes b;
    for (double v : values) {
      if (format == U8) b.push_back(uint8_t(v));
      else if (format == S16) Put16(b, uint16_t(int16_t(v)));
      else if (format == S16_BIG) b.insert(b.end(), {uint8_t(uint16_t(int16_t(v)) >> 8), uint8_t(int16_t(v))});
      else if (format == S32) Put32(b, uint32_t(int32_t(v)));
      else {
        const float f = float(v);
        uint32_t raw;
        std::memcpy(&raw, &f, 4);
        Put32(b, raw);
      }
    }
    return b;
  };
  const struct {
    const char* what;
    PcmFormat from, to;
    std::vector<double> in, out;
  } cases[] = {
      {"8-bit mono to 16-bit stereo", {U8, 1, 22050}, {S16, 2, 22050},
       {0, 128, 192, 255}, {-32768, -32768, 0, 0, 16384, 16384, 32512, 32512}},
      {"stereo to mono is the mean", {S16, 2, 44100}, {S16, 1, 44100}, {1000, -1000, 2000, 1000}, {0, 1500}},
      {"stereo keeps its sides in four channels", {S16, 2, 44100}, {S16, 4, 44100}, {1, 2}, {1, 2, 0, 0}},
      {"doubling the rate interpolates", {S16, 1, 22050}, {S16, 1, 44100}, {0, 1000, -1000}, {0, 500, 1000, 0, -1000, -1000}},
      {"halving the rate", {S16, 1, 44100}, {S16, 1, 22050}, {0, 100, 200, 300}, {0, 200}},
      {"three to four frames", {S16, 1, 3000}, {S16, 1, 4000}, {0, 300, 600}, {0, 225, 450, 600}},
      {"16 bits big-endian", {S16, 1, 8000}, {S16_BIG, 1, 8000}, {-2, 258}, {-2, 258}},
      {"16 to 32 bits", {S16, 1, 8000}, {S32, 1, 8000}, {-16384, 1}, {-1073741824, 65536}},
      {"16 bits to float", {S16, 1, 8000}, {F32, 1, 8000}, {16384, -32768}, {0.5, -1.0}},
      {"float clipped to 16 bits", {F32, 1, 8000}, {S16, 1, 8000}, {2.0, -0.25}, {32767, -8192}},
      {"16 bits to 8", {S16, 1, 8000}, {U8, 1, 8000}, {-32768, 16384, 32767}, {0, 192, 255}},
  };
  for (const auto& c : cases) {
    Bytes out;
    const Bytes in = pack(c.from.format, c.in);
    ASSERT_TRUE(ConvertPcm(in.data(), in.size(), c.from, c.to, out)) << c.what;
    EXPECT_EQ(out, pack(c.to.format, c.out)) << c.what;
  }
  Bytes out;
  const Bytes some(8, 0);
  EXPECT_FALSE(ConvertPcm(some.data(), some.size(), {0x8018, 1, 8000}, {S16, 1, 8000}, out)) << "24 bits";
  EXPECT_FALSE(ConvertPcm(some.data(), some.size(), {S16, 1, 8000}, {0x8110, 1, 8000}, out)) << "16-bit float";
  EXPECT_FALSE(ConvertPcm(some.data(), some.size(), {S16, 0, 8000}, {S16, 1, 8000}, out)) << "no channels";
}

TEST_F(Sound, ChunksBeforeTheDataAreWalkedWithTheirPadByte) {
  const Bytes tone = Tone(2, 44100, 16, 441);
  // An odd-sized LIST chunk: reading the next chunk one byte early would miss "data".
  const Bytes image = Riff({{"fmt ", Format(2, 44100, 16)},
                            {"LIST", {'I', 'N', 'F'}},
                            {"fact", {1, 0, 0, 0}},
                            {"data", tone},
                            {"data", Bytes(8, 0)}});
  ASSERT_EQ(Make(3, image), 1);
  EXPECT_EQ(headless::SoundSamples(3), tone);  // the first data chunk only

  // A chunk at byte 12 that is not "fmt " is refused, even with a format later.
  EXPECT_EQ(Make(4, Riff({{"LIST", {'a', 'b'}}, {"fmt ", Format(2, 44100, 16)}, {"data", tone}})), 0);
  EXPECT_EQ(Make(4, Riff({{"fmt ", Format(2, 44100, 16)}, {"LIST", {'a', 'b'}}})), 0);
}

TEST_F(Sound, UnusableImagesAreRefused) {
  const Bytes good = Wave(1, 22050, 16, 100);
  ASSERT_EQ(Make(5, good), 1);
  auto patched = [&](size_t at, std::initializer_list<uint8_t> bytes) {
    Bytes b = good;
    std::copy(bytes.begin(), bytes.end(), b.begin() + long(at));
    return b;
  };
  const std::vector<std::pair<const char*, Bytes>> bad = {
      {"not RIFF", patched(0, {'R', 'I', 'F', 'X'})},
      {"not WAVE", patched(8, {'A', 'V', 'I', ' '})},
      {"format tag 3", patched(20, {3, 0})},
      {"zero channels", patched(22, {0, 0})},
      {"three channels", patched(22, {3, 0})},
      {"rate 0", patched(24, {0, 0, 0, 0})},
      {"rate 2^32-1", patched(24, {0xFF, 0xFF, 0xFF, 0xFF})},
      {"block alignment 60000", patched(32, {0x60, 0xEA})},
      {"24 bits", patched(34, {24, 0})},
      {"fmt size 14", patched(16, {14, 0, 0, 0})},
      {"fmt past the end", patched(16, {0xF0, 0xFF, 0xFF, 0xFF})},
      {"data past the end", patched(40, {0xFF, 0xFF, 0xFF, 0x7F})},
      {"data past the RIFF size", patched(4, {36 + 8 + 10, 0, 0, 0})},
      {"RIFF size too small for a chunk", patched(4, {4, 0, 0, 0})},
      {"no data chunk", Riff({{"fmt ", Format(1, 22050, 16)}, {"LIST", {1, 2, 3}}})},
      {"data chunk of size 0", Riff({{"fmt ", Format(1, 22050, 16)}, {"data", {}}})},
      {"half a frame", Riff({{"fmt ", Format(1, 22050, 16)}, {"data", {7}}})},
      {"just RIFF", Bytes{'R', 'I', 'F', 'F'}},
      // 4 MB at 1000 Hz would become 740 MB at the output's rate.
      {"too long for its rate", Riff({{"fmt ", Format(1, 1000, 8)}, {"data", Bytes(4 << 20, 128)}})},
  };
  for (const auto& [what, image] : bad) {
    // An exactly sized copy, so that a read past the end is caught by the sanitizer.
    Bytes copy(image);
    EXPECT_EQ(MakeSound(6, copy.data(), copy.size()), 0) << what;
  }
  // Every cut-off copy of a good image is refused without reading past its end.
  for (size_t size = 0; size < good.size(); size++) {
    Bytes cut(good.begin(), good.begin() + long(size));
    EXPECT_EQ(MakeSound(6, cut.data(), cut.size()), 0) << "cut at " << size;
  }
  EXPECT_EQ(MakeSound(6, nullptr, 100), 0);
  // A failed remake leaves the number empty.
  EXPECT_EQ(Make(5, patched(0, {'R', 'I', 'F', 'X'})), 0);
  EXPECT_EQ(StartSound(5, 0), 0);
  EXPECT_TRUE(headless::SoundSamples(5).empty());
}

TEST_F(Sound, RemakingANumberReplacesTheSound) {
  ASSERT_EQ(Make(7, Wave(1, 44100, 16, 100)), 1);
  ASSERT_EQ(Make(7, Wave(1, 44100, 16, 300)), 1);
  EXPECT_EQ(headless::SoundSamples(7).size(), size_t(300 * OutputFrameBytes()));
}

TEST_F(Sound, StartRestartsAndHaltStops) {
  ASSERT_EQ(Make(18, Wave(1, 22050, 8, 2000)), 1);
  ASSERT_EQ(Make(19, Wave(2, 44100, 16, 2000)), 1);
  headless::ClearSoundEvents();

  EXPECT_EQ(StartSound(18, 0), 1);
  EXPECT_EQ(StartSound(18, 0), 1);  // restarts: a new start, never a second copy
  EXPECT_EQ(StartSound(19, 1), 1);
  HaltSound(19);
  EXPECT_EQ(StartSound(19, 1), 1);  // the loop again from its beginning
  HaltSound(-1);
  HaltSound(25);                    // never made: nothing
  EXPECT_EQ(StartSound(25, 0), 0);
  EXPECT_EQ(StartSound(-1, 0), 0);
  EXPECT_EQ(StartSound(18, 2), 1);  // only bit 0 asks for a loop

  const std::vector<headless::SoundEvent>& events = headless::SoundEvents();
  const struct {
    int sound;
    bool start, loop;
  } expected[] = {{18, true, false}, {18, true, false}, {19, true, true}, {19, false, false},
                  {19, true, true},  {-1, false, false}, {18, true, false}};
  ASSERT_EQ(events.size(), std::size(expected));
  for (size_t i = 0; i < events.size(); i++) {
    EXPECT_EQ(events[i].sound, expected[i].sound) << i;
    EXPECT_EQ(events[i].start, expected[i].start) << i;
    EXPECT_EQ(events[i].loop, expected[i].loop) << i;
  }
}

TEST(SoundOutput, NothingWorksWithoutAnOpenOutput) {
  headless::Use();
  const Bytes image = Wave(1, 44100, 16, 100);
  EXPECT_EQ(Make(1, image), 0);
  EXPECT_EQ(StartSound(1, 0), 0);
  HaltSound(-1);
  CloseSound();  // safe with nothing open
  EXPECT_TRUE(headless::SoundEvents().empty());

  headless::Use();
  headless::Failures failures;
  failures.sound = true;
  headless::SetFailures(failures);
  EXPECT_EQ(InitSoundSupport(), 0);
  EXPECT_EQ(Make(1, image), 0);

  // After CloseSound every number is gone and the output is closed.
  headless::Use();
  ASSERT_EQ(InitSoundSupport(), 1);
  ASSERT_EQ(Make(1, image), 1);
  ASSERT_EQ(Make(2, image), 1);
  CloseSound();
  CloseSound();
  EXPECT_EQ(SoundOutput(), nullptr);
  EXPECT_TRUE(headless::SoundSamples(1).empty());
  EXPECT_TRUE(headless::SoundSamples(2).empty());
  EXPECT_EQ(StartSound(1, 0), 0);
  EXPECT_EQ(Make(1, image), 0);
  const std::vector<std::string>& log = headless::PlatformLog();
  EXPECT_EQ(std::count(log.begin(), log.end(), "close audio"), 1);
}

// Plays through SDL's real mixer into the "disk" audio driver's file.
TEST(SoundOutput, ATonePlaysThroughTheDiskDriver) {
  const std::string file = (std::filesystem::temp_directory_path() /
                            ("vantor_disk_audio_" + std::to_string(getpid()) + ".raw"))
                               .string();
  std::filesystem::remove(file);
  const char* driver = std::getenv("SDL_AUDIODRIVER");
  const std::string oldDriver = driver ? driver : "";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
  UseSdlPlatform();
  auto restore = [&] {
    headless::Use();
    if (driver) setenv("SDL_AUDIODRIVER", oldDriver.c_str(), 1);
    else unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
  };
  if (!InitSoundSupport()) {
    restore();
    GTEST_SKIP() << "SDL's disk audio driver cannot be opened: " << SDL_GetError();
  }
  const AudioOutput out = *SoundOutput();
  // A loud 16-bit mono square wave of one second.
  Bytes data;
  for (int i = 0; i < 22050; i++) Put16(data, uint16_t(int16_t((i / 50) % 2 ? 24000 : -24000)));
  EXPECT_EQ(Make(20, Riff({{"fmt ", Format(1, 22050, 16)}, {"data", data}})), 1);
  EXPECT_EQ(StartSound(20, 1), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  CloseSound();
  restore();

  const Bytes written = testsupport::ReadFileBytes(file);
  std::filesystem::remove(file);
  ASSERT_EQ(out.format, AUDIO_S16LSB);
  int loud = 0;
  for (size_t i = 0; i + 1 < written.size(); i += 2)
    if (std::abs(int16_t(written[i] | written[i + 1] << 8)) > 10000) loud++;
  EXPECT_GT(loud, 1000) << written.size() << " bytes written";
}
