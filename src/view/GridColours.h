#pragma once

#include <QRgb>

// The four grid colours every view reads when it draws (ARGB). The main window
// loads them from the "Grids" settings at start and changes the grid line.
namespace GridColours {
extern QRgb gridLine;  // default 0xFF000000
extern QRgb gridFill;  // default 0x00FFFFFF
extern QRgb placeLine; // default 0x80808080
extern QRgb placeFill; // default 0x80C0C0C0
} // namespace GridColours
