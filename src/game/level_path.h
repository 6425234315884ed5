#pragma once

#include <string>
#include <vector>

#include "base/vec3.h"
#include "game/path_graph.h"

class IniFile;
struct CobNCur;

// Reads "x,y,z" the way the level files have always been read (scanf rules): the
// numbers found go into `out` in order, the rest of it is left alone. Returns how many
// numbers were read.
int ScanVector(const std::string& text, Vec3& out);

// The path points of section [path] (point0, point0_nb, point1, ...), numbered in
// reading order. A bad position or neighbour line throws the whole path away.
std::vector<PathPoint> ReadPathFromIni(const IniFile& ini);

// The path points of a scene's curve: every third control point (the anchors), moved
// by the curve's position. Points that coincide become one, so a curve may cross itself
// or close; consecutive anchors are linked along the axis they differ in. A segment
// that runs diagonally is a broken level and ends the program.
std::vector<PathPoint> PathFromCurve(const CobNCur& curve);
