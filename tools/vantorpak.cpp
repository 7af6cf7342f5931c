// vantorpak: builds, lists and unpacks asset packs.
//
//   vantorpak build OUT.pak FILE...   pack the files in the given order; a BMP
//                                     that the programs would refuse is an error
//   vantorpak list PACK               one line per entry
//   vantorpak extract PACK DIR        entry N to DIR/NN.bmp, .wav or .bin
//
// Errors end with one line on standard error and exit status 1.
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "formats/blockcodec.h"
#include "media/bmp.h"
#include "media/command_line.h"

namespace {

const char* const USAGE =
    "usage: vantorpak build OUT.pak FILE... | vantorpak list PACK | vantorpak extract PACK DIR";

int Fail(const std::string& message) {
  fprintf(stderr, "vantorpak: %s\n", message.c_str());
  return 1;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  FILE* f = fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  bytes.clear();
  uint8_t chunk[65536];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  bool ok = !ferror(f);
  fclose(f);
  return ok;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok;
}

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

void AppendLe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; i++) out.push_back(uint8_t(v >> (8 * i)));
}

// ---- Entries ----------------------------------------------------------------

struct Entry {
  uint32_t unpackedSize = 0;
  uint32_t packedSize = 0;
  std::vector<uint8_t> bytes;  // unpacked
  const char* check = "stored";
};

// Walks the whole pack with the reader's rules; a damaged pack is an error.
bool ReadPack(const std::string& path, std::vector<Entry>& entries, std::string& error) {
  std::vector<uint8_t> file;
  if (!ReadWholeFile(path, file)) {
    error = "cannot read " + path;
    return false;
  }
  size_t pos = 0;
  while (pos < file.size()) {
    int number = int(entries.size()) + 1;
    std::string where = path + ": entry " + std::to_string(number) + ": ";
    if (file.size() - pos < 8) {
      error = where + "header cut short";
      return false;
    }
    Entry e;
    e.unpackedSize = Le32(&file[pos]);
    e.packedSize = Le32(&file[pos + 4]);
    pos += 8;
    if (!PackEntrySizesAcceptable(e.unpackedSize, e.packedSize, file.size() - pos)) {
      error = where + "sizes do not fit the file";
      return false;
    }
    const uint8_t* data = file.data() + pos;
    if (e.packedSize == e.unpackedSize) {
      e.bytes.assign(data, data + e.packedSize);
    } else {
      uint32_t decodedSize, checkValue;
      if (!ReadBlockHeader(data, e.packedSize, &decodedSize, &checkValue)) {
        error = where + "not a compressed block";
        return false;
      }
      e.bytes.assign(e.unpackedSize, 0);
      size_t produced;
      size_t report = DecodeBlock(data, e.packedSize, e.bytes.data(), e.bytes.size(), &produced);
      if (produced != e.unpackedSize || decodedSize != e.unpackedSize) {
        error = where + "damaged compressed block";
        return false;
      }
      e.check = checkValue == 0 ? "no check value" : report == produced ? "check ok" : "check FAILED";
    }
    pos += e.packedSize;
    entries.push_back(std::move(e));
  }
  return true;
}

// ---- Content kinds -------------------------------------------------------------

bool IsBmp(const std::vector<uint8_t>& b) { return b.size() >= 30 && b[0] == 'B' && b[1] == 'M'; }

bool IsWav(const std::vector<uint8_t>& b) {
  return b.size() >= 12 && memcmp(&b[0], "RIFF", 4) == 0 && memcmp(&b[8], "WAVE", 4) == 0;
}

std::string DescribeBmp(const std::vector<uint8_t>& b) {
  int32_t width = int32_t(Le32(&b[18]));
  int32_t height = int32_t(Le32(&b[22]));
  int depth = Le16(&b[28]);
  char text[80];
  snprintf(text, sizeof text, "BMP %dx%d %d-bit", width, height < 0 ? -height : height, depth);
  return text;
}

std::string DescribeWav(const std::vector<uint8_t>& b) {
  size_t pos = 12;
  while (b.size() - pos >= 8) {
    uint32_t chunkSize = Le32(&b[pos + 4]);
    if (memcmp(&b[pos], "fmt ", 4) == 0 && chunkSize >= 16 && b.size() - pos - 8 >= 16) {
      const uint8_t* fmt = &b[pos + 8];
      char text[80];
      snprintf(text, sizeof text, "WAV %u ch %u Hz %u-bit", Le16(fmt + 2), Le32(fmt + 4), Le16(fmt + 14));
      return text;
    }
    uint64_t next = uint64_t(pos) + 8 + chunkSize + (chunkSize & 1);
    if (next > b.size()) break;
    pos = size_t(next);
  }
  return "WAV (no format chunk)";
}

