// Keyboard tables: virtual-key names, scan codes, US-layout characters.
#include "platform/base/keymap.h"

#include <cctype>
#include <cstring>

#include "platform/win32user.h"

namespace plat {

namespace {

struct NamedKey {
    const char* name;
    UINT vk;
};

const NamedKey kNames[] = {
    {"VK_LBUTTON", VK_LBUTTON},
    {"VK_RBUTTON", VK_RBUTTON},
    {"VK_CANCEL", VK_CANCEL},
    {"VK_MBUTTON", VK_MBUTTON},
    {"VK_XBUTTON1", VK_XBUTTON1},
    {"VK_XBUTTON2", VK_XBUTTON2},
    {"VK_BACK", VK_BACK},
    {"VK_TAB", VK_TAB},
    {"VK_CLEAR", VK_CLEAR},
    {"VK_RETURN", VK_RETURN},
    {"VK_SHIFT", VK_SHIFT},
    {"VK_CONTROL", VK_CONTROL},
    {"VK_MENU", VK_MENU},
    {"VK_PAUSE", VK_PAUSE},
    {"VK_CAPITAL", VK_CAPITAL},
    {"VK_ESCAPE", VK_ESCAPE},
    {"VK_SPACE", VK_SPACE},
    {"VK_PRIOR", VK_PRIOR},
    {"VK_NEXT", VK_NEXT},
    {"VK_END", VK_END},
    {"VK_HOME", VK_HOME},
    {"VK_LEFT", VK_LEFT},
    {"VK_UP", VK_UP},
    {"VK_RIGHT", VK_RIGHT},
    {"VK_DOWN", VK_DOWN},
    {"VK_SELECT", VK_SELECT},
    {"VK_PRINT", VK_PRINT},
    {"VK_EXECUTE", VK_EXECUTE},
    {"VK_SNAPSHOT", VK_SNAPSHOT},
    {"VK_INSERT", VK_INSERT},
    {"VK_DELETE", VK_DELETE},
    {"VK_HELP", VK_HELP},
    {"VK_LWIN", VK_LWIN},
    {"VK_RWIN", VK_RWIN},
    {"VK_APPS", VK_APPS},
    {"VK_SLEEP", VK_SLEEP},
    {"VK_NUMPAD0", VK_NUMPAD0},
    {"VK_NUMPAD1", VK_NUMPAD1},
    {"VK_NUMPAD2", VK_NUMPAD2},
    {"VK_NUMPAD3", VK_NUMPAD3},
    {"VK_NUMPAD4", VK_NUMPAD4},
    {"VK_NUMPAD5", VK_NUMPAD5},
    {"VK_NUMPAD6", VK_NUMPAD6},
    {"VK_NUMPAD7", VK_NUMPAD7},
    {"VK_NUMPAD8", VK_NUMPAD8},
    {"VK_NUMPAD9", VK_NUMPAD9},
    {"VK_MULTIPLY", VK_MULTIPLY},
    {"VK_ADD", VK_ADD},
    {"VK_SEPARATOR", VK_SEPARATOR},
    {"VK_SUBTRACT", VK_SUBTRACT},
    {"VK_DECIMAL", VK_DECIMAL},
    {"VK_DIVIDE", VK_DIVIDE},
    {"VK_F1", VK_F1},
    {"VK_F2", VK_F2},
    {"VK_F3", VK_F3},
    {"VK_F4", VK_F4},
    {"VK_F5", VK_F5},
    {"VK_F6", VK_F6},
    {"VK_F7", VK_F7},
    {"VK_F8", VK_F8},
    {"VK_F9", VK_F9},
    {"VK_F10", VK_F10},
    {"VK_F11", VK_F11},
    {"VK_F12", VK_F12},
    {"VK_NUMLOCK", VK_NUMLOCK},
    {"VK_SCROLL", VK_SCROLL},
    {"VK_LSHIFT", VK_LSHIFT},
    {"VK_RSHIFT", VK_RSHIFT},
    {"VK_LCONTROL", VK_LCONTROL},
    {"VK_RCONTROL", VK_RCONTROL},
    {"VK_LMENU", VK_LMENU},
    {"VK_RMENU", VK_RMENU},
    {"VK_OEM_1", VK_OEM_1},
    {"VK_OEM_PLUS", VK_OEM_PLUS},
    {"VK_OEM_COMMA", VK_OEM_COMMA},
    {"VK_OEM_MINUS", VK_OEM_MINUS},
    {"VK_OEM_PERIOD", VK_OEM_PERIOD},
    {"VK_OEM_2", VK_OEM_2},
    {"VK_OEM_3", VK_OEM_3},
    {"VK_OEM_4", VK_OEM_4},
    {"VK_OEM_5", VK_OEM_5},
    {"VK_OEM_6", VK_OEM_6},
    {"VK_OEM_7", VK_OEM_7},
};

struct ScanKey {
    UINT vk;
    UINT scan;
    bool extended;
};

const ScanKey kScans[] = {
    {VK_ESCAPE, 0x01, false},   {'1', 0x02, false},          {'2', 0x03, false},
    {'3', 0x04, false},         {'4', 0x05, false},          {'5', 0x06, false},
    {'6', 0x07, false},         {'7', 0x08, false},          {'8', 0x09, false},
    {'9', 0x0A, false},         {'0', 0x0B, false},          {VK_OEM_MINUS, 0x0C, false},
    {VK_OEM_PLUS, 0x0D, false}, {VK_BACK, 0x0E, false},      {VK_TAB, 0x0F, false},
    {'Q', 0x10, false},         {'W', 0x11, false},          {'E', 0x12, false},
    {'R', 0x13, false},         {'T', 0x14, false},          {'Y', 0x15, false},
    {'U', 0x16, false},         {'I', 0x17, false},          {'O', 0x18, false},
    {'P', 0x19, false},         {VK_OEM_4, 0x1A, false},     {VK_OEM_6, 0x1B, false},
    {VK_RETURN, 0x1C, false},   {VK_LCONTROL, 0x1D, false},  {VK_CONTROL, 0x1D, false},
    {'A', 0x1E, false},         {'S', 0x1F, false},          {'D', 0x20, false},
    {'F', 0x21, false},         {'G', 0x22, false},          {'H', 0x23, false},
    {'J', 0x24, false},         {'K', 0x25, false},          {'L', 0x26, false},
    {VK_OEM_1, 0x27, false},    {VK_OEM_7, 0x28, false},     {VK_OEM_3, 0x29, false},
    {VK_LSHIFT, 0x2A, false},   {VK_SHIFT, 0x2A, false},     {VK_OEM_5, 0x2B, false},
    {'Z', 0x2C, false},         {'X', 0x2D, false},          {'C', 0x2E, false},
    {'V', 0x2F, false},         {'B', 0x30, false},          {'N', 0x31, false},
    {'M', 0x32, false},         {VK_OEM_COMMA, 0x33, false}, {VK_OEM_PERIOD, 0x34, false},
    {VK_OEM_2, 0x35, false},    {VK_RSHIFT, 0x36, false},    {VK_MULTIPLY, 0x37, false},
    {VK_LMENU, 0x38, false},    {VK_MENU, 0x38, false},      {VK_SPACE, 0x39, false},
    {VK_CAPITAL, 0x3A, false},  {VK_F1, 0x3B, false},        {VK_F2, 0x3C, false},
    {VK_F3, 0x3D, false},       {VK_F4, 0x3E, false},        {VK_F5, 0x3F, false},
    {VK_F6, 0x40, false},       {VK_F7, 0x41, false},        {VK_F8, 0x42, false},
    {VK_F9, 0x43, false},       {VK_F10, 0x44, false},       {VK_NUMLOCK, 0x45, true},
    {VK_PAUSE, 0x45, false},    {VK_SCROLL, 0x46, false},    {VK_NUMPAD7, 0x47, false},
    {VK_NUMPAD8, 0x48, false},  {VK_NUMPAD9, 0x49, false},   {VK_SUBTRACT, 0x4A, false},
    {VK_NUMPAD4, 0x4B, false},  {VK_NUMPAD5, 0x4C, false},   {VK_NUMPAD6, 0x4D, false},
    {VK_ADD, 0x4E, false},      {VK_NUMPAD1, 0x4F, false},   {VK_NUMPAD2, 0x50, false},
    {VK_NUMPAD3, 0x51, false},  {VK_NUMPAD0, 0x52, false},   {VK_DECIMAL, 0x53, false},
    {VK_F11, 0x57, false},      {VK_F12, 0x58, false},       {VK_RCONTROL, 0x1D, true},
    {VK_RMENU, 0x38, true},     {VK_HOME, 0x47, true},       {VK_UP, 0x48, true},
    {VK_PRIOR, 0x49, true},     {VK_LEFT, 0x4B, true},       {VK_RIGHT, 0x4D, true},
    {VK_END, 0x4F, true},       {VK_DOWN, 0x50, true},       {VK_NEXT, 0x51, true},
    {VK_INSERT, 0x52, true},    {VK_DELETE, 0x53, true},     {VK_DIVIDE, 0x35, true},
    {VK_LWIN, 0x5B, true},      {VK_RWIN, 0x5C, true},       {VK_APPS, 0x5D, true},
    {VK_SNAPSHOT, 0x37, true},
};

// Unshifted and shifted characters of the punctuation keys.
struct PunctKey {
    UINT vk;
    char plain;
    char shifted;
};

const PunctKey kPunct[] = {
    {VK_OEM_1, ';', ':'},      {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'},
    {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},    {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},
    {VK_OEM_5, '\\', '|'},     {VK_OEM_6, ']', '}'},    {VK_OEM_7, '\'', '"'},
};

const char kShiftedDigits[] = ")!@#$%^&*(";

}  // namespace

UINT VirtualKeyFromName(const std::string& name) {
    if (name.size() == 1) {
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<UINT>(c);
        return 0;
    }
    std::string upper;
    for (char c : name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const NamedKey& k : kNames)
        if (upper == k.name) return k.vk;
    return 0;
}

UINT ScanCodeOfKey(UINT vk, bool* extended) {
    for (const ScanKey& k : kScans) {
        if (k.vk == vk) {
            if (extended) *extended = k.extended;
            return k.scan;
        }
    }
    if (extended) *extended = false;
    return 0;
}

char32_t CharacterOfKey(UINT vk, bool shift, bool ctrl, bool capsLock) {
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl) return static_cast<char32_t>(vk - 'A' + 1);
        bool upper = shift != capsLock;
        return static_cast<char32_t>(upper ? vk : vk - 'A' + 'a');
    }
    if (ctrl) {
        if (vk == VK_BACK) return 0x7F;
        if (vk == VK_RETURN) return '\n';
        if (vk == VK_ESCAPE) return 0x1B;
        return 0;
    }
    if (vk >= '0' && vk <= '9') return static_cast<char32_t>(shift ? kShiftedDigits[vk - '0'] : vk);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return static_cast<char32_t>('0' + (vk - VK_NUMPAD0));
    switch (vk) {
        case VK_SPACE:
            return ' ';
        case VK_RETURN:
            return '\r';
        case VK_BACK:
            return 0x08;
        case VK_TAB:
            return '\t';
        case VK_ESCAPE:
            return 0x1B;
        case VK_MULTIPLY:
            return '*';
        case VK_ADD:
            return '+';
        case VK_SUBTRACT:
            return '-';
        case VK_DECIMAL:
            return '.';
        case VK_DIVIDE:
            return '/';
        default:
            break;
    }
    for (const PunctKey& k : kPunct)
        if (k.vk == vk) return static_cast<char32_t>(shift ? k.shifted : k.plain);
    return 0;
}

