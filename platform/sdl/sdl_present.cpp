// SDL backend: showing finished frames in a window, the cheapest way the
// display offers.
//
// Two paths:
//   window surface  the frame's changed rows are copied into SDL's window
//                   surface (a shared-memory image on X11) and only those rows
//                   are sent to the display; presents are paced to the
//                   display's refresh. No OpenGL is loaded.
//   renderer        the frame is uploaded into a streaming texture of SDL's
//                   accelerated renderer, which scales it to the drawable and
//                   waits for the vertical blank.
// The renderer is worth it only on real graphics hardware; without it
// (no GPU, Xvfb, remote X) it is OpenGL on a second software rasterizer that
// draws the whole window again. TUMBRAL_PRESENT=surface|renderer|auto
// (default auto) chooses; auto takes the window surface unless hardware
// rendering looks available, and drops a renderer that turns out to be a
// software OpenGL implementation.
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/base/printable_text.h"
#include "platform/sdl/sdl_backend_impl.h"
#include "platform/sdl/sdl_x11_probe.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace plat {
namespace {

// The OpenGL driver behind a renderer keeps a little memory for the life of
// the process and is unloaded before the sanitizer's leak check, which can
// then no longer name it, so no suppression by library can match: what is
// allocated while a renderer is made or draws is left out of that check.
struct DriverAllocationsUnchecked {
#if defined(__SANITIZE_ADDRESS__)
    DriverAllocationsUnchecked() { __lsan_disable(); }
    ~DriverAllocationsUnchecked() { __lsan_enable(); }
#endif
};

SDL_Renderer* CreateRenderer(SDL_Window* window, Uint32 flags) {
    [[maybe_unused]] DriverAllocationsUnchecked unchecked;
    return SDL_CreateRenderer(window, -1, flags);
}

// A render node this process may open: the kernel has a GPU driver for us.
bool HasRenderNode() {
    DIR* dir = opendir("/dev/dri");
    if (!dir) return false;
    bool found = false;
    while (dirent* e = readdir(dir)) {
        if (std::strncmp(e->d_name, "renderD", 7) != 0) continue;
        std::string path = std::string("/dev/dri/") + e->d_name;
        if (access(path.c_str(), R_OK | W_OK) == 0) {
            found = true;
            break;
        }
    }
    closedir(dir);
    return found;
}

// An X server can hand a client direct hardware rendering only through DRI; a
// display on another host, or a server without DRI (Xvfb, Xvnc), cannot.
bool X11OffersDirectRendering(SDL_Window* window) {
    const char* display = std::getenv("DISPLAY");
    if (display && display[0] != ':' && std::strncmp(display, "unix:", 5) != 0) return false;
    return X11ServerOffersDri(window);
}

// Names under which Mesa's software rasterizers report themselves.
bool SoftwareGlRenderer(const char* name) {
    if (!name) return false;
    for (const char* soft : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast", "SWR"})
        if (std::strstr(name, soft)) return true;
    return false;
}

// The renderer draws with OpenGL on a software rasterizer.
bool RendererIsSoftwareGl(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0) return false;
    if (info.flags & SDL_RENDERER_SOFTWARE) return true;
    if (!info.name || std::strncmp(info.name, "opengl", 6) != 0) return false;
    using GetString = const unsigned char* (*)(unsigned int);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    constexpr unsigned int kGlRenderer = 0x1F01;
    return getString && SoftwareGlRenderer(reinterpret_cast<const char*>(getString(kGlRenderer)));
}

}  // namespace

