// GlobalAlloc/LocalAlloc and friends over a handle table. A fixed block's
// handle is its address; a movable block's handle is a separate token that
// GlobalLock turns into the address. Blocks never move here.
#include "platform/win32/kernel_memory.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct Block {
    std::unique_ptr<unsigned char[]> data;
    size_t size = 0;
    bool moveable = false;
    unsigned lockCount = 0;
    std::unique_ptr<unsigned char> token;  // the handle of a movable block
};

struct Table {
    std::mutex lock;
    std::map<void*, Block> blocks;  // by handle
};

Table& TheTable() {
    static Table* table = new Table;  // outlives static destructors that free memory
    return *table;
}

void* Allocate(UINT flags, size_t bytes) {
    Block block;
    // Zero-byte blocks still get a unique address.
    block.data.reset(new (std::nothrow) unsigned char[bytes ? bytes : 1]);
    if (!block.data) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (flags & GMEM_ZEROINIT) std::memset(block.data.get(), 0, bytes ? bytes : 1);
    block.size = bytes;
    block.moveable = (flags & GMEM_MOVEABLE) != 0;
    void* handle = block.data.get();
    if (block.moveable) {
        block.token.reset(new unsigned char(0));
        handle = block.token.get();
    }
    Table& t = TheTable();
    std::lock_guard<std::mutex> guard(t.lock);
    t.blocks.emplace(handle, std::move(block));
    return handle;
}

void* Free(void* handle) {
    if (!handle) return nullptr;
    Table& t = TheTable();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.blocks.find(handle);
    if (it == t.blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return handle;
    }
    t.blocks.erase(it);
    return nullptr;
}

}  // namespace

namespace plat {

bool IsMemoryBlock(HGLOBAL handle) {
    Table& t = TheTable();
    std::lock_guard<std::mutex> guard(t.lock);
    return handle && t.blocks.count(handle) != 0;
}

bool PeekMemoryBlock(HGLOBAL handle, const void** data, size_t* size) {
    Table& t = TheTable();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.blocks.find(handle);
    if (!handle || it == t.blocks.end()) return false;
    *data = it->second.data.get();
    *size = it->second.size;
    return true;
}

}  // namespace plat

HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) { return Allocate(uFlags, dwBytes); }

LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
    Table& t = TheTable();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.blocks.find(hMem);
    if (!hMem || it == t.blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (it->second.moveable) ++it->second.lockCount;
    return it->second.data.get();
}

BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
    Table& t = TheTable();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.blocks.find(hMem);
    if (!hMem || it == t.blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Block& b = it->second;
    if (!b.moveable || b.lockCount == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    if (--b.lockCount == 0) {
        SetLastError(NO_ERROR);
        return FALSE;
    }
    return TRUE;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) { return Free(hMem); }

SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
    const void* data = nullptr;
    size_t size = 0;
    if (!plat::PeekMemoryBlock(hMem, &data, &size)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return size;
}

HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes) { return Allocate(uFlags, uBytes); }

HLOCAL WINAPI LocalFree(HLOCAL hMem) { return Free(hMem); }
