// Parser of the headless input script.
#include "platform/headless/script.h"

#include <cctype>
#include <charconv>
#include <optional>
#include <sstream>
#include <utility>

#include "platform/base/keymap.h"
#include "platform/base/printable_text.h"
#include "platform/base/regular_file.h"
#include "platform/base/utf8.h"
#include "platform/win32user.h"

namespace plat {

namespace {

using Kind = ScriptStep::Kind;

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string w;
    while (in >> w) words.push_back(w);
    return words;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool ToInt(const std::string& s, long long lo, long long hi, long long& out) {
    long long v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool ParseButton(const std::string& s, MouseButton& b) {
    std::string l = Lower(s);
    if (l == "left")
        b = MouseButton::Left;
    else if (l == "right")
        b = MouseButton::Right;
    else if (l == "middle")
        b = MouseButton::Middle;
    else if (l == "x1")
        b = MouseButton::X1;
    else if (l == "x2")
        b = MouseButton::X2;
    else
        return false;
    return true;
}

// "[mod+]...NAME": alt, ctrl, shift, win and a key name.
bool ParseKey(const std::string& s, ScriptStep& step, std::string& why) {
    size_t start = 0;
    for (;;) {
        size_t plus = s.find('+', start);
        if (plus == std::string::npos || plus + 1 == s.size()) break;
        std::string mod = Lower(s.substr(start, plus - start));
        if (mod == "alt")
            step.modifiers.push_back(VK_LMENU);
        else if (mod == "ctrl" || mod == "control")
            step.modifiers.push_back(VK_LCONTROL);
        else if (mod == "shift")
            step.modifiers.push_back(VK_LSHIFT);
        else if (mod == "win")
            step.modifiers.push_back(VK_LWIN);
        else {
            why = "unknown modifier \"" + mod + "\" (alt, ctrl, shift, win)";
            return false;
        }
        start = plus + 1;
    }
    std::string name = s.substr(start);
    step.vk = VirtualKeyFromName(name);
    if (!step.vk) {
        why = "unknown key \"" + name + "\" (a VK_ name such as VK_F1, or a letter or digit)";
        return false;
    }
    return true;
}

// The text of a "type" line: the rest of the line, or a quoted string with \n \t \" \\ escapes.
bool ParseText(std::string rest, std::u32string& out, std::string& why) {
    while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.back()))) rest.pop_back();
    std::string bytes;
    if (!rest.empty() && rest.front() == '"') {
        size_t i = 1;
        for (; i < rest.size() && rest[i] != '"'; ++i) {
            if (rest[i] == '\\' && i + 1 < rest.size()) {
                char e = rest[++i];
                bytes += e == 'n' ? '\r' : e == 't' ? '\t' : e;
            } else {
                bytes += rest[i];
            }
        }
        if (i != rest.size() - 1) {
            why = "unterminated or trailing text after the quoted string";
            return false;
        }
    } else {
        bytes = rest;
    }
    if (bytes.empty()) {
        why = "type needs text";
        return false;
    }
    bool valid = true;
    const std::wstring text = Utf8ToWide(bytes, &valid);
    if (!valid) {
        why = "text is not valid UTF-8";
        return false;
    }
    for (wchar_t c : text) out.push_back(static_cast<char32_t>(c));
    return true;
}

bool Coords(const std::vector<std::string>& w, size_t from, int count, int* out, std::string& why) {
    if (w.size() != from + static_cast<size_t>(count)) {
        why = "expected " + std::to_string(count) + " numbers after \"" + w[0] + "\"";
        return false;
    }
    for (int i = 0; i < count; ++i) {
        long long v;
        if (!ToInt(w[from + static_cast<size_t>(i)], -100000, 100000, v)) {
            why = "\"" + w[from + static_cast<size_t>(i)] + "\" is not a coordinate";
            return false;
        }
        out[i] = static_cast<int>(v);
    }
    return true;
}

