// The headless input script: a line-based text format of timed input steps
// (see docs/input-script.md). Parsing checks every line before anything runs;
// a step is kept as where its line is and when it is due, and made from its
// line again when it is wanted, so a script costs little more than its text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/backend/backend.h"

namespace plat {

struct ScriptStep {
    enum class Trigger { Frame, Ms };
    enum class Kind {
        MouseMove,
        MouseDown,
        MouseUp,
        Click,
        DoubleClick,
        Drag,
        Wheel,
        KeyDown,
        KeyUp,
        KeyPress,
        Type,
        Minimize,
        Maximize,
        Restore,
        Activate,
        Deactivate,
        MoveWindow,
        Resize,
        Close,
        DeviceLoss,
        Shot,
        Quit,
    };

    Trigger trigger = Trigger::Frame;
    uint64_t at = 0;  // frame count or milliseconds since the script started
    Kind kind = Kind::Quit;
    int line = 0;  // 1-based line in the script file
    MouseButton button = MouseButton::Left;
    bool hasPoint = false;        // down / up / wheel: coordinates given
    int x = 0, y = 0;             // client coordinates (movewindow: screen; resize: size)
    int x2 = 0, y2 = 0;           // drag target
    int steps = 8;                // drag: intermediate moves
    int notches = 0;              // wheel
    std::vector<UINT> modifiers;  // side-specific modifier keys held around a key step
    UINT vk = 0;
    std::u32string text;  // type
    std::string path;     // shot
};

// A step as kept: its line in the text and when it is due (16 bytes).
struct ScriptEntry {
    uint64_t at : 63;     // frame count or milliseconds since the script started
    uint64_t byTime : 1;  // `at` counts milliseconds (@ms), else frames
    uint32_t offset;      // of its line in Script::text
    int32_t line;         // 1-based line in the script file
};
static_assert(sizeof(ScriptEntry) == 16);

struct Script {
    std::string file;
    std::string text;                  // the script as read
    std::vector<ScriptEntry> entries;  // one per step, in order
    bool anyShot = false;              // some step is a shot

    size_t StepCount() const { return entries.size(); }
    // Step i, made from its line (which parsing checked).
    ScriptStep Step(size_t i) const;
};

// Bounds on what a script may cost: the whole file and each line.
constexpr size_t kMaxScriptBytes = size_t(4) << 20;
constexpr size_t kMaxScriptLineBytes = 4096;

// Parses script text; on failure `error` reads "FILE:LINE: what is wrong",
// with control bytes of the file shown as \xNN escapes.
bool ParseScript(std::string text, const std::string& fileName, Script& out, std::string& error);
// Reads a regular file of at most kMaxScriptBytes (anything else is an error
// at once: a FIFO, a device, a directory) and parses it.
bool LoadScript(const std::string& path, Script& out, std::string& error);

}  // namespace plat
