// vantorpak run as a program: build, list and extract, and its error exits.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "formats/assetpack.h"
#include "support/test_support.h"

namespace {

using testsupport::Bytes;
using testsupport::Put16;
using testsupport::Put32;
using testsupport::PutId;
using testsupport::ToolRun;

class Vantorpak : public testsupport::TempDirTest {
 protected:
  void TearDown() override {
    CloseAssetPack();
    TempDirTest::TearDown();
  }
  ToolRun Tool(const std::string& args) { return testsupport::RunTool("vantorpak", args, dir); }
};

Bytes Bmp(int w, int h) {
  int stride = (w * 3 + 3) & ~3;
  Bytes b = {'B', 'M'};
  Put32(b, uint32_t(54 + stride * h));
  Put32(b, 0);
  Put32(b, 54);
  Put32(b, 40);
  Put32(b, uint32_t(w));
  Put32(b, uint32_t(h));
  Put16(b, 1);
  Put16(b, 24);
  for (int i = 0; i < 6; i++) Put32(b, 0);
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < stride; x++) b.push_back(uint8_t(x < w * 3 && (x / 3 + y) % 7 ? 0xFF : x * y));
  }
  return b;
}

Bytes Wav(int channels, int rate, int samples) {
  Bytes b = {'R', 'I', 'F', 'F'};
  Put32(b, uint32_t(36 + samples * 2 * channels));
  PutId(b, "WAVE");
  PutId(b, "fmt ");
  Put32(b, 16);
  Put16(b, 1);
  Put16(b, uint32_t(channels));
  Put32(b, uint32_t(rate));
  Put32(b, uint32_t(rate * 2 * channels));
  Put16(b, uint32_t(2 * channels));
  Put16(b, 16);
  PutId(b, "data");
  Put32(b, uint32_t(samples * 2 * channels));
  uint32_t noise = 1;
  for (int i = 0; i < samples * channels; i++) {
    noise = noise * 1103515245 + 12345;
    Put16(b, noise >> 16);  // noise: does not compress, so it is stored
  }
  return b;
}

}  // namespace

TEST_F(Vantorpak, BuildListExtractRoundTrip) {
  Bytes picture = Bmp(40, 30), sound = Wav(2, 22050, 3000), data = {'J', 'C', 1, 2, 3};
  WriteBytes("a.bmp", picture);
  WriteBytes("b.wav", sound);
  WriteBytes("c.dat", data);
  WriteBytes("empty", {});
  ToolRun r = Tool("build game.pak a.bmp b.wav c.dat empty");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");

  // The reader gives the files back in order.
  ASSERT_NE(OpenAssetPack(Path("game.pak").c_str()), 0);
  std::vector<Bytes> entries;
  uint32_t size;
  while (const uint8_t* e = NextPackEntry(&size)) entries.emplace_back(e, e + size);
  CloseAssetPack();
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0], picture);
  EXPECT_EQ(entries[1], sound);
  EXPECT_EQ(entries[2], data);
  EXPECT_EQ(entries[3], Bytes());

  r = Tool("list game.pak");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::vector<std::string> lines;
  for (size_t at = 0, nl; (nl = r.out.find('\n', at)) != std::string::npos; at = nl + 1) {
    lines.push_back(r.out.substr(at, nl - at));
  }
  ASSERT_EQ(lines.size(), 4u) << r.out;
  EXPECT_NE(lines[0].find(" 1 "), std::string::npos);
  EXPECT_NE(lines[0].find(std::to_string(picture.size())), std::string::npos);
  EXPECT_NE(lines[0].find("BMP 40x30 24-bit"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("check ok"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("WAV 2 ch 22050 Hz 16-bit"), std::string::npos) << lines[1];
  EXPECT_NE(lines[1].find("stored"), std::string::npos) << lines[1];
  EXPECT_NE(lines[2].find("data"), std::string::npos) << lines[2];
  EXPECT_NE(lines[2].find("stored"), std::string::npos) << lines[2];

  r = Tool("extract game.pak out");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadBytes("out/01.bmp"), picture);
  EXPECT_EQ(ReadBytes("out/02.wav"), sound);
  EXPECT_EQ(ReadBytes("out/03.bin"), data);
  EXPECT_EQ(access(Path("out/04.bin").c_str(), F_OK), 0);

  // The same inputs give the same pack, byte for byte.
  ASSERT_EQ(Tool("build again.pak a.bmp b.wav c.dat empty").exitCode, 0);
  EXPECT_EQ(ReadBytes("again.pak"), ReadBytes("game.pak"));
  // No files: an empty pack.
  ASSERT_EQ(Tool("build none.pak").exitCode, 0);
  EXPECT_EQ(ReadBytes("none.pak").size(), 0u);
}