// Pointer commands (move, down, up, click, double click); nullopt when cmd is none of them.
std::optional<bool> ParsePointer(const std::string& cmd, const std::vector<std::string>& w, ScriptStep& step,
                                 std::string& why) {
    int v[4] = {};
    auto optionalButton = [&](size_t& next) {
        if (w.size() > next && ParseButton(w[next], step.button)) ++next;
    };
    if (cmd == "move" || cmd == "mousemove") {
        step.kind = Kind::MouseMove;
        if (!Coords(w, 1, 2, v, why)) return false;
        step.x = v[0], step.y = v[1], step.hasPoint = true;
        return true;
    }
    if (cmd == "down" || cmd == "up" || cmd == "mousedown" || cmd == "mouseup") {
        step.kind = (cmd == "down" || cmd == "mousedown") ? Kind::MouseDown : Kind::MouseUp;
        size_t next = 1;
        optionalButton(next);
        if (w.size() == next) return true;
        if (!Coords(w, next, 2, v, why)) return false;
        step.x = v[0], step.y = v[1], step.hasPoint = true;
        return true;
    }
    if (cmd == "click" || cmd == "doubleclick") {
        step.kind = cmd == "click" ? Kind::Click : Kind::DoubleClick;
        size_t next = 1;
        optionalButton(next);
        if (!Coords(w, next, 2, v, why)) return false;
        step.x = v[0], step.y = v[1], step.hasPoint = true;
        return true;
    }
    return std::nullopt;
}

// "drag [button] X1 Y1 X2 Y2 [steps]".
bool ParseDrag(const std::vector<std::string>& w, ScriptStep& step, std::string& why) {
    int v[4] = {};
    step.kind = Kind::Drag;
    size_t next = 1;
    if (w.size() > next && ParseButton(w[next], step.button)) ++next;
    if (w.size() == next + 5) {
        long long n;
        if (!ToInt(w.back(), 1, 1000, n)) {
            why = "drag steps must be 1 to 1000";
            return false;
        }
        step.steps = static_cast<int>(n);
        std::vector<std::string> trimmed(w.begin(), w.end() - 1);
        if (!Coords(trimmed, next, 4, v, why)) return false;
    } else if (!Coords(w, next, 4, v, why)) {
        return false;
    }
    step.x = v[0], step.y = v[1], step.x2 = v[2], step.y2 = v[3], step.hasPoint = true;
    return true;
}

// "wheel NOTCHES [X Y]".
bool ParseWheel(const std::vector<std::string>& w, ScriptStep& step, std::string& why) {
    int v[4] = {};
    step.kind = Kind::Wheel;
    long long n;
    if (w.size() < 2 || !ToInt(w[1], -1000, 1000, n)) {
        why = "wheel needs a number of notches (positive: away from the user)";
        return false;
    }
    step.notches = static_cast<int>(n);
    if (w.size() == 2) return true;
    if (!Coords(w, 2, 2, v, why)) return false;
    step.x = v[0], step.y = v[1], step.hasPoint = true;
    return true;
}

bool ParseLine(const std::string& line, const std::vector<std::string>& w, ScriptStep& step,
               std::string& why) {
    std::string cmd = Lower(w[0]);
    int v[4] = {};
    if (std::optional<bool> pointer = ParsePointer(cmd, w, step, why)) return *pointer;
    if (cmd == "drag") return ParseDrag(w, step, why);
    if (cmd == "wheel") return ParseWheel(w, step, why);
    if (cmd == "keydown" || cmd == "keyup" || cmd == "press" || cmd == "key") {
        step.kind = cmd == "keydown" ? Kind::KeyDown : cmd == "keyup" ? Kind::KeyUp : Kind::KeyPress;
        if (w.size() != 2) {
            why = "\"" + w[0] + "\" needs one key, e.g. VK_F1 or alt+VK_RETURN";
            return false;
        }
        return ParseKey(w[1], step, why);
    }
    if (cmd == "type") {
        step.kind = Kind::Type;
        size_t end = line.find_first_of(" \t", line.find_first_not_of(" \t"));
        size_t start = end == std::string::npos ? std::string::npos : line.find_first_not_of(" \t", end);
        std::string rest = start == std::string::npos ? "" : line.substr(start);
        return ParseText(rest, step.text, why);
    }
    if (cmd == "movewindow" || cmd == "resize") {
        step.kind = cmd == "movewindow" ? Kind::MoveWindow : Kind::Resize;
        if (!Coords(w, 1, 2, v, why)) return false;
        if (step.kind == Kind::Resize && (v[0] <= 0 || v[1] <= 0)) {
            why = "resize needs a positive width and height";
            return false;
        }
        step.x = v[0], step.y = v[1];
        return true;
    }
    if (cmd == "shot") {
        step.kind = Kind::Shot;
        if (w.size() != 2) {
            why = "shot needs one file path (no blanks)";
            return false;
        }
        step.path = w[1];
        return true;
    }
    struct Plain {
        const char* name;
        Kind kind;
    };
    static const Plain plain[] = {
        {"minimize", Kind::Minimize},     {"minimise", Kind::Minimize},
        {"maximize", Kind::Maximize},     {"maximise", Kind::Maximize},
        {"restore", Kind::Restore},       {"activate", Kind::Activate},
        {"deactivate", Kind::Deactivate}, {"close", Kind::Close},
        {"deviceloss", Kind::DeviceLoss}, {"quit", Kind::Quit},
    };
    for (const Plain& p : plain) {
        if (cmd == p.name) {
            if (w.size() != 1) {
                why = "\"" + w[0] + "\" takes no arguments";
                return false;
            }
            step.kind = p.kind;
            return true;
        }
    }
    why = "unknown command \"" + w[0] + "\"";
    return false;
}

}  // namespace

