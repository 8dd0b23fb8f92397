// A request naming an X window that does not exist, on a connection of its own.
#pragma once

namespace tumbral_test {

// Sends the request and waits for the server's answer; false when no display opens.
bool SendRequestForAMissingWindow();

}  // namespace tumbral_test
