// Where the Windows programs play (player_folder_win32.cpp).
#pragma once

// Makes the player's folder the working folder, where the programs find
// their pack and "maps": the program's own folder for a portable copy (one
// with "portable.txt" beside the .exe), otherwise %LOCALAPPDATA%\vantor,
// prepared from the installed files. When that cannot be done it says so in
// a message box and ends the process.
void EnterPlayerFolder();
