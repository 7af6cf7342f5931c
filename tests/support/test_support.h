// Helpers the test programs share: little-endian byte writers, whole-file
// reads and writes, a fixture with a fresh temporary folder per test, and
// running a built tool with its output captured.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace testsupport {

using Bytes = std::vector<uint8_t>;

// Appended little-endian, as every file format here stores its numbers.
inline void Put16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
// A four-character chunk or tag name such as "RIFF".
inline void PutId(Bytes& b, const char* id) { b.insert(b.end(), id, id + 4); }

// Overwritten in place at byte `at`.
inline void Set16(Bytes& b, size_t at, uint32_t v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}
inline void Set32(Bytes& b, size_t at, uint32_t v) {
  Set16(b, at, v & 0xFFFF);
  Set16(b, at + 2, v >> 16);
}

inline std::string Text(const Bytes& b) { return std::string(b.begin(), b.end()); }

// The whole file; empty if it cannot be read.
inline Bytes ReadFileBytes(const std::string& path) {
  Bytes bytes;
  FILE* f = fopen(path.c_str(), "rb");
  if (f == nullptr) return bytes;
  int c;
  while ((c = fgetc(f)) != EOF) bytes.push_back(uint8_t(c));
  fclose(f);
  return bytes;
}

// Replaces the file with `bytes`; false if it cannot be written.
inline bool WriteFileBytes(const std::string& path, const Bytes& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok;
}

// One shell word, whatever the text holds.
inline std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

struct ToolRun {
  int exitCode = -1;  // -1: did not exit normally (a crash)
  std::string out, err;
};

// Runs the built tool VANTOR_BIN_DIR/`tool` with `args` (shell words) in the
// folder `dir`; its output goes through out.txt and err.txt in that folder.
inline ToolRun RunTool(const std::string& tool, const std::string& args, const std::string& dir) {
  std::string command = "cd " + Quote(dir) + " && " + Quote(std::string(VANTOR_BIN_DIR) + "/" + tool) + " " +
                        args + " > out.txt 2> err.txt";
  int status = std::system(command.c_str());
  ToolRun r;
  if (WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
  r.out = Text(ReadFileBytes(dir + "/out.txt"));
  r.err = Text(ReadFileBytes(dir + "/err.txt"));
  return r;
}

// A new empty folder under the temporary folder; empty if none could be made.
inline std::string MakeTempFolder() {
  std::string name = (std::filesystem::temp_directory_path() / "vantor-test-XXXXXX").string();
  return mkdtemp(name.data()) ? name : std::string();
}

inline void RemoveTempFolder(const std::string& dir) {
  std::error_code error;
  if (!dir.empty()) std::filesystem::remove_all(dir, error);
  EXPECT_FALSE(error) << "cannot remove " << dir << ": " << error.message();
}

// Each test gets an empty folder `dir`, removed with all it holds afterwards.
class TempDirTest : public ::testing::Test {
 protected:
  std::string dir;

  void SetUp() override {
    dir = MakeTempFolder();
    ASSERT_FALSE(dir.empty());
  }
  void TearDown() override { RemoveTempFolder(dir); }

  std::string Path(const std::string& name) const { return dir + "/" + name; }
  // Returns the file's path.
  std::string WriteBytes(const std::string& name, const Bytes& bytes) {
    EXPECT_TRUE(WriteFileBytes(Path(name), bytes)) << "cannot write " << Path(name);
    return Path(name);
  }
  Bytes ReadBytes(const std::string& name) const { return ReadFileBytes(Path(name)); }
  std::string ReadText(const std::string& name) const { return Text(ReadBytes(name)); }
  void WriteText(const std::string& name, const std::string& text) {
    WriteBytes(name, Bytes(text.begin(), text.end()));
  }
  bool Exists(const std::string& name) const {
    std::error_code error;
    return std::filesystem::exists(Path(name), error);
  }
};

}  // namespace testsupport
