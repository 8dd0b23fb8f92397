// The registry file: parsing, writing (atomically) and its location.
#include "platform/win32/kernel_registry_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <iterator>
#include <sstream>
#include <vector>

#include "platform/base/regular_file.h"
#include "platform/base/utf8.h"

namespace plat {

namespace {

constexpr size_t kMaxFileBytes = 16u << 20;  // larger is not a registry of ours

bool NeedsEscape(unsigned char c) { return c < 0x20 || c == 0x7F || c == '"' || c == '%' || c == ']'; }

std::string Escape(const std::wstring& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : WideToUtf8(text)) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (NeedsEscape(c)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool Unescape(const std::string& text, std::wstring& out) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            bytes += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const int hi = HexDigit(text[i + 1]), lo = HexDigit(text[i + 2]);
        if (hi < 0 || lo < 0) return false;
        bytes += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    bool valid = true;
    out = Utf8ToWide(bytes, &valid);
    return valid;
}

// A quoted item at `pos`: "text" with no raw quote inside; advances pos.
bool ReadQuoted(const std::string& line, size_t& pos, std::wstring& out) {
    if (pos >= line.size() || line[pos] != '"') return false;
    const size_t end = line.find('"', pos + 1);
    if (end == std::string::npos) return false;
    if (!Unescape(line.substr(pos + 1, end - pos - 1), out)) return false;
    pos = end + 1;
    return true;
}

// A REG_SZ that can be written as text: whole WCHARs, valid characters, one
// terminator at the end at most.
bool TextOf(const std::vector<BYTE>& data, std::wstring& out) {
    if (data.size() % sizeof(WCHAR)) return false;
    std::wstring text(data.size() / sizeof(WCHAR), L'\0');
    std::memcpy(text.data(), data.data(), data.size());
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    for (wchar_t c : text)
        if (c == L'\0' || static_cast<char32_t>(c) > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    out = text;
    return true;
}

std::string ValueLine(const RegistryValue& v) {
    // Appended piecewise: GCC 12 warns falsely (-Wrestrict) about "literal" + std::string&&.
    std::string line = "\"";
    line += Escape(v.name);
    line += "\"=";
    std::wstring text;
    char buf[16];
    if (v.type == REG_DWORD && v.data.size() == 4) {
        DWORD d;
        std::memcpy(&d, v.data.data(), 4);
        std::snprintf(buf, sizeof buf, "%08x", static_cast<unsigned>(d));
        return line + "dword:" + buf;
    }
    if (v.type == REG_SZ && TextOf(v.data, text)) return line + "sz:\"" + Escape(text) + "\"";
    std::snprintf(buf, sizeof buf, "hex(%u):", static_cast<unsigned>(v.type));
    line += buf;
    for (size_t i = 0; i < v.data.size(); ++i) {
        std::snprintf(buf, sizeof buf, i ? ",%02x" : "%02x", v.data[i]);
        line += buf;
    }
    return line;
}

bool ParseValueData(const std::string& rest, RegistryValue& v) {
    if (rest.rfind("dword:", 0) == 0) {
        const std::string digits = rest.substr(6);
        if (digits.size() != 8) return false;
        DWORD d = 0;
        for (char c : digits) {
            const int h = HexDigit(c);
            if (h < 0) return false;
            d = d * 16 + static_cast<DWORD>(h);
        }
        v.type = REG_DWORD;
        v.data.resize(4);
        std::memcpy(v.data.data(), &d, 4);
        return true;
    }
    if (rest.rfind("sz:", 0) == 0) {
        size_t pos = 3;
        std::wstring text;
        if (!ReadQuoted(rest, pos, text) || pos != rest.size()) return false;
        text.push_back(L'\0');
        v.type = REG_SZ;
        v.data.resize(text.size() * sizeof(WCHAR));
        std::memcpy(v.data.data(), text.data(), v.data.size());
        return true;
    }
    unsigned type = 0;
    int used = 0;
    if (std::sscanf(rest.c_str(), "hex(%u):%n", &type, &used) != 1 || used == 0) return false;
    v.type = type;
    const std::string bytes = rest.substr(static_cast<size_t>(used));
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const int hi = HexDigit(bytes[i]);
        const int lo = i + 1 < bytes.size() ? HexDigit(bytes[i + 1]) : -1;
        if (hi < 0 || lo < 0) return false;
        if (i + 2 < bytes.size() && bytes[i + 2] != ',') return false;
        if (i + 2 == bytes.size() - 1) return false;  // a trailing comma
        v.data.push_back(static_cast<BYTE>(hi * 16 + lo));
    }
    return true;
}

}  // namespace

std::wstring RegistryLower(const std::wstring& text) {
    std::wstring out = text;
    for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return out;
}

LONG ParseRegistry(const std::string& text, RegistryData& out) {
    out.clear();
    std::istringstream in(text);
    std::string line;
    RegistryKey* key = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            std::wstring path;
            if (line.back() != ']' || !Unescape(line.substr(1, line.size() - 2), path) || path.empty())
                return ERROR_BADDB;
            RegistryKey& k = out[RegistryLower(path)];
            if (k.path.empty()) k.path = path;
            key = &k;
            continue;
        }
        RegistryValue v;
        size_t pos = 0;
        if (!key || !ReadQuoted(line, pos, v.name) || pos >= line.size() || line[pos] != '=' ||
            !ParseValueData(line.substr(pos + 1), v))
            return ERROR_BADDB;
        bool replaced = false;
        for (RegistryValue& old : key->values) {
            if (RegistryLower(old.name) == RegistryLower(v.name)) {
                old = v;
                replaced = true;
            }
        }
        if (!replaced) key->values.push_back(v);
    }
    return ERROR_SUCCESS;
}

