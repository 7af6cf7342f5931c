// The check of a map file named on the command line, shared by the game and
// the editor so that both refuse the same files in the same words.
#include "formats/map_argument.h"

#include <fstream>
#include <system_error>

#include "formats/mapfile.h"
#include "media/command_line.h"
#include "media/media.h"

MapFileCheck CheckMapFile(const std::string& name) {
  const std::filesystem::path path = PathFromUtf8(name);
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) return MapFileCheck::MISSING;
  if (error) return MapFileCheck::UNREADABLE;
  if (status.type() != std::filesystem::file_type::regular) return MapFileCheck::NOT_A_MAP;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return MapFileCheck::UNREADABLE;
  if (size != MAP_FILE_SIZE) return MapFileCheck::NOT_A_MAP;
  // Both programs open map files for reading and writing; one that cannot
  // be opened so is refused now rather than at F2. Opening writes nothing.
  const std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  return file.is_open() ? MapFileCheck::MAP : MapFileCheck::UNREADABLE;
}

void AcceptMapFileArgument(const std::string& name, bool missingIsNew) {
  const char* problem = nullptr;
  switch (CheckMapFile(name)) {
    case MapFileCheck::MAP: return;
    case MapFileCheck::MISSING:
      if (missingIsNew) return;
      problem = "Kann Datei nicht öffnen";
      break;
    case MapFileCheck::UNREADABLE: problem = "Kann Datei nicht öffnen"; break;
    case MapFileCheck::NOT_A_MAP: problem = "Datei ist keine Karte"; break;
  }
  ShowMessageBox("Fehler", (std::string(problem) + "\n" + name).c_str(), 0);
  ProgramEnd();
}
