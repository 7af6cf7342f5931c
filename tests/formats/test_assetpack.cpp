// The asset pack reader: entry order, stored and compressed entries, the
// ownership of the entry buffer, and packs that are cut short or lie about
// their sizes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "formats/assetpack.h"
#include "formats/blockcodec.h"
#include "support/test_support.h"

namespace {

using testsupport::Bytes;
using testsupport::Put32;

void AddEntry(Bytes& pack, uint32_t unpacked, const Bytes& data) {
  Put32(pack, unpacked);
  Put32(pack, uint32_t(data.size()));
  pack.insert(pack.end(), data.begin(), data.end());
}

void AddCompressed(Bytes& pack, const Bytes& content) {
  AddEntry(pack, uint32_t(content.size()), EncodeBlock(content.data(), content.size()));
}

class AssetPack : public testsupport::TempDirTest {
 protected:
  void TearDown() override {
    CloseAssetPack();
    TempDirTest::TearDown();
  }
  Bytes Next() {
    uint32_t size = 12345;
    const uint8_t* entry = NextPackEntry(&size);
    if (entry == nullptr) {
      EXPECT_EQ(size, 0u);
      return {0xDE, 0xAD};  // marks "null"
    }
    return Bytes(entry, entry + size);
  }
};

const Bytes NONE = {0xDE, 0xAD};

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

}  // namespace

TEST_F(AssetPack, EntriesComeInFileOrder) {
  Bytes picture(5000);
  for (size_t i = 0; i < picture.size(); i++) picture[i] = uint8_t(i / 40);
  Bytes pack;
  AddCompressed(pack, picture);
  AddEntry(pack, 3, Text("abc"));
  AddEntry(pack, 0, {});  // an empty entry is an entry, not the end
  AddCompressed(pack, Text("sound sound sound sound sound"));
  ASSERT_NE(OpenAssetPack(WriteBytes("a.pak", pack).c_str()), 0);
  EXPECT_EQ(Next(), picture);
  EXPECT_EQ(Next(), Text("abc"));
  uint32_t size = 99;
  EXPECT_NE(NextPackEntry(&size), nullptr);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(Next(), Text("sound sound sound sound sound"));
  EXPECT_EQ(Next(), NONE);
  EXPECT_EQ(Next(), NONE);
  CloseAssetPack();
  EXPECT_EQ(NextPackEntry(), nullptr);
  CloseAssetPack();  // twice: nothing open
}

