#pragma once

// Messages the player must see even when the game's own GUI cannot show them
// (the window failed, a texture file is broken). They appear in a system message
// box while the window system is up, and on standard error otherwise, so that a run
// without a display or a unit test never waits for a click.

enum class MessageIcon { kError, kWarning, kInformation };

void ShowMessageBox(const char* title, const char* text, MessageIcon icon = MessageIcon::kWarning);

// A question with Yes and No buttons; true for Yes. Without a message box the
// question goes to standard error and the answer is No.
bool AskYesNo(const char* title, const char* text);
