// Conversion of PCM samples between formats, channel counts and rates, so
// that every sound reaches the backend in the format of the open output.
// Samples pass through floating point in -1 .. 1; rates are changed by
// linear interpolation between neighbouring frames.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "media/internal.h"

namespace {

constexpr uint16_t SIGNED_BIT = 0x8000;
constexpr uint16_t BIG_ENDIAN_BIT = 0x1000;
constexpr uint16_t FLOAT_BIT = 0x0100;

int SampleBytes(uint16_t format) { return (format & 0xFF) / 8; }

bool IsKnown(const PcmFormat& f) {
  const int bits = f.format & 0xFF;
  if (f.channels < 1 || f.rate < 1) return false;
  if (f.format & FLOAT_BIT) return bits == 32 && (f.format & SIGNED_BIT);
  return bits == 8 || bits == 16 || bits == 32;
}

double ReadSample(const uint8_t* p, uint16_t format) {
  const int bytes = SampleBytes(format);
  uint32_t raw = 0;
  for (int i = 0; i < bytes; ++i) {
    const int byte = format & BIG_ENDIAN_BIT ? i : bytes - 1 - i;
    raw = raw << 8 | p[byte];
  }
  if (format & FLOAT_BIT) {
    float f;
    std::memcpy(&f, &raw, 4);
    return std::isfinite(f) ? std::clamp(double(f), -1.0, 1.0) : 0.0;
  }
  const int bits = bytes * 8;
  const double full = double(uint64_t(1) << (bits - 1));
  if (!(format & SIGNED_BIT)) return (double(raw) - full) / full;
  const int64_t value = int64_t(raw) - (raw >> (bits - 1) ? int64_t(1) << bits : 0);
  return double(value) / full;
}

void WriteSample(uint8_t* p, uint16_t format, double v) {
  const int bytes = SampleBytes(format);
  uint32_t raw;
  if (format & FLOAT_BIT) {
    const float f = float(v);
    std::memcpy(&raw, &f, 4);
  } else {
    const double full = double(uint64_t(1) << (bytes * 8 - 1));
    const int64_t value = std::clamp<int64_t>(std::llround(v * full), -int64_t(full), int64_t(full) - 1);
    raw = uint32_t(format & SIGNED_BIT ? value : value + int64_t(full));
  }
  for (int i = 0; i < bytes; ++i) {
    const int byte = format & BIG_ENDIAN_BIT ? bytes - 1 - i : i;
    p[byte] = uint8_t(raw >> (8 * i));
  }
}

// One output channel from one input frame: a mono input feeds every channel,
// a mono output hears the mean of all, otherwise channels keep their place
// and extra output channels stay silent.
double MapChannel(const std::vector<double>& frame, int channel, int outChannels) {
  const int inChannels = int(frame.size());
  if (inChannels == 1) return frame[0];
  if (outChannels == 1) {
    double sum = 0;
    for (double s : frame) sum += s;
    return sum / inChannels;
  }
  return channel < inChannels ? frame[size_t(channel)] : 0.0;
}

}  // namespace

size_t ConvertedFrames(size_t frames, int fromRate, int toRate) {
  if (frames == 0 || fromRate < 1 || toRate < 1) return 0;
  return std::max<size_t>(1, size_t((uint64_t(frames) * uint64_t(toRate) + uint64_t(fromRate) / 2) /
                                    uint64_t(fromRate)));
}

bool ConvertPcm(const uint8_t* samples, size_t bytes, const PcmFormat& from, const PcmFormat& to,
                std::vector<uint8_t>& out) {
  if (!IsKnown(from) || !IsKnown(to)) return false;
  const size_t inFrameBytes = size_t(SampleBytes(from.format)) * size_t(from.channels);
  const size_t outFrameBytes = size_t(SampleBytes(to.format)) * size_t(to.channels);
  const size_t inFrames = bytes / inFrameBytes;
  const size_t outFrames = ConvertedFrames(inFrames, from.rate, to.rate);
  if (outFrames == 0) return false;
  out.assign(outFrames * outFrameBytes, 0);

  auto readFrame = [&](size_t i, std::vector<double>& frame) {
    const uint8_t* p = samples + std::min(i, inFrames - 1) * inFrameBytes;
    for (int c = 0; c < from.channels; ++c) frame[size_t(c)] = ReadSample(p + c * SampleBytes(from.format), from.format);
  };
  std::vector<double> a(size_t(from.channels)), b(size_t(from.channels)), mixed(size_t(from.channels));
  for (size_t j = 0; j < outFrames; ++j) {
    // Output frame j lies at input position j * from.rate / to.rate.
    const uint64_t scaled = uint64_t(j) * uint64_t(from.rate);
    const size_t i = size_t(scaled / uint64_t(to.rate));
    const double t = double(scaled % uint64_t(to.rate)) / to.rate;
    readFrame(i, a);
    readFrame(i + 1, b);
    for (size_t c = 0; c < a.size(); ++c) mixed[c] = t == 0 ? a[c] : a[c] + (b[c] - a[c]) * t;
    uint8_t* o = out.data() + j * outFrameBytes;
    for (int c = 0; c < to.channels; ++c)
      WriteSample(o + c * SampleBytes(to.format), to.format, MapChannel(mixed, c, to.channels));
  }
  return true;
}