TEST_F(AssetPack, StoredEntryIsReturnedAsStoredEvenWithTheMagic) {
  Bytes stored = {'J', 'C', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  Bytes pack;
  AddEntry(pack, uint32_t(stored.size()), stored);
  ASSERT_NE(OpenAssetPack(WriteBytes("s.pak", pack).c_str()), 0);
  EXPECT_EQ(Next(), stored);
}

TEST_F(AssetPack, DamagedBlockStillGivesItsEntry) {
  Bytes content(300, 'x');
  Bytes block = EncodeBlock(content.data(), content.size());
  Bytes pack;
  AddEntry(pack, 300, Bytes(block.begin(), block.begin() + 12));  // stream cut off
  Bytes notABlock = {'X', 'Y', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  AddEntry(pack, 20, notABlock);  // no "JC": nothing decoded
  AddEntry(pack, 2, block);       // says 2 bytes, the stream makes 300: stops in bounds
  AddCompressed(pack, Text("after"));
  ASSERT_NE(OpenAssetPack(WriteBytes("d.pak", pack).c_str()), 0);
  Bytes first = Next();
  ASSERT_EQ(first.size(), 300u);
  size_t made = 0;
  while (made < first.size() && first[made] == 'x') made++;
  for (size_t i = made; i < first.size(); i++) EXPECT_EQ(first[i], 0) << i;
  EXPECT_EQ(Next(), Bytes(20, 0));
  EXPECT_EQ(Next(), (Bytes{'x', 0}));  // the match that would not fit is left out
  EXPECT_EQ(Next(), Text("after"));
}

TEST_F(AssetPack, EmptyMissingAndShortPacks) {
  ASSERT_NE(OpenAssetPack(WriteBytes("empty.pak", {}).c_str()), 0);
  EXPECT_EQ(Next(), NONE);

  EXPECT_EQ(OpenAssetPack((dir + "/missing.pak").c_str()), 0);
  EXPECT_EQ(Next(), NONE);
  EXPECT_EQ(OpenAssetPack(dir.c_str()), 0);  // a folder is no pack

  // A header cut short after a whole entry is the end of the pack.
  for (size_t extra = 1; extra <= 7; extra++) {
    Bytes pack;
    AddEntry(pack, 3, Text("abc"));
    for (size_t i = 0; i < extra; i++) pack.push_back(1);
    ASSERT_NE(OpenAssetPack(WriteBytes("cut.pak", pack).c_str()), 0);
    EXPECT_EQ(Next(), Text("abc"));
    EXPECT_EQ(Next(), NONE) << extra;
  }
}

TEST_F(AssetPack, OversizedEntriesAreRefused) {
  struct Case {
    uint32_t unpacked;
    uint32_t packed;
    size_t bytesPresent;
  } cases[] = {
      {100, 100, 99},               // stored, data cut short
      {0xFFFFFFFF, 0xFFFFFFFF, 8},  // stored, claims 4 GiB
      {2000, 1000, 10},             // compressed, data cut short
      {0xF0000000, 20, 20},         // compressed, claims gigabytes from 20 bytes
      {300u << 20, 1u << 20, 0},    // compressed, over the hard cap (checked before reading)
      {5000000, 12, 12},            // more than the stream could make
      {50, 4, 4},                   // compressed entry shorter than a block header
  };
  for (const Case& c : cases) {
    Bytes pack;
    AddEntry(pack, 1, Text("k"));
    Put32(pack, c.unpacked);
    Put32(pack, c.packed);
    Bytes data(c.bytesPresent, 0);
    if (data.size() >= 2) data[0] = 'J', data[1] = 'C';
    pack.insert(pack.end(), data.begin(), data.end());
    if (data.size() == c.packed) AddEntry(pack, 1, Text("z"));
    ASSERT_NE(OpenAssetPack(WriteBytes("big.pak", pack).c_str()), 0);
    uint32_t size;
    const uint8_t* kept = NextPackEntry(&size);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(NextPackEntry(&size), nullptr) << c.unpacked << " " << c.packed;
    // The refused entry ends the pack; the last good entry stays valid.
    EXPECT_EQ(NextPackEntry(&size), nullptr);
    EXPECT_EQ(kept[0], 'k');
  }
  // A highly compressed entry of ours is within the bound.
  Bytes zeros(4u << 20, 0);
  Bytes pack;
  AddCompressed(pack, zeros);
  ASSERT_LT(pack.size(), 400u);
  ASSERT_NE(OpenAssetPack(WriteBytes("zeros.pak", pack).c_str()), 0);
  EXPECT_EQ(Next(), zeros);
}

TEST_F(AssetPack, OpeningAgainClosesTheFirstPack) {
  Bytes a, b;
  AddEntry(a, 3, Text("one"));
  AddEntry(a, 3, Text("two"));
  AddEntry(b, 5, Text("three"));
  std::string pathA = WriteBytes("a.pak", a), pathB = WriteBytes("b.pak", b);
  ASSERT_NE(OpenAssetPack(pathA.c_str()), 0);
  EXPECT_EQ(Next(), Text("one"));
  ASSERT_NE(OpenAssetPack(pathB.c_str()), 0);
  EXPECT_EQ(Next(), Text("three"));
  EXPECT_EQ(Next(), NONE);
  ASSERT_NE(OpenAssetPack(pathA.c_str()), 0);  // from the start again
  EXPECT_EQ(Next(), Text("one"));
  // A failed open leaves no pack open.
  EXPECT_EQ(OpenAssetPack((dir + "/none.pak").c_str()), 0);
  EXPECT_EQ(Next(), NONE);
}