SdlBackend::PresentPath SdlBackend::ChoosePresentPath(SDL_Window* window) {
    const char* setting = std::getenv("TUMBRAL_PRESENT");
    std::string want = setting ? setting : "auto";
    if (want == "surface") return PresentPath::Surface;
    if (want == "renderer") return PresentPath::Renderer;
    if (want != "auto" && !want.empty())
        std::fprintf(stderr, "tumbral: TUMBRAL_PRESENT=\"%s\" is not surface, renderer or auto; using auto\n",
                     PrintableText(setting).c_str());
    const char* soft = std::getenv("LIBGL_ALWAYS_SOFTWARE");
    if (soft && *soft && std::strcmp(soft, "0") != 0) return PresentPath::Surface;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && !std::strcmp(driver, "x11"))
        return HasRenderNode() && X11OffersDirectRendering(window) ? PresentPath::Renderer
                                                                   : PresentPath::Surface;
    if (driver && !std::strcmp(driver, "wayland"))
        return HasRenderNode() ? PresentPath::Renderer : PresentPath::Surface;
    return PresentPath::Renderer;
}

void SdlBackend::SetUpPresentation(Window& w, PresentPath path) {
    w.path = path;
    if (path == PresentPath::Renderer) {
        w.renderer = CreateRenderer(w.window, SDL_RENDERER_ACCELERATED);
        bool chosen =
            std::getenv("TUMBRAL_PRESENT") && !std::strcmp(std::getenv("TUMBRAL_PRESENT"), "renderer");
        if (w.renderer && !chosen && RendererIsSoftwareGl(w.renderer)) {
            SDL_DestroyRenderer(w.renderer);
            w.renderer = nullptr;
        }
        if (w.renderer) return;
        if (chosen) {
            w.renderer = CreateRenderer(w.window, SDL_RENDERER_SOFTWARE);
            if (w.renderer) return;
        }
        w.path = PresentPath::Surface;
    }
    // SDL would otherwise back the window surface with a texture of an accelerated renderer.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    w.presentAll = true;
}

void SdlBackend::Present(NativeWindowId id, const FrameView& frame, bool vsync) {
    Window* w = Find(id);
    if (!w || !frame.pixels || frame.width <= 0 || frame.height <= 0 || frame.pitchPixels < frame.width)
        return;
    framePresented_ = true;
    // Changed rows are relative to the source's previous frame, which this window may not show.
    if (!frame.source || frame.source != w->lastSource) w->presentAll = true;
    w->lastSource = frame.source;
    if (w->path == PresentPath::Surface) {
        if (PresentToSurface(*w, frame)) {
            if (vsync) w->pacer.Wait(RefreshRate(*w));
            return;
        }
        // No window surface (the display refused one): the renderer instead, from now on.
        std::fprintf(stderr, "tumbral: no window surface (%s); presenting through SDL's renderer\n",
                     PrintableText(SDL_GetError()).c_str());
        w->path = PresentPath::Renderer;
        w->renderer = SDL_CreateRenderer(w->window, -1, SDL_RENDERER_ACCELERATED);
        if (!w->renderer) w->renderer = SDL_CreateRenderer(w->window, -1, SDL_RENDERER_SOFTWARE);
        w->presentAll = true;
    }
    PresentToRenderer(*w, frame, vsync);
}

int SdlBackend::RefreshRate(const Window& w) const {
    SDL_DisplayMode mode{};
    if (SDL_GetWindowDisplayMode(w.window, &mode) == 0 && mode.refresh_rate > 0) return mode.refresh_rate;
    int display = SDL_GetWindowDisplayIndex(w.window);
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0)
        return mode.refresh_rate;
    return 60;  // unknown (Xvfb reports 0)
}

