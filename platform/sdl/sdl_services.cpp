// SDL backend services: cursor, clipboard, message boxes and game pads.
#include <string>
#include <vector>

#include "platform/sdl/sdl_backend_impl.h"
#include "platform/base/utf8.h"
#include "platform/win32user.h"
#include "platform/xinput.h"

namespace plat {

POINT SdlBackend::CursorPos() {
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return POINT{x, y};
}

void SdlBackend::SetCursorPos(int x, int y) { SDL_WarpMouseGlobal(x, y); }

void SdlBackend::ShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void SdlBackend::ClipCursor(const RECT* r) {
    SDL_Window* focus = SDL_GetKeyboardFocus();
    if (!focus) focus = SDL_GetMouseFocus();
    for (auto& [id, w] : windows_) {
        if (!r || w.window != focus) {
            SDL_SetWindowMouseRect(w.window, nullptr);
            continue;
        }
        int wx = 0, wy = 0;
        SDL_GetWindowPosition(w.window, &wx, &wy);
        SDL_Rect local{r->left - wx, r->top - wy, r->right - r->left, r->bottom - r->top};
        SDL_SetWindowMouseRect(w.window, &local);
    }
}

void SdlBackend::CaptureMouse(bool capture) { SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE); }

bool SdlBackend::SetClipboardText(const std::string& utf8) { return SDL_SetClipboardText(utf8.c_str()) == 0; }

bool SdlBackend::GetClipboardText(std::string& utf8) {
    char* text = SDL_GetClipboardText();
    if (!text) return false;
    utf8 = text;
    SDL_free(text);
    return true;
}

int SdlBackend::ShowMessageBox(const MessageBoxRequest& req) {
    struct Button {
        int id;
        const char* label;
    };
    std::vector<Button> buttons;
    switch (req.type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            buttons = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
            break;
        case MB_ABORTRETRYIGNORE:
            buttons = {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
            break;
        case MB_YESNOCANCEL:
            buttons = {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
            break;
        case MB_YESNO:
            buttons = {{IDYES, "Yes"}, {IDNO, "No"}};
            break;
        case MB_RETRYCANCEL:
            buttons = {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
            break;
        default:
            buttons = {{IDOK, "OK"}};
            break;
    }
    size_t def = ((req.type & MB_DEFMASK) >> 8);
    if (def >= buttons.size()) def = 0;
    std::vector<SDL_MessageBoxButtonData> data;
    for (size_t i = 0; i < buttons.size(); ++i) {
        Uint32 flags = i == def ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0;
        if (buttons[i].id == IDCANCEL || (buttons.size() == 1))
            flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        data.push_back({flags, buttons[i].id, buttons[i].label});
    }
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    switch (req.type & MB_ICONMASK) {
        case MB_ICONHAND:
            flags = SDL_MESSAGEBOX_ERROR;
            break;
        case MB_ICONEXCLAMATION:
            flags = SDL_MESSAGEBOX_WARNING;
            break;
        default:
            break;
    }
    std::string text = WideToUtf8(req.text), caption = WideToUtf8(req.caption);
    SDL_Window* owner = nullptr;
    if (Window* w = Find(req.owner)) owner = w->window;
    SDL_MessageBoxData box{flags,       owner,  caption.c_str(), text.c_str(), int(data.size()),
                           data.data(), nullptr};
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) return -1;
    return pressed < 0 ? buttons[def].id : pressed;
}

void SdlBackend::OpenGamepads() {
    if (!padsOpened_) {
        padsOpened_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
        if (!padsOpened_) return;
    }
    SDL_GameControllerUpdate();
    int slot = 0;
    for (int i = 0; i < SDL_NumJoysticks() && slot < 4; ++i) {
        if (!SDL_IsGameController(i)) continue;
        if (pads_[slot] && SDL_GameControllerGetAttached(pads_[slot])) {
            ++slot;
            continue;
        }
        if (pads_[slot]) SDL_GameControllerClose(pads_[slot]);
        pads_[slot++] = SDL_GameControllerOpen(i);
    }
}

bool SdlBackend::Gamepad(int index, GamepadState& out) {
    out = GamepadState{};
    if (index < 0 || index >= 4) return false;
    // Opening SDL's game controllers scans the input devices and reads the mapping
    // database (milliseconds): it waits until the first frame has been presented,
    // so that the window shows sooner. Until then no gamepad is connected.
    if (!framePresented_) return false;
    OpenGamepads();
    SDL_GameController* pad = pads_[index];
    if (!pad || !SDL_GameControllerGetAttached(pad)) return false;
    static const struct {
        SDL_GameControllerButton b;
        WORD bit;
    } kMap[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_UP, XINPUT_GAMEPAD_DPAD_UP},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, XINPUT_GAMEPAD_DPAD_DOWN},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, XINPUT_GAMEPAD_DPAD_LEFT},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, XINPUT_GAMEPAD_DPAD_RIGHT},
        {SDL_CONTROLLER_BUTTON_START, XINPUT_GAMEPAD_START},
        {SDL_CONTROLLER_BUTTON_BACK, XINPUT_GAMEPAD_BACK},
        {SDL_CONTROLLER_BUTTON_LEFTSTICK, XINPUT_GAMEPAD_LEFT_THUMB},
        {SDL_CONTROLLER_BUTTON_RIGHTSTICK, XINPUT_GAMEPAD_RIGHT_THUMB},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, XINPUT_GAMEPAD_LEFT_SHOULDER},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, XINPUT_GAMEPAD_RIGHT_SHOULDER},
        {SDL_CONTROLLER_BUTTON_A, XINPUT_GAMEPAD_A},
        {SDL_CONTROLLER_BUTTON_B, XINPUT_GAMEPAD_B},
        {SDL_CONTROLLER_BUTTON_X, XINPUT_GAMEPAD_X},
        {SDL_CONTROLLER_BUTTON_Y, XINPUT_GAMEPAD_Y},
    };
    out.connected = true;
    for (const auto& m : kMap)
        if (SDL_GameControllerGetButton(pad, m.b)) out.buttons |= m.bit;
    auto trigger = [&](SDL_GameControllerAxis a) {
        return BYTE(std::max(0, int(SDL_GameControllerGetAxis(pad, a))) * 255 / 32767);
    };
    // SDL's vertical axes grow downwards; game-pad sticks report up as positive.
    auto flip = [](Sint16 v) { return SHORT(v == -32768 ? 32767 : -v); };
    out.leftTrigger = trigger(SDL_CONTROLLER_AXIS_TRIGGERLEFT);
    out.rightTrigger = trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    out.thumbLX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    out.thumbLY = flip(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
    out.thumbRX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX);
    out.thumbRY = flip(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY));
    out.packet = ++padPackets_[index];
    return true;
}

void SdlBackend::SetGamepadVibration(int index, WORD left, WORD right) {
    if (index < 0 || index >= 4 || !pads_[index]) return;
    SDL_GameControllerRumble(pads_[index], left, right, (left || right) ? 0xFFFFFFFF : 0);
}

}  // namespace plat