namespace {

// The line starting at `offset` (without its line end) and where the next begins.
std::string LineAt(const std::string& text, size_t offset, size_t* next) {
    size_t end = text.find('\n', offset);
    if (end == std::string::npos) end = text.size();
    *next = end + 1;
    if (end > offset && text[end - 1] == '\r') --end;
    return text.substr(offset, end - offset);
}

}  // namespace

bool ParseScript(std::string text, const std::string& fileName, Script& out, std::string& error) {
    out = Script{};
    out.file = fileName;
    bool byTime = false;
    uint64_t at = 0;
    const std::string printableName = PrintableText(fileName);
    auto where = [&](int number) { return printableName + ":" + std::to_string(number) + ": "; };
    int number = 0;
    for (size_t offset = 0, next = 0; offset < text.size(); offset = next) {
        const std::string line = LineAt(text, offset, &next);
        ++number;
        if (line.size() > kMaxScriptLineBytes) {
            error = where(number) + "line longer than " + std::to_string(kMaxScriptLineBytes) + " bytes";
            return false;
        }
        std::vector<std::string> w = Split(line);
        if (w.empty() || w[0][0] == '#') continue;
        std::string why;
        if (w[0][0] == '@') {
            std::string kind = Lower(w[0]);
            long long n;
            if ((kind != "@frame" && kind != "@ms") || w.size() != 2 || !ToInt(w[1], 0, 1LL << 40, n)) {
                error = where(number) + "expected \"@frame N\" or \"@ms N\"";
                return false;
            }
            byTime = kind == "@ms";
            at = static_cast<uint64_t>(n);
            continue;
        }
        ScriptStep step;
        if (!ParseLine(line, w, step, why)) {
            error = where(number) + PrintableText(why);
            return false;
        }
        out.anyShot |= step.kind == Kind::Shot;
        out.entries.push_back(ScriptEntry{at, byTime, static_cast<uint32_t>(offset), number});
    }
    out.text = std::move(text);
    return true;
}

ScriptStep Script::Step(size_t i) const {
    const ScriptEntry& entry = entries[i];
    size_t next = 0;
    const std::string line = LineAt(text, entry.offset, &next);
    ScriptStep step;
    step.trigger = entry.byTime ? ScriptStep::Trigger::Ms : ScriptStep::Trigger::Frame;
    step.at = entry.at;
    step.line = entry.line;
    std::string why;
    ParseLine(line, Split(line), step, why);
    return step;
}

bool LoadScript(const std::string& path, Script& out, std::string& error) {
    std::vector<uint8_t> bytes;
    const FileStatus status = ReadRegularFile(path.c_str(), kMaxScriptBytes, &bytes);
    if (status != FileStatus::Ok) {
        error = PrintableText(path) + ": cannot read the input script (" + FileStatusText(status) +
                (status == FileStatus::TooLarge ? ", more than " + std::to_string(kMaxScriptBytes) + " bytes)"
                                                : ")");
        return false;
    }
    std::string text(bytes.begin(), bytes.end());
    bytes = {};
    return ParseScript(std::move(text), path, out, error);
}

}  // namespace plat
