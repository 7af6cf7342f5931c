// The player's folder of the Windows programs. An installed copy lies under
// Program Files, which is not the player's to write, so each start prepares
// %LOCALAPPDATA%\vantor\ as the Linux launcher prepares its folder:
//   vantor.pak, vantoredit.pak  copies of the installed packs
//   maps\map N.map              copies of the shipped maps
// each renewed whenever the installed file differs (an upgrade brings its
// own), and
//   maps\own .map, .bak         the editor's map, never touched here.
// A copy with "portable.txt" beside its .exe (the zip) plays in its own folder.
// Paths are UTF-16 throughout, so that a user name with umlauts works.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "media/player_folder_win32.h"

namespace {

const wchar_t PORTABLE_MARKER[] = L"portable.txt";
const wchar_t OWN_MAP[] = L"own .map";

[[noreturn]] void Fail(const wchar_t* what, const std::wstring& path) {
  const std::wstring text = std::wstring(what) + L"\n" + path;
  MessageBoxW(nullptr, text.c_str(), L"Fehler", MB_OK);
  ExitProcess(0);
}

std::wstring ProgramFolder() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())));
  return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring LocalAppData() {
  PWSTR folder = nullptr;
  std::wstring path;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder))) path = folder;
  CoTaskMemFree(folder);
  return path;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFolder(const std::wstring& path) {
  if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    Fail(L"Kann Ordner nicht anlegen", path);
}

// The whole file; false when it cannot be read.
bool ReadWhole(const std::wstring& path, std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  bool read = GetFileSizeEx(file, &size) && size.QuadPart < (1 << 30);
  if (read) {
    bytes.resize(size_t(size.QuadPart));
    DWORD got = 0;
    read = bytes.empty() || (ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr) && got == bytes.size());
  }
  CloseHandle(file);
  return read;
}

bool SameContents(const std::wstring& a, const std::wstring& b) {
  std::string bytesA, bytesB;
  return ReadWhole(a, bytesA) && ReadWhole(b, bytesB) && bytesA == bytesB;
}

// Copies every file of `from` that matches `pattern` into `to`, unless the
// copy there already holds the same bytes; the own map is left out.
void RenewFiles(const std::wstring& from, const std::wstring& to, const wchar_t* pattern) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((from + L"\\" + pattern).c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName, source = from + L"\\" + name, copy = to + L"\\" + name;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == OWN_MAP || SameContents(source, copy)) continue;
    if (!CopyFileW(source.c_str(), copy.c_str(), FALSE)) Fail(L"Kann Datei nicht kopieren", copy);
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

}  // namespace

void EnterPlayerFolder() {
  const std::wstring program = ProgramFolder();
  std::wstring player = program;
  if (!Exists(program + L"\\" + PORTABLE_MARKER)) {
    const std::wstring local = LocalAppData();
    if (local.empty()) Fail(L"Kann Ordner nicht finden", L"%LOCALAPPDATA%");
    player = local + L"\\vantor";
    MakeFolder(player);
    MakeFolder(player + L"\\maps");
    RenewFiles(program, player, L"*.pak");
    RenewFiles(program + L"\\maps", player + L"\\maps", L"*.map");
  }
  if (!SetCurrentDirectoryW(player.c_str())) Fail(L"Kann Ordner nicht öffnen", player);
}
