// Numbered data files: one byte per call through a 4096-byte buffer that
// holds either read-ahead data or bytes waiting to be written.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/command_line.h"
#include "media/internal.h"
#include "media/media.h"

namespace {

constexpr int BUFFER_SIZE = 4096;
// Numbers beyond this are refused so that a stray number cannot grow the
// table without bound.
constexpr int MAX_FILE_NUMBER = 65535;

struct DataFile {
  int handle = -1;
  uint8_t buffer[BUFFER_SIZE];
  int bufferSize = BUFFER_SIZE;
  int bufferFill = 0;  // bytes read into the buffer by the last refill
  int bufferLeft = 0;  // reading: unread bytes left; writing: free bytes left
  bool reading = true;
};

std::vector<std::unique_ptr<DataFile>> files;

DataFile* FileAt(int n) {
  if (n < 0 || n >= static_cast<int>(files.size())) return nullptr;
  return files[n].get();
}

// Writes everything to the file, retrying short writes; errors are dropped.
void WriteAll(int handle, const uint8_t* bytes, size_t count) {
  while (count > 0) {
    ssize_t done = write(handle, bytes, count);
    if (done <= 0) return;
    bytes += done;
    count -= static_cast<size_t>(done);
  }
}

void FlushWriteBuffer(DataFile& f) {
  int pending = f.bufferSize - f.bufferLeft;
  if (pending > 0) WriteAll(f.handle, f.buffer, static_cast<size_t>(pending));
  f.bufferLeft = f.bufferSize;
}

}  // namespace

int OpenDataFile(int n, const char* fileName) {
  if (n < 0 || n > MAX_FILE_NUMBER || fileName == nullptr) return 0;
  CloseDataFile(n);
  // Read and write, created empty when missing, never truncated. The name
  // is UTF-8 and takes "/" and "\" alike as the folder separator.
  int handle = open(PathFromUtf8(fileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (handle < 0) return 0;
  if (n >= static_cast<int>(files.size())) files.resize(n + 1);
  files[n] = std::make_unique<DataFile>();
  files[n]->handle = handle;
  return 1;
}

int ReadFileByte(int n) {
  DataFile* f = FileAt(n);
  if (f == nullptr) return 0;
  if (!f->reading) {
    FlushWriteBuffer(*f);
    f->reading = true;
    f->bufferFill = 0;
    f->bufferLeft = 0;
  }
  if (f->bufferLeft < 1) {
    ssize_t got = read(f->handle, f->buffer, f->bufferSize);
    f->bufferFill = f->bufferLeft = got > 0 ? static_cast<int>(got) : 0;
    if (f->bufferLeft < 1) return 0;
  }
  uint8_t byte = f->buffer[f->bufferFill - f->bufferLeft];
  f->bufferLeft--;
  return static_cast<int8_t>(byte);
}

int WriteFileByte(int n, int value) {
  DataFile* f = FileAt(n);
  if (f == nullptr) return 0;
  if (f->reading) {
    // Unread read-ahead bytes are given back so that writing continues at
    // the position the reader had reached.
    if (f->bufferLeft > 0) lseek(f->handle, -static_cast<off_t>(f->bufferLeft), SEEK_CUR);
    f->reading = false;
    f->bufferLeft = f->bufferSize;
  }
  if (f->bufferLeft <= 1) FlushWriteBuffer(*f);
  f->buffer[f->bufferSize - f->bufferLeft] = static_cast<uint8_t>(value);
  f->bufferLeft--;
  return 1;
}

void CloseDataFile(int n) {
  DataFile* f = FileAt(n);
  if (f == nullptr) return;
  if (!f->reading) FlushWriteBuffer(*f);
  close(f->handle);
  files[n].reset();
}

void CloseAllFiles() {
  for (int n = 0; n < static_cast<int>(files.size()); n++) CloseDataFile(n);
}

void ResetFileState() {
  CloseAllFiles();
  files.clear();
}
