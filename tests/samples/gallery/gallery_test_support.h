// Running the gallery for its tests: where its controls are (client points of
// its layout at 1280 x 720, from samples/gallery/gallery_dialogs.cpp) and the
// events it logged ("gallery: EVENT id=N value=V" lines on its debug output).
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"

namespace gallery_test {

inline std::string GalleryBinary() {
    return std::string(TUMBRAL_BINARY_DIR) + "/samples/gallery/tumbral-gallery";
}

struct Point {
    int x, y;
    std::string Text() const { return std::to_string(x) + " " + std::to_string(y); }
};

// Dialog areas start below their captions: buttons at (10, 28), lists at (310, 28), text at (750, 28).
const Point kSayHello{85, 84};
const Point kPlum{210, 205};
const Point kSettings{105, 306};
const Point kCity{420, 65};
const Point kCityLastRow{400, 209};  // the ninth row of the open drop-down
const Point kScrollDown{538, 196};
const Point kEdit{960, 70};
const Point kImeEdit{960, 136};
const Point kSliderKnob{910, 248};  // at 50
inline Point FruitRow(int i) { return Point{370, 275 + 14 * i}; }
inline Point PlanetRow(int i) { return Point{590, 275 + 14 * i}; }
const Point kOutsideDialogs{1185, 300};  // the window's own colour
// The controls have faded in: the inside of the fruit list is at its full colour.
inline bool FadedIn(const e2e::Image& img) { return img.At(480, 289) == 0xF5F8FCu; }
const int kFocusRing = 17 + 1;  // focusable controls, and the step with no focus

// The gallery's event lines, "EVENT id=N value=V", in order.
inline std::vector<std::string> Events(const std::string& strStderr) {
    std::vector<std::string> events;
    std::istringstream in(strStderr);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("gallery: ", 0) == 0) events.push_back(line.substr(9));
    return events;
}

}  // namespace gallery_test
