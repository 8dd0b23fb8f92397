// The private X server helper of the SDL backend's tests, built into this
// test program too (the real-window scenario below starts the same session).
#include "platform/sdl/x11_session.cpp"