TEST_F(Vantorpak, BadArgumentsAndInputsFailWithOneLine) {
  auto failsWithOneLine = [&](const std::string& args) {
    ToolRun r = Tool(args);
    EXPECT_EQ(r.exitCode, 1) << args;
    ASSERT_FALSE(r.err.empty()) << args;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << args << ": " << r.err;
  };
  failsWithOneLine("");
  failsWithOneLine("pack x.pak a");
  failsWithOneLine("build");
  failsWithOneLine("list");
  failsWithOneLine("list a b");
  failsWithOneLine("extract only.pak");
  failsWithOneLine("build out.pak missing.bmp");
  failsWithOneLine("build nofolder/out.pak");
  failsWithOneLine("list missing.pak");
  failsWithOneLine("extract missing.pak out");

  // Damaged packs: header cut short, data cut short, bad block, bad check value.
  Bytes content(2000);
  for (size_t i = 0; i < content.size(); i++) content[i] = uint8_t(i % 50);
  WriteBytes("f.bin", content);
  ASSERT_EQ(Tool("build good.pak f.bin").exitCode, 0);
  Bytes good = ReadBytes("good.pak");
  ASSERT_LT(good.size(), content.size());

  Bytes cutHeader = good;
  cutHeader.insert(cutHeader.end(), {1, 2, 3});
  WriteBytes("cut-header.pak", cutHeader);
  failsWithOneLine("list cut-header.pak");
  failsWithOneLine("extract cut-header.pak out1");

  WriteBytes("cut-data.pak", Bytes(good.begin(), good.end() - 5));
  failsWithOneLine("list cut-data.pak");

  Bytes badMagic = good;
  badMagic[8] = 'X';
  WriteBytes("bad-magic.pak", badMagic);
  failsWithOneLine("list bad-magic.pak");

  Bytes badCheck = good;
  badCheck[8 + 6] ^= 1;  // the check value field
  WriteBytes("bad-check.pak", badCheck);
  ToolRun r = Tool("list bad-check.pak");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("check FAILED"), std::string::npos) << r.out;
  failsWithOneLine("extract bad-check.pak out2");

  Bytes huge;
  Put32(huge, 0xF0000000u);
  Put32(huge, 16);
  huge.insert(huge.end(), {'J', 'C', 0, 0, 0, 0xF0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  WriteBytes("huge.pak", huge);
  failsWithOneLine("list huge.pak");
}

TEST_F(Vantorpak, BuildRefusesAPictureTheProgramsWouldRefuseNamingFileAndReason) {
  Bytes twoBit = Bmp(4, 2);
  twoBit[28] = 2;  // bits per pixel
  Bytes overlappingMasks = Bmp(4, 2);
  overlappingMasks[30] = 3;  // bit fields, which 24-bit images cannot have
  struct Case {
    const char* file;
    Bytes bytes;
    const char* reason;
  };
  const Case cases[] = {
      {"two-bit.bmp", twoBit, "unsupported bits per pixel"},
      {"fields.bmp", overlappingMasks, "bit-field masks on a depth other than 16 or 32 bits"},
      {"cut.bmp", Bytes(twoBit.begin(), twoBit.begin() + 20), "headers cut short"},
      {"text.BMP", {'h', 'i'}, "not a BMP"},
      {"no-extension", Bytes(twoBit.begin(), twoBit.begin() + 2), "headers cut short"},
  };
  WriteBytes("good.bmp", Bmp(4, 2));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    WriteBytes(c.file, c.bytes);
    ToolRun r = Tool(std::string("build out.pak good.bmp ") + c.file);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_NE(r.err.find(c.file), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    EXPECT_FALSE(Exists("out.pak"));
  }
}
