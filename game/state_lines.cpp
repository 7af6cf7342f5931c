// The game's state as "name value" lines, one per line: every whole-number
// field, the status message (quoted) and the sizes of the world lists. What
// vantorreplay prints and what the browser page's test hook returns.
#include <string>

#include "game/game.h"

namespace {

void AddLine(std::string& out, const char* name, const std::string& value) {
  out += name;
  out += ' ';
  out += value;
  out += '\n';
}

}  // namespace

std::string QuotedText(const std::string& text) {
  std::string q = "\"";
  // One line per report entry: a message's line break is written as \n.
  for (char c : text) {
    if (c == '\n') {
      q += "\\n";
      continue;
    }
    if (c == '"' || c == '\\') q += '\\';
    q += c;
  }
  return q + "\"";
}

std::string GameStateLines() {
  std::string out;
#define ADD_FIELD(name) AddLine(out, #name, std::to_string(game.name));
  GAME_INT_FIELDS(ADD_FIELD)
#undef ADD_FIELD
  AddLine(out, "statusMessage", QuotedText(game.statusMessage));
  AddLine(out, "terrainItems", std::to_string(game.terrainList.Size()));
  AddLine(out, "objectItems", std::to_string(game.objectList.Size()));
  AddLine(out, "backdropItems", std::to_string(game.backdropList.Size()));
  AddLine(out, "shots", std::to_string(game.shotList.Size()));
  AddLine(out, "rockets", std::to_string(game.rocketList.Size()));
  return out;
}
