// The game's sounds, synthesised from oscillators, envelopes and filtered
// noise. Everything is computed in double precision from fixed data and a
// fixed-seed noise generator, so every run writes the same samples.
#include "assets.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int RATE = 22050;
constexpr double PI = 3.14159265358979323846;

// ---- Noise and small helpers ------------------------------------------------

struct Noise {
  uint32_t state;
};

// White noise in -1..1 from a linear congruential generator.
double NextNoise(Noise& noise) {
  noise.state = noise.state * 1664525u + 1013904223u;
  return double(noise.state >> 8) / double(1u << 23) - 1.0;
}

double MidiFrequency(double pitch) { return 440.0 * std::pow(2.0, (pitch - 69.0) / 12.0); }

// One-pole low-pass coefficient for a cut-off frequency.
double LowPassCoefficient(double cutoff) { return 1.0 - std::exp(-2.0 * PI * cutoff / RATE); }

// Correction that removes the step of a saw or square at a wrap of the phase.
double PolyBlep(double phase, double step) {
  if (phase < step) {
    double t = phase / step;
    return t + t - t * t - 1.0;
  }
  if (phase > 1.0 - step) {
    double t = (phase - 1.0) / step;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

enum Wave { SINE, TRIANGLE, SAW, SQUARE, BELL };

// Band-limited oscillator value at `phase` (0..1) with `step` phase per sample.
double Oscillator(Wave wave, double phase, double step) {
  switch (wave) {
    case SINE:
      return std::sin(2.0 * PI * phase);
    case TRIANGLE:
      return 1.0 - 4.0 * std::fabs(phase - 0.5);
    case SAW:
      return 2.0 * phase - 1.0 - PolyBlep(phase, step);
    case SQUARE: {
      double value = phase < 0.5 ? 1.0 : -1.0;
      double shifted = phase + 0.5 >= 1.0 ? phase - 0.5 : phase + 0.5;
      return value + PolyBlep(phase, step) - PolyBlep(shifted, step);
    }
    case BELL:  // fundamental with a soft octave and twelfth
      return 0.7 * std::sin(2.0 * PI * phase) + 0.2 * std::sin(4.0 * PI * phase) +
             0.1 * std::sin(6.0 * PI * phase);
  }
  return 0.0;
}

void NormaliseTo(std::vector<double>& buffer, double peak) {
  double largest = 0.0;
  for (double v : buffer) largest = std::max(largest, std::fabs(v));
  if (largest <= 0.0) return;
  for (double& v : buffer) v *= peak / largest;
}

SoundClip ToClip(const std::vector<double>& buffer) {
  SoundClip clip;
  clip.rate = RATE;
  clip.channels = 1;
  clip.samples.reserve(buffer.size());
  for (double v : buffer) {
    double s = std::clamp(std::round(v * 32767.0), -32767.0, 32767.0);
    clip.samples.push_back(int16_t(s));
  }
  return clip;
}

// ---- Music: instruments, notes and a looping sequencer ---------------------

struct Instrument {
  Wave wave;
  double attack;   // seconds
  double decay;    // seconds to fall towards the sustain level (time constant)
  double sustain;  // level 0..1
  double release;  // seconds from the note's end to silence
  double cutoff;   // one-pole low-pass, Hz (0: none)
  double detune;   // cents of a second, detuned copy (0: none)
  double vibrato;  // depth in semitones, at 5 Hz after a short delay
  double gain;
};

struct Note {
  double beat;    // start, in beats from the loop's start
  double length;  // in beats, before the release
  int pitch;      // MIDI note number
  double velocity;
};

struct Track {
  const Instrument* instrument;
  std::vector<Note> notes;
};

// Attack-decay-sustain envelope over `held` seconds, then a release that
// reaches exactly zero; it starts at zero too, so notes never click.
double Envelope(const Instrument& in, double t, double held) {
  double level;
  if (t < in.attack) {
    level = t / in.attack;
  } else {
    level = in.sustain + (1.0 - in.sustain) * std::exp(-(t - in.attack) / in.decay);
  }
  if (t <= held) return level;
  double atEnd = Envelope(in, held, held);
  double r = (t - held) / in.release;
  if (r >= 1.0) return 0.0;
  // Raised-cosine fall: smooth at both ends.
  return atEnd * 0.5 * (1.0 + std::cos(PI * r));
}

// Adds one note into `loop`, wrapping past the end so that tails continue at
// the loop's start exactly as they do when the loop repeats.
void RenderNote(std::vector<double>& loop, const Instrument& in, double startSample,
                double heldSeconds, double frequency, double velocity) {
  const size_t n = loop.size();
  const double total = heldSeconds + in.release;
  const int count = int(total * RATE);
  const size_t first = size_t(std::llround(startSample));
  const double coefficient = in.cutoff > 0 ? LowPassCoefficient(in.cutoff) : 1.0;
  double phaseA = 0.0, phaseB = 0.25, filtered = 0.0;
  for (int i = 0; i < count; ++i) {
    double t = double(i) / RATE;
    double bend = 1.0;
    if (in.vibrato > 0 && t > 0.15) {
      double depth = in.vibrato * std::min(1.0, (t - 0.15) / 0.3);
      bend = std::pow(2.0, depth * std::sin(2.0 * PI * 5.0 * t) / 12.0);
    }
    double stepA = frequency * bend / RATE;
    double value = Oscillator(in.wave, phaseA, stepA);
    if (in.detune != 0) {
      double stepB = stepA * std::pow(2.0, in.detune / 1200.0);
      value = 0.5 * (value + Oscillator(in.wave, phaseB, stepB));
      phaseB += stepB;
      if (phaseB >= 1.0) phaseB -= 1.0;
    }
    phaseA += stepA;
    if (phaseA >= 1.0) phaseA -= 1.0;
    filtered += coefficient * (value - filtered);
    loop[(first + size_t(i)) % n] += filtered * Envelope(in, t, heldSeconds) * velocity * in.gain;
  }
}

void RenderTrack(std::vector<double>& loop, const Track& track, double beatSamples) {
  for (const Note& note : track.notes) {
    double held = note.length * beatSamples / RATE;
    RenderNote(loop, *track.instrument, note.beat * beatSamples, held,
               MidiFrequency(note.pitch), note.velocity);
  }
}

// ---- Drums -----------------------------------------------------------------

// A pitch-falling sine: the kick drum and the explosion's thump.
void AddThump(std::vector<double>& out, size_t start, double fromHz, double toHz, double sweep,
              double decay, double length, double gain) {
  const size_t n = out.size();
  double phase = 0.0;
  int count = int(length * RATE);
  for (int i = 0; i < count; ++i) {
    double t = double(i) / RATE;
    double frequency = toHz + (fromHz - toHz) * std::exp(-t / sweep);
    double attack = std::min(1.0, t / 0.002);
    double fade = 0.5 * (1.0 + std::cos(PI * double(i) / count));
    out[(start + size_t(i)) % n] += gain * attack * fade * std::exp(-t / decay) * std::sin(phase);
    phase += 2.0 * PI * frequency / RATE;
  }
}

// Noise through a high-pass (bright) or low-pass (dull) one-pole filter with
// an exponential decay.
void AddNoiseHit(std::vector<double>& out, Noise& noise, size_t start, double cutoff,
                 bool highPass, double decay, double length, double gain) {
  const size_t n = out.size();
  const double coefficient = LowPassCoefficient(cutoff);
  double low = 0.0;
  int count = int(length * RATE);
  for (int i = 0; i < count; ++i) {
    double t = double(i) / RATE;
    double white = NextNoise(noise);
    low += coefficient * (white - low);
    double value = highPass ? white - low : low;
    double attack = std::min(1.0, t / 0.001);
    double fade = 0.5 * (1.0 + std::cos(PI * double(i) / count));
    out[(start + size_t(i)) % n] += gain * attack * fade * std::exp(-t / decay) * value;
  }
}

// Echo taps read around the loop, so the echo wraps like the notes do.
std::vector<double> WithEcho(const std::vector<double>& dry, size_t delay, double feedback, int taps) {
  std::vector<double> wet = dry;
  const size_t n = dry.size();
  double gain = 1.0;
  for (int k = 1; k <= taps; ++k) {
    gain *= feedback;
    size_t shift = (delay * size_t(k)) % n;
    for (size_t i = 0; i < n; ++i) wet[i] += gain * dry[(i + n - shift) % n];
  }
  return wet;
}

// Turns the loop so that it begins at a quiet, flat spot among its first
// samples: the loop stays seamless, and its very first start has no step.
void StartNearZero(std::vector<double>& loop) {
  const size_t n = loop.size();
  auto roughness = [&](size_t i) { return std::fabs(loop[i]) + std::fabs(loop[i] - loop[(i + n - 1) % n]); };
  size_t best = 0;
  for (size_t i = 1; i < std::min<size_t>(n, 600); ++i)
    if (roughness(i) < roughness(best)) best = i;
  std::rotate(loop.begin(), loop.begin() + std::ptrdiff_t(best), loop.end());
}

void RemoveMean(std::vector<double>& buffer) {
  double sum = 0.0;
  for (double v : buffer) sum += v;
  double mean = sum / double(buffer.size());
  for (double& v : buffer) v -= mean;
}

// ---- The title music: D minor, 140 beats a minute, 8 bars of 4/4 -----------

const Instrument TITLE_BASS = {SAW, 0.004, 0.12, 0.55, 0.03, 700, 0, 0, 0.42};
const Instrument TITLE_ARP = {SQUARE, 0.003, 0.05, 0.25, 0.02, 2400, 0, 0, 0.10};
const Instrument TITLE_LEAD = {SAW, 0.02, 0.3, 0.7, 0.09, 2600, 7, 0.15, 0.30};
const Instrument TITLE_PAD = {TRIANGLE, 0.25, 0.8, 0.8, 0.2, 1200, 9, 0, 0.07};

// Chords of the eight bars (root position, MIDI), the last one leading back
// to the first.
const int TITLE_CHORDS[8][3] = {{50, 53, 57}, {46, 50, 53}, {53, 57, 60}, {48, 52, 55},
                                {50, 53, 57}, {46, 50, 53}, {48, 52, 55}, {45, 49, 52}};

const std::vector<Note> TITLE_MELODY = {
    // Dm
    {0, 1.4, 74, 1.0}, {1.5, 0.4, 69, 0.8}, {2, 0.9, 74, 0.9}, {3, 0.9, 76, 0.9},
    // Bb
    {4, 1.9, 77, 1.0}, {6, 0.9, 76, 0.85}, {7, 0.9, 74, 0.85},
    // F
    {8, 1.4, 72, 0.95}, {9.5, 0.4, 69, 0.8}, {10, 0.9, 72, 0.9}, {11, 0.9, 77, 0.95},
    // C
    {12, 2.8, 76, 1.0}, {15, 0.4, 72, 0.7}, {15.5, 0.4, 74, 0.75},
    // Dm
    {16, 1.4, 74, 1.0}, {17.5, 0.4, 69, 0.8}, {18, 0.9, 74, 0.9}, {19, 0.9, 77, 0.95},
    // Bb
    {20, 0.9, 79, 1.0}, {21, 0.9, 77, 0.9}, {22, 0.9, 76, 0.9}, {23, 0.9, 74, 0.9},
    // C
    {24, 1.4, 76, 0.95}, {25.5, 0.4, 72, 0.8}, {26, 0.9, 76, 0.9}, {27, 0.9, 79, 0.95},
    // A
    {28, 0.9, 76, 0.95}, {29, 0.9, 73, 0.9}, {30, 1.5, 69, 0.9},
};

std::vector<Note> TitleBass() {
  std::vector<Note> notes;
  for (int bar = 0; bar < 8; ++bar) {
    int root = TITLE_CHORDS[bar][0] - 12;
    // Galloping eighths: root, root, octave, root ...
    const int offsets[8] = {0, 0, 12, 0, 0, 12, 0, 12};
    for (int e = 0; e < 8; ++e) {
      double accent = e % 2 == 0 ? 1.0 : 0.75;
      notes.push_back({bar * 4 + e * 0.5, 0.38, root + offsets[e], accent});
    }
  }
  return notes;
}

std::vector<Note> TitleArpeggio() {
  std::vector<Note> notes;
  const int order[8] = {0, 1, 2, 3, 2, 1, 0, 1};  // 3 = the root an octave up
  for (int bar = 0; bar < 8; ++bar) {
    for (int s = 0; s < 16; ++s) {
      int i = order[s % 8];
      int pitch = i == 3 ? TITLE_CHORDS[bar][0] + 12 : TITLE_CHORDS[bar][i];
      notes.push_back({bar * 4 + s * 0.25, 0.18, pitch + 12, s % 4 == 0 ? 1.0 : 0.7});
    }
  }
  return notes;
}

std::vector<Note> TitlePad() {
  std::vector<Note> notes;
  for (int bar = 0; bar < 8; ++bar)
    for (int i = 0; i < 3; ++i) notes.push_back({bar * 4.0, 3.6, TITLE_CHORDS[bar][i], 1.0});
  return notes;
}

void AddTitleDrums(std::vector<double>& loop, double beatSamples) {
  Noise noise = {0x5eed1u};
  for (int beat = 0; beat < 32; ++beat) {
    size_t at = size_t(std::llround(beat * beatSamples));
    if (beat % 2 == 0) AddThump(loop, at, 160, 48, 0.03, 0.12, 0.3, 0.45);
    if (beat % 2 == 1) AddNoiseHit(loop, noise, at, 1500, true, 0.07, 0.2, 0.22);
    // A pick-up kick before the turn of every second bar.
    if (beat % 8 == 7) AddThump(loop, at + size_t(beatSamples / 2), 160, 48, 0.03, 0.1, 0.25, 0.4);
    for (int half = 0; half < 2; ++half) {
      size_t hat = at + size_t(half * beatSamples / 2);
      AddNoiseHit(loop, noise, hat, 6000, true, 0.018, 0.06, half ? 0.07 : 0.1);
    }
  }
}

SoundClip MakeTitleMusic() {
  const double beatSamples = 9450;  // 140 beats a minute
  std::vector<double> loop(size_t(32 * beatSamples), 0.0);
  RenderTrack(loop, {&TITLE_PAD, TitlePad()}, beatSamples);
  RenderTrack(loop, {&TITLE_BASS, TitleBass()}, beatSamples);
  RenderTrack(loop, {&TITLE_ARP, TitleArpeggio()}, beatSamples);
  std::vector<double> lead(loop.size(), 0.0);
  RenderTrack(lead, {&TITLE_LEAD, TITLE_MELODY}, beatSamples);
  lead = WithEcho(lead, size_t(beatSamples * 0.75), 0.3, 3);
  for (size_t i = 0; i < loop.size(); ++i) loop[i] += lead[i];
  AddTitleDrums(loop, beatSamples);
  RemoveMean(loop);
  StartNearZero(loop);
  NormaliseTo(loop, 0.8);
  return ToClip(loop);
}

// ---- The help music: F major, 84 beats a minute, 4 bars of 4/4 --------------

const Instrument HELP_HARP = {TRIANGLE, 0.004, 0.35, 0.0001, 0.25, 3000, 0, 0, 0.16};
const Instrument HELP_PAD = {SINE, 0.6, 1.5, 0.8, 0.6, 0, 6, 0, 0.06};
const Instrument HELP_BASS = {SINE, 0.02, 0.8, 0.5, 0.3, 0, 0, 0, 0.2};
const Instrument HELP_BELL = {BELL, 0.01, 0.5, 0.35, 0.35, 0, 3, 0.08, 0.32};

const int HELP_CHORDS[4][4] = {
    {53, 57, 60, 64},  // Fmaj7
    {57, 60, 64, 67},  // Am7
    {58, 62, 65, 69},  // Bbmaj7
    {48, 53, 55, 60},  // Csus4
};

const std::vector<Note> HELP_MELODY = {
    {0, 0.9, 69, 0.9}, {1, 0.9, 72, 0.9}, {2, 1.4, 77, 1.0}, {3.5, 0.4, 76, 0.8},
    {4, 1.9, 76, 1.0}, {6, 0.9, 74, 0.85}, {7, 0.9, 72, 0.85},
    {8, 1.4, 74, 0.95}, {9.5, 0.4, 72, 0.8}, {10, 0.9, 70, 0.85}, {11, 0.9, 69, 0.85},
    {12, 2.2, 67, 0.9},
};

std::vector<Note> HelpArpeggio() {
  std::vector<Note> notes;
  const int order[8] = {0, 1, 2, 3, 4, 3, 2, 1};  // 4 = the root an octave up
  for (int bar = 0; bar < 4; ++bar)
    for (int e = 0; e < 8; ++e) {
      int i = order[e];
      int pitch = i == 4 ? HELP_CHORDS[bar][0] + 12 : HELP_CHORDS[bar][i];
      notes.push_back({bar * 4 + e * 0.5, 0.45, pitch, e == 0 ? 1.0 : 0.75});
    }
  return notes;
}

std::vector<Note> HelpPad() {
  std::vector<Note> notes;
  for (int bar = 0; bar < 4; ++bar)
    for (int i = 0; i < 4; ++i) notes.push_back({bar * 4.0, 3.3, HELP_CHORDS[bar][i], 1.0});
  return notes;
}

std::vector<Note> HelpBass() {
  std::vector<Note> notes;
  const int roots[4] = {41, 45, 46, 36};
  for (int bar = 0; bar < 4; ++bar) {
    notes.push_back({bar * 4.0, 1.8, roots[bar], 1.0});
    notes.push_back({bar * 4.0 + 2, 1.6, roots[bar] + 7, 0.8});
  }
  return notes;
}

SoundClip MakeHelpMusic() {
  const double beatSamples = 15750;  // 84 beats a minute
  std::vector<double> loop(size_t(16 * beatSamples), 0.0);
  RenderTrack(loop, {&HELP_PAD, HelpPad()}, beatSamples);
  RenderTrack(loop, {&HELP_BASS, HelpBass()}, beatSamples);
  RenderTrack(loop, {&HELP_HARP, HelpArpeggio()}, beatSamples);
  std::vector<double> bell(loop.size(), 0.0);
  RenderTrack(bell, {&HELP_BELL, HELP_MELODY}, beatSamples);
  bell = WithEcho(bell, size_t(beatSamples * 1.5), 0.35, 3);
  for (size_t i = 0; i < loop.size(); ++i) loop[i] += bell[i];
  RemoveMean(loop);
  StartNearZero(loop);
  NormaliseTo(loop, 0.7);
  return ToClip(loop);
}

// ---- Effects ----------------------------------------------------------------

// The engine hum. The game restarts it every frame, so what is heard is its
// first 1/60 s over and over: one engine pulse that rises from and falls back
// to silence within that time. Later pulses repeat it with a little variation
// and fade out, for when the restarts stop.
SoundClip MakeEngineHum() {
  const double pulse = RATE / 60.0;
  const int pulses = 18;
  std::vector<double> out(size_t(pulse * pulses), 0.0);
  Noise noise = {0xE4614Eu};
  // Rumble: noise band-passed to 60..400 Hz, so it carries no offset.
  const double upper = LowPassCoefficient(400), lower = LowPassCoefficient(60);
  double rumbleHigh = 0.0, rumbleLow = 0.0;
  for (size_t i = 0; i < out.size(); ++i) {
    double t = double(i) / RATE;
    double k = std::floor(double(i) / pulse);
    double x = (double(i) - k * pulse) / pulse;  // 0..1 within the pulse
    // Fast rise, slower fall, zero with zero slope at both ends of the pulse.
    double shape = 6.75 * x * (1.0 - x) * (1.0 - x) * std::sin(PI * x);
    double fade = 0.5 * (1.0 + std::cos(PI * double(i) / double(out.size())));
    double strength = 1.0 - 0.08 * std::fmod(k * 0.618, 1.0);
    double white = NextNoise(noise);
    rumbleHigh += upper * (white - rumbleHigh);
    rumbleLow += lower * (white - rumbleLow);
    double rumble = rumbleHigh - rumbleLow;
    double tone = 0.55 * std::sin(2.0 * PI * 120.0 * t) + 0.3 * std::sin(2.0 * PI * 180.0 * t + 0.7) +
                  0.15 * std::sin(2.0 * PI * 300.0 * t + 1.3) + 1.4 * rumble;
    out[i] = tone * shape * fade * strength;
  }
  NormaliseTo(out, 0.45);
  return ToClip(out);
}

// An explosion: a falling thump under a noise burst whose brightness and
// level decay, with crackles in its first part.
SoundClip MakeExplosion() {
  std::vector<double> out(size_t(1.3 * RATE), 0.0);
  AddThump(out, 0, 110, 32, 0.08, 0.25, 0.9, 1.0);
  Noise noise = {0xB00Fu};
  double low = 0.0, lower = 0.0;
  for (size_t i = 0; i < out.size(); ++i) {
    double t = double(i) / RATE;
    double cutoff = 250.0 + 3800.0 * std::exp(-t / 0.18);
    double c = LowPassCoefficient(cutoff);
    double white = NextNoise(noise);
    low += c * (white - low);
    lower += c * (low - lower);
    double attack = std::min(1.0, t / 0.004);
    double fade = 0.5 * (1.0 + std::cos(PI * t / 1.3));
    double crackle = 0.0;
    if (t < 0.45 && NextNoise(noise) > 0.985) crackle = NextNoise(noise) * (1.0 - t / 0.45);
    out[i] += (2.2 * lower + 0.6 * crackle) * attack * fade * std::exp(-t / 0.35);
  }
  NormaliseTo(out, 0.9);
  return ToClip(out);
}

// The laser shot: a square and a slightly detuned saw gliding down fast, under a
// low-pass, with a snappy decay.
SoundClip MakeFire() {
  const double length = 0.2;
  std::vector<double> out(size_t(length * RATE), 0.0);
  double phaseA = 0.0, phaseB = 0.0, filtered = 0.0;
  const double c = LowPassCoefficient(3500);
  for (size_t i = 0; i < out.size(); ++i) {
    double t = double(i) / RATE;
    double frequency = 260.0 + 1900.0 * std::exp(-t / 0.035);
    double stepA = frequency / RATE, stepB = frequency * 1.012 / RATE;
    double value = 0.5 * (Oscillator(SQUARE, phaseA, stepA) + Oscillator(SAW, phaseB, stepB));
    phaseA = std::fmod(phaseA + stepA, 1.0);
    phaseB = std::fmod(phaseB + stepB, 1.0);
    filtered += c * (value - filtered);
    double attack = std::min(1.0, t / 0.002);
    double fade = 0.5 * (1.0 + std::cos(PI * t / length));
    out[i] = filtered * attack * fade * std::exp(-t / 0.06);
  }
  NormaliseTo(out, 0.7);
  return ToClip(out);
}

void PutLe16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(tag[i]));
}

}  // namespace

std::vector<SoundClip> MakeGameSounds() {
  return {MakeEngineHum(), MakeHelpMusic(), MakeTitleMusic(), MakeExplosion(), MakeFire()};
}

std::vector<uint8_t> EncodeWav16(const SoundClip& clip) {
  const uint32_t dataBytes = uint32_t(clip.samples.size() * 2);
  const uint32_t blockAlign = uint32_t(clip.channels * 2);
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes);
  PutTag(out, "RIFF");
  PutLe32(out, 36 + dataBytes);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutLe32(out, 16);
  PutLe16(out, 1);  // PCM
  PutLe16(out, uint32_t(clip.channels));
  PutLe32(out, uint32_t(clip.rate));
  PutLe32(out, uint32_t(clip.rate) * blockAlign);
  PutLe16(out, blockAlign);
  PutLe16(out, 16);
  PutTag(out, "data");
  PutLe32(out, dataBytes);
  for (int16_t s : clip.samples) PutLe16(out, uint16_t(s));
  return out;
}
