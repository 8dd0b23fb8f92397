// Reading and appending to regular files only. Every file the program reads
// (meshes, images, the input script, the registry), the debug-output file
// and the frame shots go through here, so a FIFO, a device or a directory named in their place
// is refused at once instead of blocking the open or streaming forever.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

enum class FileStatus {
    Ok,
    NotFound,      // no such file (or a path component is missing)
    AccessDenied,  // exists but may not be read or written
    NotRegular,    // a directory, FIFO, socket or device
    TooLarge,      // more than the caller's limit
    OutOfMemory,   // no memory for the contents
    ReadError,     // any other failure while opening or reading
};

// Reads a whole regular file of at most maxBytes bytes into out (cleared on
// failure). The open never blocks; the file type is checked on the opened
// descriptor. The limit holds even for a file that grows while it is read.
FileStatus ReadRegularFile(const char* path, size_t maxBytes, std::vector<uint8_t>* out);

// Opens a regular file for appending, creating it when missing; -1 with the
// reason in status when it cannot be opened or is not a regular file. The
// caller closes the descriptor.
int OpenRegularFileForAppend(const char* path, FileStatus* status);

// Opens a regular file for writing from its start, creating it when missing
// and emptying it otherwise; -1 with the reason in status when it cannot be
// opened or is not a regular file (a FIFO is refused, never waited on, and
// nothing but a regular file is emptied). The caller closes the descriptor.
int OpenRegularFileForWrite(const char* path, FileStatus* status);

// A short English description: "not a regular file", "too large", ...
const char* FileStatusText(FileStatus status);

}  // namespace plat
