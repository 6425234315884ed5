#pragma once

class PathMover;

// Whether movers `a` and `b` meet in this step, either within `radius` of each other
// or by passing along the same edge; when they do, the ones to block are pushed back
// (Respond). A bullet test (`isBullet`, b being the bullet) never blocks the bullet.
bool Collide(PathMover& a, PathMover& b, float radius, bool isBullet);

// Pushes back a (when blockA and it belongs to another player than b) and, in a
// ship-against-ship test, b (when blockB). A mover pushed back twice in one step stops.
void Respond(PathMover& a, PathMover& b, bool blockA, bool blockB, bool isBullet);
