#pragma once

class Widget;

// Moves the focus between the stops of the menu on top, for players without a mouse
// (a game pad's d-pad): the buttons, choosable lists and sliders of the deepest modal
// widget in the focus chain below `top` (a screen, its message box, the in-race
// menu), in reading order, top to bottom and then left to right. `step` 1 goes to the
// next stop, -1 to the previous one, wrapping round; with none focused yet, the first
// or the last. The stop also takes the hover, so it is drawn highlighted. False when
// there is no stop to go to.
bool MoveFocus(Widget& top, int step);

// An arrow of a player without a mouse: the focused stop uses it when it can (a list
// chooses the next row, a slider moves), otherwise the focus walks on, left and up
// to the previous stop, right and down to the next one.
void WalkByArrow(Widget& top, int arrowCode);
