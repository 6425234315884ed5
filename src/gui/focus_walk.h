#pragma once

class Widget;

// Moves the focus between the buttons of the menu on top, for players without a
// mouse (a game pad's d-pad): the buttons of the deepest modal widget in the focus
// chain below `top` (a screen, its message box, the in-race menu), in reading order,
// top to bottom and then left to right. `step` 1 goes to the next button, -1 to the
// previous one, wrapping round; with none focused yet, the first or the last. The
// button also takes the hover, so it is drawn highlighted. False when there is no
// button to go to.
bool MoveFocus(Widget& top, int step);
