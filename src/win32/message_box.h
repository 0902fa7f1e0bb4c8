// The game's one message box as a Windows box: its texts converted to UTF-16 and shown with MessageBoxW.
#pragma once

// Installs the box as the game's message box handler; the game window owns it.
void UseWindowsMessageBox();
