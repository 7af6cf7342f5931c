// vantormap: converts map files to an editable text form and back, and checks
// whether a map can be played to its end.
//
//   vantormap compile TEXT MAP   text -> 4182-byte map file
//   vantormap dump MAP           map file -> text on standard output
//   vantormap check MAP          counts of the markers; exit 1 when incomplete
//   vantormap link MAP [BASE]    the link to the game page with the map inside
//   vantormap unlink LINK MAP    the map of a link -> 4182-byte map file

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "formats/maplink.h"
#include "formats/mapfile.h"
#include "formats/maptext.h"
#include "media/command_line.h"

namespace {

int Usage() {
  std::fputs(
      "usage: vantormap compile TEXT MAP   write the map file MAP from the text file TEXT\n"
      "       vantormap dump MAP           print the map file MAP as text\n"
      "       vantormap check MAP          count start points, target platforms and prisoners;\n"
      "                                    exit status 1 when the map cannot be completed\n"
      "       vantormap link MAP [BASE-URL]  print the link that carries the map file MAP\n"
      "                                    (BASE-URL defaults to vantor.html)\n"
      "       vantormap unlink LINK MAP    write the map carried by LINK to the map file MAP\n",
      stderr);
  return 1;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "vantormap: %s\n", message.c_str());
  return 1;
}

bool ReadWholeFile(const char* path, std::string& contents) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// Map files are read as the game reads them, but without its habit of
// creating a file that is missing.
bool LoadMap(const char* path, MapLayer& terrainGrid, MapLayer& objectGrid) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<char> bytes(MAP_FILE_SIZE);
  in.read(bytes.data(), MAP_FILE_SIZE);
  if (in.bad()) return false;
  MapFromBytes(reinterpret_cast<const uint8_t*>(bytes.data()), size_t(in.gcount()), terrainGrid,
               objectGrid);
  return true;
}

int Compile(const char* textPath, const char* mapPath) {
  std::string text;
  if (!ReadWholeFile(textPath, text)) return Fail(std::string("cannot read ") + textPath);
  MapLayer terrainGrid, objectGrid;
  MapTextError error;
  if (!MapFromText(text, terrainGrid, objectGrid, error)) {
    std::fprintf(stderr, "%s:%d:%d: %s\n", textPath, error.line, error.column,
                 error.message.c_str());
    return 1;
  }
  // WriteMapFile keeps whatever lies past 4182 bytes of an existing file; a
  // compiled map is the map and nothing else.
  std::ofstream truncate(mapPath, std::ios::binary | std::ios::trunc);
  if (!truncate) return Fail(std::string("cannot write ") + mapPath);
  truncate.close();
  if (!WriteMapFile(mapPath, terrainGrid, objectGrid))
    return Fail(std::string("cannot write ") + mapPath);
  return 0;
}

int Dump(const char* mapPath) {
  MapLayer terrainGrid, objectGrid;
  if (!LoadMap(mapPath, terrainGrid, objectGrid)) return Fail(std::string("cannot read ") + mapPath);
  const std::string text = MapToText(terrainGrid, objectGrid);
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
    return Fail("cannot write the text");
  return 0;
}

// Things that pass the count but still spoil a level: the game plays from the
// last start point only, and a prisoner outside the playing area is counted
// but can never be picked up.
void PrintWarnings(const MapLayer& objectGrid, const MapMarkerCounts& counts) {
  if (counts.startCount > 1)
    std::printf("warning: %d start points; the game starts at the last one\n", counts.startCount);
  int outside = 0;
  for (int x = 0; x < MAP_FILE_COLUMNS; x++)
    for (int y = 0; y < MAP_FILE_ROWS; y++)
      if ((x == MAP_WIDTH || y == MAP_HEIGHT) && objectGrid.at(x, y) == OBJECT_PRISONER) outside++;
  if (outside > 0)
    std::printf("warning: %d prisoners in column 50 or row 40 can never be freed\n", outside);
}

int Check(const char* mapPath) {
  MapLayer terrainGrid, objectGrid;
  if (!LoadMap(mapPath, terrainGrid, objectGrid)) return Fail(std::string("cannot read ") + mapPath);
  const MapMarkerCounts counts = CountMapMarkers(terrainGrid, objectGrid);
  std::printf("start points: %d\ntarget platforms: %d\nprisoners: %d\n", counts.startCount,
              counts.targetCount, counts.prisonerCount);
  PrintWarnings(objectGrid, counts);
  if (MapIsComplete(counts)) {
    std::printf("complete\n");
    return 0;
  }
  std::printf("not complete: a map needs a start point, a target platform and a prisoner\n");
  return 1;
}

// Only a file of exactly one map has a link: anything else is no map.
int Link(const char* mapPath, const char* base) {
  std::string bytes;
  if (!ReadWholeFile(mapPath, bytes)) return Fail(std::string("cannot read ") + mapPath);
  if (bytes.size() != size_t(MAP_FILE_SIZE))
    return Fail(std::string(mapPath) + " is not a map: a map file has 4182 bytes");
  std::printf("%s%s%s\n", base, MAP_LINK_KEY,
              MapToLinkText(reinterpret_cast<const uint8_t*>(bytes.data())).c_str());
  return 0;
}

int Unlink(const char* link, const char* mapPath) {
  const std::vector<uint8_t> map = MapFromLinkText(LinkTextOf(link));
  if (map.empty()) return Fail("the link holds no valid map (cut off, altered or made up)");
  std::ofstream out(mapPath, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(map.data()), std::streamsize(map.size()));
  out.close();
  if (!out) return Fail(std::string("cannot write ") + mapPath);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    PrintVersion("vantormap");
    return 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "compile") == 0) return Compile(argv[2], argv[3]);
  if (argc == 3 && std::strcmp(argv[1], "dump") == 0) return Dump(argv[2]);
  if (argc == 3 && std::strcmp(argv[1], "check") == 0) return Check(argv[2]);
  if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "link") == 0)
    return Link(argv[2], argc == 4 ? argv[3] : "vantor.html");
  if (argc == 4 && std::strcmp(argv[1], "unlink") == 0) return Unlink(argv[2], argv[3]);
  return Usage();
}