bool KeyOfCharacter(char32_t ch, UINT* vk, bool* shift) {
    UINT key = 0;
    bool sh = false;
    if (ch >= 'a' && ch <= 'z') {
        key = static_cast<UINT>(ch - 'a' + 'A');
    } else if (ch >= 'A' && ch <= 'Z') {
        key = static_cast<UINT>(ch);
        sh = true;
    } else if (ch >= '0' && ch <= '9') {
        key = static_cast<UINT>(ch);
    } else if (ch == ' ') {
        key = VK_SPACE;
    } else if (ch == '\r' || ch == '\n') {
        key = VK_RETURN;
    } else if (ch == '\t') {
        key = VK_TAB;
    } else if (ch == 0x08) {
        key = VK_BACK;
    } else {
        for (int d = 0; d < 10; ++d)
            if (static_cast<char32_t>(kShiftedDigits[d]) == ch) {
                key = static_cast<UINT>('0' + d);
                sh = true;
            }
        for (const PunctKey& k : kPunct) {
            if (static_cast<char32_t>(k.plain) == ch) key = k.vk;
            if (static_cast<char32_t>(k.shifted) == ch) {
                key = k.vk;
                sh = true;
            }
        }
    }
    if (!key) return false;
    if (vk) *vk = key;
    if (shift) *shift = sh;
    return true;
}

}  // namespace plat
