#pragma once

// Qt's raster engine hands a fill of about a hundred lines or more to its
// thread pool, and waking those threads costs more than the fill itself.
// Tall panels that repaint on every selection change paint in bands this high.
constexpr int RasterBand = 64;
