// What SDL itself has opened, asked outside the test framework's headers.
#pragma once

namespace tumbral_test {

// True while SDL's game-controller subsystem is open.
bool GameControllersOpen();

}  // namespace tumbral_test
