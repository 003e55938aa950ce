#pragma once

#include <vector>

namespace makeart {

constexpr int effectRate = 22050; // the short interface sounds
constexpr int musicRate = 44100;  // the jingle

std::vector<double> menuClick();       // a click of a few milliseconds
std::vector<double> elementsPop();     // the short pop when elements appear or join
std::vector<double> menuOpen();        // half a second of soft knocking on wood
std::vector<double> congratulations(); // a cheerful jingle of two to three seconds

} // namespace makeart
