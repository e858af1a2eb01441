#pragma once

#include "views/core/ManagerCells.h"

#include <QImage>

// The 30 x 15 pictures of the management list, drawn by code (transparent background):
// a receiver (antenna and box), a router (two arrows), a logger (thermometer), each in colour
// when connected or in a known state and grey otherwise; four signal bars; a battery with five
// steps. A null image for None.
namespace ManagerPictures {

constexpr int kWidth = 30;
constexpr int kHeight = 15;

[[nodiscard]] QImage State(StatePicture picture);
[[nodiscard]] QImage Rf(RfPicture picture);
[[nodiscard]] QImage Power(PowerPicture picture);

} // namespace ManagerPictures
