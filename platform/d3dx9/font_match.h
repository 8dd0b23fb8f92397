// Face matching: a requested face name, weight and slant become an installed
// font file through fontconfig, with a per-character fallback chain.
#pragma once

#include <memory>
#include <string>
#include <thread>

namespace plat {

// What a font request asks for, before any file is chosen.
struct FontRequest {
    std::wstring face;            // requested family ("Arial"); empty: by family bits
    int weight = 400;             // FW_* scale; 0 means normal
    bool italic = false;          // slanted
    unsigned pitchAndFamily = 0;  // *_PITCH | FF_*
};

// An installed font chosen for a request.
struct FontFile {
    std::string path;          // font file
    int index = 0;             // face index inside the file
    bool synthBold = false;    // request is bold but the file is not: embolden outlines
    bool synthItalic = false;  // request is italic but the file is upright: shear outlines
};

// Loads the font configuration and font lists on a second thread, so that the
// first font a program creates does not wait for it (several milliseconds,
// more on a cold disk). Matching waits for the load if it is still running.
// The destructor waits for the thread.
class FontMatchingWarmUp {
  public:
    FontMatchingWarmUp();
    ~FontMatchingWarmUp();
    FontMatchingWarmUp(const FontMatchingWarmUp&) = delete;
    FontMatchingWarmUp& operator=(const FontMatchingWarmUp&) = delete;

  private:
    std::thread m_thread;
};

// The best installed font for a request; false when no font is installed at all.
bool MatchFontFile(const FontRequest& request, FontFile* out);

// Fonts in preference order for one request, for characters the chosen font lacks.
class FontFallbackChain {
  public:
    explicit FontFallbackChain(const FontRequest& request);
    ~FontFallbackChain();
    FontFallbackChain(const FontFallbackChain&) = delete;
    FontFallbackChain& operator=(const FontFallbackChain&) = delete;

    // The first font in the chain that covers ch; false when none does.
    bool Find(char32_t ch, FontFile* out);

  private:
    struct Chain;
    FontRequest m_request;
    std::unique_ptr<Chain> m_chain;  // sorted lazily on the first lookup
};

}  // namespace plat
