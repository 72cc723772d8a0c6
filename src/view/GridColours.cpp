#include "view/GridColours.h"

namespace GridColours {
QRgb gridLine = 0xFF000000;
QRgb gridFill = 0x00FFFFFF;
QRgb placeLine = 0x80808080;
QRgb placeFill = 0x80C0C0C0;
} // namespace GridColours
