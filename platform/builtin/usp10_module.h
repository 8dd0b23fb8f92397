// Registration of the built-in "usp10.dll" (done at start-up); tests that hide
// the module call it again to put the real entry points back.
#pragma once

namespace plat {

bool RegisterUsp10Module();

}  // namespace plat
