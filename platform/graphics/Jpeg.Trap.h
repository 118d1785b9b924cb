#pragma once

// Internal to the JPEG units: the trap for libjpeg's errors.
//
// libjpeg reports errors by calling error_exit, which must not return. It
// longjmps back into one of the small Try* functions of the JPEG units. Each
// of them sets its own jump target and makes its library calls with no C++
// object alive in its frame, so the jump skips no destructor; the callers turn
// a false result into an exception once they are back in ordinary C++ code.
// This is the program's only trap for libjpeg's errors.

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace gfx::JpegTrap {

// What becomes of the library's warnings.
enum class Warnings {
    // Ignored (real files often carry stray bytes), except running out of
    // data: a truncated file or scan is an error, not a picture with a grey
    // end. TJPEGImage decodes so.
    TruncationFails,
    // All ignored: the sources of the picture readers end a short stream
    // with an end-of-image marker themselves.
    Ignored,
};

struct ErrorTrap {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    Warnings warnings;
};

// Makes `trap` the library's error handler; set it as cinfo.err before
// creating the library object.
void InstallTrap(ErrorTrap& trap, Warnings warnings = Warnings::TruncationFails);

// The error of a trapped library call, with the library's message code.
[[noreturn]] void RaiseTrapped(const ErrorTrap& trap);

} // namespace gfx::JpegTrap
