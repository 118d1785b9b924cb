#include "platform/graphics/Jpeg.Trap.h"

#include <string>

#include <jerror.h>

#include "platform/graphics/Jpeg.h"

namespace gfx::JpegTrap {

namespace {

void TrapError(j_common_ptr cinfo)
{
    auto* trap = reinterpret_cast<ErrorTrap*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, trap->message);
    std::longjmp(trap->jump, 1);
}

void TrapMessage(j_common_ptr cinfo, int level)
{
    const auto* trap = reinterpret_cast<const ErrorTrap*>(cinfo->err);
    const int code = cinfo->err->msg_code;
    if (trap->warnings == Warnings::TruncationFails && level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER))
        TrapError(cinfo);
}

} // namespace

void InstallTrap(ErrorTrap& trap, Warnings warnings)
{
    jpeg_std_error(&trap.pub);
    trap.pub.error_exit = TrapError;
    trap.pub.emit_message = TrapMessage;
    trap.message[0] = '\0';
    trap.warnings = warnings;
}

void RaiseTrapped(const ErrorTrap& trap) { throw EJPEG(std::string("JPEG error: ") + trap.message, trap.pub.msg_code); }

} // namespace gfx::JpegTrap
