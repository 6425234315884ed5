#pragma once

// Sends a window the message a window manager sends when its close button is
// clicked, as a player closing the game would. False when it cannot be sent.
bool AskXWindowToClose(unsigned long xWindow);