bool SdlBackend::PresentToSurface(Window& w, const FrameView& frame) {
    SDL_Surface* surface = SDL_GetWindowSurface(w.window);
    if (!surface) return false;
    // A new surface (first present, resize) holds none of the previous frame.
    if (surface != w.surface || surface->w != w.surfaceWidth || surface->h != w.surfaceHeight) {
        w.surface = surface;
        w.surfaceWidth = surface->w;
        w.surfaceHeight = surface->h;
        w.presentAll = true;
    }
    bool sameSize = surface->w == frame.width && surface->h == frame.height;
    bool all = w.presentAll || frame.changedCount < 0 || !sameSize || frame.width != w.lastFrameWidth ||
               frame.height != w.lastFrameHeight;
    w.rects.clear();
    if (all) {
        w.rects.push_back(SDL_Rect{0, 0, surface->w, surface->h});
    } else {
        for (int i = 0; i < frame.changedCount; ++i) {
            int top = std::max(0, frame.changedRows[i].first);
            int bottom = std::min(frame.height, frame.changedRows[i].second);
            if (top < bottom) w.rects.push_back(SDL_Rect{0, top, frame.width, bottom - top});
        }
    }
    if (w.rects.empty()) return true;  // nothing changed: the window shows this frame already

    Uint32 format = surface->format->format;
    bool direct = sameSize && (format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888);
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
    if (direct) {
        for (const SDL_Rect& r : w.rects)
            for (int y = r.y; y < r.y + r.h; ++y)
                std::memcpy(static_cast<char*>(surface->pixels) + size_t(y) * surface->pitch,
                            frame.pixels + size_t(y) * frame.pitchPixels, size_t(frame.width) * 4);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (!direct) {
        // Another pixel format, or a frame of another size than the window's pixels
        // (HiDPI, a resize not yet followed by the device): SDL converts and scales.
        SDL_Surface* source =
            SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(frame.pixels), frame.width, frame.height,
                                               32, frame.pitchPixels * 4, SDL_PIXELFORMAT_RGB888);
        if (!source) return false;
        SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
        int rc = 0;
        if (sameSize) {
            for (SDL_Rect r : w.rects) {
                SDL_Rect d = r;
                rc |= SDL_BlitSurface(source, &r, surface, &d);
            }
        } else {
            rc = SDL_BlitScaled(source, nullptr, surface, nullptr);
        }
        SDL_FreeSurface(source);
        if (rc != 0) return false;
    }
    if (SDL_UpdateWindowSurfaceRects(w.window, w.rects.data(), int(w.rects.size())) != 0) {
        w.presentAll = true;  // the display may not show this frame: send all of the next
        return true;
    }
    w.presentAll = false;
    w.lastFrameWidth = frame.width;
    w.lastFrameHeight = frame.height;
    return true;
}

void SdlBackend::PresentToRenderer(Window& w, const FrameView& frame, bool vsync) {
    if (!w.renderer) return;
    [[maybe_unused]] DriverAllocationsUnchecked unchecked;
    bool all = w.presentAll || frame.changedCount < 0;
    if (!w.texture || w.textureWidth != frame.width || w.textureHeight != frame.height) {
        if (w.texture) SDL_DestroyTexture(w.texture);
        w.texture = SDL_CreateTexture(w.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                      frame.width, frame.height);
        if (!w.texture) return;
        SDL_SetTextureBlendMode(w.texture, SDL_BLENDMODE_NONE);
        w.textureWidth = frame.width;
        w.textureHeight = frame.height;
        all = true;
    }
    if (w.vsync != int(vsync)) {
        SDL_RenderSetVSync(w.renderer, vsync ? 1 : 0);
        w.vsync = vsync;
    }
    if (all) {
        SDL_UpdateTexture(w.texture, nullptr, frame.pixels, frame.pitchPixels * 4);
    } else {
        for (int i = 0; i < frame.changedCount; ++i) {
            int top = std::max(0, frame.changedRows[i].first);
            int bottom = std::min(frame.height, frame.changedRows[i].second);
            if (top >= bottom) continue;
            SDL_Rect r{0, top, frame.width, bottom - top};
            SDL_UpdateTexture(w.texture, &r, frame.pixels + size_t(top) * frame.pitchPixels,
                              frame.pitchPixels * 4);
        }
    }
    w.presentAll = false;
    SDL_RenderClear(w.renderer);
    // Scales to the drawable size, which differs from the window size on HiDPI screens.
    SDL_RenderCopy(w.renderer, w.texture, nullptr, nullptr);
    SDL_RenderPresent(w.renderer);
}

}  // namespace plat
