// The angle units a plain number stands for in trigonometry, in the order of the angular default
// setting (0 rad, 1 deg, 2 grad, 3 rev), which is also the order of the inverse functions' codes.
#pragma once

#include <array>
#include <string_view>

constexpr std::array<std::string_view, 4> AngleUnitNames{"rad", "deg", "grad", "rev"};
