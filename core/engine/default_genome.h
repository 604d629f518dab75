// The built-in genome: the 61 codes that a new world starts from when no initial gene file
// is given. It grows a leaf and a flower, feeds them, breeds the flower and jumps back.
#pragma once

inline constexpr int kDefaultGenomeSize = 61;
inline constexpr int kDefaultGenome[kDefaultGenomeSize] = {
    19, 14, 12, 10, 10, 2,  10, 10, 18, 14, 12, 10, 10, 10, 10, 10, 2,  10, 10, 10, 10,
    24, 14, 12, 10, 10, 10, 2,  28, 20, 12, 2,  23, 12, 10, 2,  27, 2,  17, 30, 30, 2,
    22, 12, 10, 12, 10, 2,  26, 2,  1,  1,  16, 29, 29, 31, 2,  5,  0,  0,  2,
};
inline constexpr double kDefaultInitialEnergy = 1000.0;