std::string Describe(const std::vector<uint8_t>& b) {
  if (IsBmp(b)) return DescribeBmp(b);
  if (IsWav(b)) return DescribeWav(b);
  return "data";
}

const char* Extension(const std::vector<uint8_t>& b) {
  if (IsBmp(b)) return "bmp";
  if (IsWav(b)) return "wav";
  return "bin";
}

// A file is taken as a picture by its name or by its first bytes; the
// programs would fail on a picture that the decoder refuses, so it is not packed.
bool IsPictureFile(const std::string& path, const std::vector<uint8_t>& b) {
  std::string extension = path.size() >= 4 ? path.substr(path.size() - 4) : "";
  for (char& c : extension) c = char(tolower(uint8_t(c)));
  return extension == ".bmp" || (b.size() >= 2 && b[0] == 'B' && b[1] == 'M');
}

const char* PictureRefusal(const std::vector<uint8_t>& b) {
  DecodedImage image;
  const char* reason = nullptr;
  DecodeBmp(b.data(), b.size(), image, &reason);
  return reason;
}

// ---- Commands --------------------------------------------------------------------

int Build(const std::string& outPath, char** files, int count) {
  std::vector<uint8_t> pack;
  for (int i = 0; i < count; i++) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(files[i], bytes)) return Fail(std::string("cannot read ") + files[i]);
    if (bytes.size() > UINT32_MAX) return Fail(std::string("too large for a pack: ") + files[i]);
    const char* refusal = IsPictureFile(files[i], bytes) ? PictureRefusal(bytes) : nullptr;
    if (refusal) return Fail(std::string(files[i]) + ": picture refused: " + refusal);
    uint32_t size = uint32_t(bytes.size());
    std::vector<uint8_t> block;
    if (size <= MAX_UNPACKED_SIZE) block = EncodeBlock(bytes.data(), bytes.size());
    // Stored where compression does not make the entry smaller (equal sizes mean stored).
    const std::vector<uint8_t>& data = !block.empty() && block.size() < bytes.size() ? block : bytes;
    AppendLe32(pack, size);
    AppendLe32(pack, uint32_t(data.size()));
    pack.insert(pack.end(), data.begin(), data.end());
  }
  if (!WriteWholeFile(outPath, pack)) return Fail("cannot write " + outPath);
  return 0;
}

int List(const std::string& path) {
  std::vector<Entry> entries;
  std::string error;
  bool ok = ReadPack(path, entries, error);
  bool checksHold = true;
  for (size_t i = 0; i < entries.size(); i++) {
    const Entry& e = entries[i];
    printf("%2zu  %10u  %10u  %-28s  %s\n", i + 1, e.unpackedSize, e.packedSize,
           Describe(e.bytes).c_str(), e.check);
    if (strcmp(e.check, "check FAILED") == 0) checksHold = false;
  }
  fflush(stdout);
  if (!ok) return Fail(error);
  if (!checksHold) return Fail(path + ": check value does not hold");
  return 0;
}

int Extract(const std::string& path, const std::string& dir) {
  std::vector<Entry> entries;
  std::string error;
  if (!ReadPack(path, entries, error)) return Fail(error);
  for (const Entry& e : entries) {
    if (strcmp(e.check, "check FAILED") == 0) return Fail(path + ": check value does not hold");
  }
  if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) return Fail("cannot create " + dir);
  for (size_t i = 0; i < entries.size(); i++) {
    char name[32];
    snprintf(name, sizeof name, "/%02zu.%s", i + 1, Extension(entries[i].bytes));
    if (!WriteWholeFile(dir + name, entries[i].bytes)) return Fail("cannot write " + dir + name);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string command = argc >= 2 ? argv[1] : "";
  if (command == "--version" && argc == 2) {
    PrintVersion("vantorpak");
    return 0;
  }
  if (command == "build" && argc >= 3) return Build(argv[2], argv + 3, argc - 3);
  if (command == "list" && argc == 3) return List(argv[2]);
  if (command == "extract" && argc == 4) return Extract(argv[2], argv[3]);
  fprintf(stderr, "%s\n", USAGE);
  return 1;
}