std::string SerializeRegistry(const RegistryData& data) {
    std::string text = "; Tumbral registry\n";
    for (const auto& entry : data) {
        text += "\n[" + Escape(entry.second.path) + "]\n";
        for (const RegistryValue& v : entry.second.values) text += ValueLine(v) + "\n";
    }
    return text;
}

std::string RegistryFilePath() {
    if (const char* file = std::getenv("TUMBRAL_REGISTRY_FILE"); file && *file) return file;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::string(config) + "/tumbral/registry";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.config/tumbral/registry";
    return std::string();
}

LONG LoadRegistryFile(RegistryData& out) {
    out.clear();
    const std::string path = RegistryFilePath();
    if (path.empty()) return ERROR_SUCCESS;
    std::vector<uint8_t> bytes;
    switch (ReadRegularFile(path.c_str(), kMaxFileBytes, &bytes)) {
        case FileStatus::Ok:
            break;
        case FileStatus::NotFound:
            return ERROR_SUCCESS;
        case FileStatus::TooLarge:
            return ERROR_BADDB;
        default:
            return ERROR_CANTREAD;
    }
    const std::string text(bytes.begin(), bytes.end());
    return ParseRegistry(text, out);
}

namespace {

// Creates every missing folder of `dir`.
bool MakeFolders(const std::string& dir) {
    for (size_t pos = 1; pos <= dir.size(); ++pos) {
        if (pos != dir.size() && dir[pos] != '/') continue;
        const std::string part = dir.substr(0, pos);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

}  // namespace

LONG SaveRegistryFile(const RegistryData& data) {
    const std::string path = RegistryFilePath();
    if (path.empty()) return ERROR_CANTWRITE;
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash)))
        return ERROR_CANTWRITE;
    const std::string temp = path + ".tmp" + std::to_string(getpid());
    const std::string text = SerializeRegistry(data);
    // A fresh file only: a link or file planted under the temporary name is
    // never written through. One left over by a crashed run of ours is removed once.
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = open(temp.c_str(), flags, 0600);
    if (fd < 0 && errno == EEXIST && unlink(temp.c_str()) == 0) fd = open(temp.c_str(), flags, 0600);
    if (fd < 0) return ERROR_CANTWRITE;
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    const bool written = done == text.size() && fsync(fd) == 0;
    if (close(fd) != 0 || !written || rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return ERROR_CANTWRITE;
    }
    return ERROR_SUCCESS;
}

}  // namespace plat
