// The MPEG audio decoder module "elamp.esp": decoder instances on the
// platform's MPEG source, played through the process's audio output.
//
// Every entry point runs on the caller's (main) thread; the end of a sound
// is reported from the main-thread queue, where the output channel's end
// arrives, so the output events reach the player on that thread too.

#include "platform/modules/elamp/ElampExports.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "platform/media/AudioOutput.h"
#include "platform/media/Mp3Source.h"
#include "platform/rtl/Exceptions.h"

namespace {

// The player's error codes and modes, as the module reports them.
enum ErrorCode : int32_t {
    errNone,
    errNotImplemented,
    errIncorrectMode,
    errInternal,
    errInvalidHandle,
    errInput,
    errOutput,
    errNoMemory,
    errNoResources,
    errNoCallback
};
enum PlayerMode : int32_t { modeClosed, modeOpened, modeReady, modeStopped, modePlaying, modePaused };
constexpr int32_t kInputFile = 0;
constexpr int32_t kOutputDevice = 0; // the sound device; files and callbacks as sinks are not offered

constexpr const char* kAbout = "Vistelo MPEG audio decoder";
constexpr const char* kName = "elamp";
constexpr const char* kExtensions = "MP3;MP2;MP1;MPEG3;MPEG2;MPEG1";
constexpr int32_t kVersion = 0x0100;

struct Decoder {
    int32_t Mode = modeClosed;
    int32_t LastError = errNone;
    int32_t InputMode = kInputFile;
    int32_t OutputMode = kOutputDevice;
    std::string InputName;
    std::string OutputName;
    int32_t BufferCount = 8;
    int32_t BufferSize = 16384;
    int32_t StartMs = 0;
    int32_t EndMs = 0; // 0: to the end
    uint16_t Left = 0xFFFF;
    uint16_t Right = 0xFFFF;
    ESOutputFunc Output = nullptr;
    ESOutputActionFunc OutputAction = nullptr;
    void* OutputUser = nullptr;
    bool UseOutputEvents = false;
    std::unique_ptr<media::Mp3Source> Source; // from ESOpen until ESInitStream hands it on
    std::unique_ptr<media::OutputChannel> Channel;
    media::AudioFormat Format;
};

std::set<Decoder*>& Decoders()
{
    static std::set<Decoder*> decoders;
    return decoders;
}

Decoder* Find(ESHandle handle)
{
    auto* decoder = reinterpret_cast<Decoder*>(handle);
    return Decoders().count(decoder) ? decoder : nullptr;
}

// Runs `action` on a valid decoder, turning a false result into its error.
template <typename Action> ESBool With(ESHandle handle, int32_t error, Action&& action)
{
    Decoder* decoder = Find(handle);
    if (!decoder)
        return 0;
    decoder->LastError = errNone;
    try {
        if (action(*decoder))
            return 1;
    } catch (const std::bad_alloc&) {
        error = errNoMemory;
    } catch (const std::exception&) {
    }
    if (decoder->LastError == errNone) // the action may have named a more precise error
        decoder->LastError = error;
    return 0;
}

void SignalOutput(Decoder& decoder, bool start)
{
    if (decoder.UseOutputEvents && decoder.OutputAction)
        decoder.OutputAction(start ? 1 : 0, decoder.OutputUser);
}

void ApplyVolume(Decoder& decoder)
{
    if (decoder.Channel)
        decoder.Channel->SetVolume(decoder.Left, decoder.Right);
}

// The end limit is checked when the mode is asked for: the players poll it.
void CheckEndLimit(Decoder& decoder)
{
    if (decoder.Mode == modePlaying && decoder.EndMs > 0 && decoder.Channel->PositionMs() >= decoder.EndMs) {
        decoder.Channel->Pause();
        decoder.Mode = modeStopped;
        SignalOutput(decoder, false);
    }
}

ESBool GetText(const char* text, char* buffer, int32_t* size)
{
    if (!size)
        return 0;
    const auto length = static_cast<int32_t>(std::strlen(text));
    if (!buffer) {
        *size = length;
        return 1;
    }
    if (*size < 0)
        return 0;
    const int32_t copied = std::min(*size, length);
    std::memcpy(buffer, text, static_cast<size_t>(copied));
    buffer[copied] = '\0'; // the caller's buffer holds size + 1 bytes
    *size = copied;
    return 1;
}

bool ModeIn(const Decoder& decoder, std::initializer_list<int32_t> modes)
{
    return std::find(modes.begin(), modes.end(), decoder.Mode) != modes.end();
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) ESHandle ESInitModule(int32_t)
{
    auto* decoder = new (std::nothrow) Decoder;
    if (decoder)
        Decoders().insert(decoder);
    return reinterpret_cast<ESHandle>(decoder);
}

__attribute__((visibility("default"))) ESBool ESDeInitModule(ESHandle handle)
{
    Decoder* decoder = Find(handle);
    if (!decoder)
        return 0;
    Decoders().erase(decoder);
    delete decoder;
    return 1;
}

__attribute__((visibility("default"))) ESBool ESSetInputMode(ESHandle handle, int32_t mode)
{
    return With(handle, errNotImplemented,
                [&](Decoder& d) { return mode == kInputFile && (d.InputMode = mode, true); });
}

__attribute__((visibility("default"))) ESBool ESSetOutputMode(ESHandle handle, int32_t mode)
{
    return With(handle, errNotImplemented,
                [&](Decoder& d) { return mode == kOutputDevice && (d.OutputMode = mode, true); });
}

__attribute__((visibility("default"))) ESBool ESSetInputName(ESHandle handle, const char* name)
{
    return With(handle, errInput, [&](Decoder& d) { return d.InputName = name ? name : "", true; });
}

__attribute__((visibility("default"))) ESBool ESSetOutputName(ESHandle handle, const char* name)
{
    return With(handle, errOutput, [&](Decoder& d) { return d.OutputName = name ? name : "", true; });
}

__attribute__((visibility("default"))) ESBool ESOpen(ESHandle handle)
{
    return With(handle, errIncorrectMode, [&](Decoder& d) {
        if (d.Mode != modeClosed)
            return false;
        try {
            d.Source = std::make_unique<media::Mp3Source>(d.InputName);
        } catch (const Exception&) {
            d.LastError = errInput;
            return false;
        }
        d.Format = d.Source->Format();
        d.Mode = modeOpened;
        return true;
    });
}

__attribute__((visibility("default"))) ESBool ESInitStream(ESHandle handle)
{
    return With(handle, errIncorrectMode, [&](Decoder& d) {
        if (d.Mode != modeOpened)
            return false;
        try {
            d.Channel = std::make_unique<media::OutputChannel>(std::move(d.Source));
        } catch (const Exception&) {
            d.LastError = errOutput;
            return false;
        }
        Decoder* self = &d;
        d.Channel->OnEnded = [self] {
            if (Decoders().count(self) && self->Mode == modePlaying) {
                self->Mode = modeStopped;
                SignalOutput(*self, false);
            }
        };
        ApplyVolume(d);
        d.Mode = modeReady;
        return true;
    });
}

__attribute__((visibility("default"))) ESBool ESPlay(ESHandle handle)
{
    return With(handle, errIncorrectMode, [&](Decoder& d) {
        if (!ModeIn(d, {modeReady, modeStopped, modePaused}))
            return false;
        if (d.Mode != modePaused && (d.Channel->Ended() || d.StartMs > 0))
            d.Channel->SeekMs(d.StartMs);
        d.Channel->Start();
        d.Mode = modePlaying;
        SignalOutput(d, true);
        return true;
    });
}

__attribute__((visibility("default"))) ESBool ESCanPause(ESHandle handle)
{
    return With(handle, errNone, [](Decoder&) { return true; });
}

__attribute__((visibility("default"))) ESBool ESPause(ESHandle handle)
{
    return With(handle, errIncorrectMode, [](Decoder& d) {
        if (d.Mode != modePlaying)
            return false;
        d.Channel->Pause();
        d.Mode = modePaused;
        return true;
    });
}

__attribute__((visibility("default"))) ESBool ESResume(ESHandle handle)
{
    return With(handle, errIncorrectMode, [](Decoder& d) {
        if (d.Mode != modePaused)
            return false;
        d.Channel->Start();
        d.Mode = modePlaying;
        return true;
    });
}

__attribute__((visibility("default"))) ESBool ESStop(ESHandle handle)
{
    return With(handle, errIncorrectMode, [](Decoder& d) {
        if (!ModeIn(d, {modePlaying, modePaused, modeStopped, modeReady}))
            return false;
        const bool wasOutputting = ModeIn(d, {modePlaying, modePaused});
        d.Channel->Pause();
        d.Channel->Rewind();
        d.Mode = modeStopped;
        if (wasOutputting)
            SignalOutput(d, false);
        return true;
    });
}

__attribute__((visibility("default"))) ESBool ESClose(ESHandle handle)
{
    return With(handle, errIncorrectMode, [](Decoder& d) {
        d.Channel.reset();
        d.Source.reset();
        d.Mode = modeClosed;
        return true;
    });
}

__attribute__((visibility("default"))) ESBool ESCanSetPos(ESHandle handle)
{
    return With(handle, errNone, [](Decoder&) { return true; });
}

__attribute__((visibility("default"))) int32_t ESGetPos(ESHandle handle)
{
    int32_t position = -1;
    With(handle, errIncorrectMode, [&](Decoder& d) {
        if (!d.Channel)
            return false;
        position = static_cast<int32_t>(d.Channel->PositionMs());
        return true;
    });
    return position;
}

__attribute__((visibility("default"))) ESBool ESSetPos(ESHandle handle, int32_t position)
{
    return With(handle, errIncorrectMode, [&](Decoder& d) {
        if (!d.Channel || position < 0)
            return false;
        d.Channel->SeekMs(position);
        return true;
    });
}

__attribute__((visibility("default"))) int32_t ESGetSize(ESHandle handle)
{
    int32_t size = -1;
    With(handle, errIncorrectMode, [&](Decoder& d) {
        if (d.Channel)
            size = static_cast<int32_t>(d.Channel->LengthMs());
        else if (d.Source && d.Source->LengthFrames() >= 0)
            size = static_cast<int32_t>(d.Source->LengthFrames() * 1000 / d.Format.SampleRate);
        return size >= 0;
    });
    return size;
}

__attribute__((visibility("default"))) int32_t ESGetPlayerMode(ESHandle handle)
{
    Decoder* decoder = Find(handle);
    if (!decoder)
        return modeClosed;
    CheckEndLimit(*decoder);
    return decoder->Mode;
}

__attribute__((visibility("default"))) int32_t ESLastError(ESHandle handle)
{
    const Decoder* decoder = Find(handle);
    return decoder ? decoder->LastError : errInvalidHandle;
}

__attribute__((visibility("default"))) ESBool ESGetAbout(char* buffer, int32_t* size)
{
    return GetText(kAbout, buffer, size);
}
__attribute__((visibility("default"))) ESBool ESGetName(char* buffer, int32_t* size)
{
    return GetText(kName, buffer, size);
}
__attribute__((visibility("default"))) ESBool ESGetExts(char* buffer, int32_t* size)
{
    return GetText(kExtensions, buffer, size);
}
__attribute__((visibility("default"))) int32_t ESGetVersion() { return kVersion; }

__attribute__((visibility("default"))) ESBool ESSetOutputDev(ESHandle handle, int32_t)
{
    return With(handle, errNone, [](Decoder&) { return true; }); // one output device
}

__attribute__((visibility("default"))) ESBool ESSetDevNum(ESHandle handle, int32_t)
{
    return With(handle, errNone, [](Decoder&) { return true; });
}

__attribute__((visibility("default"))) ESBool ESSetBuffers(ESHandle handle, int32_t count, int32_t size)
{
    return With(handle, errIncorrectMode, [&](Decoder& d) {
        if (count < 1 || count > 64 || size < 1024 || size > (1 << 20))
            return false;
        d.BufferCount = count;
        d.BufferSize = size;
        return true;
    });
}

__attribute__((visibility("default"))) ESBool ESSetPriority(ESHandle handle, int32_t)
{
    return With(handle, errNone, [](Decoder&) { return true; }); // the output thread's priority stays the device's
}

__attribute__((visibility("default"))) ESBool ESSetLimits(ESHandle handle, int32_t start, int32_t end)
{
    return With(handle, errIncorrectMode, [&](Decoder& d) {
        if (start < 0 || (end > 0 && end <= start))
            return false;
        d.StartMs = start;
        d.EndMs = std::max(end, 0);
        return true;
    });
}

__attribute__((visibility("default"))) ESBool ESSetOutCB(ESHandle handle, ESOutputFunc output,
                                                         ESOutputActionFunc action, void* user)
{
    return With(handle, errNone, [&](Decoder& d) {
        d.Output = output;
        d.OutputAction = action;
        d.OutputUser = user;
        return true;
    });
}

__attribute__((visibility("default"))) ESBool ESSetInCB(ESHandle handle, ESInputOpenFunc, ESInputCloseFunc,
                                                        ESInputGetSizeFunc, ESInputSeekFunc, ESInputReadFunc, void*)
{
    // Kept for callers that register them; the module reads files only.
    return With(handle, errNone, [](Decoder&) { return true; });
}

__attribute__((visibility("default"))) ESBool ESSetWindow(ESHandle handle, void*)
{
    return With(handle, errNone, [](Decoder&) { return true; }); // events go through the output functions
}

__attribute__((visibility("default"))) ESBool ESUseOutCB(ESHandle handle, int32_t use)
{
    return With(handle, errNone, [&](Decoder& d) { return d.UseOutputEvents = use != 0, true; });
}

__attribute__((visibility("default"))) ESBool ESGetVolume(ESHandle handle, uint32_t* volume)
{
    return With(handle, errInternal, [&](Decoder& d) {
        if (!volume)
            return false;
        *volume = static_cast<uint32_t>(d.Left) | static_cast<uint32_t>(d.Right) << 16;
        return true;
    });
}

__attribute__((visibility("default"))) ESBool ESSetVolume(ESHandle handle, uint32_t volume)
{
    return With(handle, errInternal, [&](Decoder& d) {
        d.Left = static_cast<uint16_t>(volume >> 16);
        d.Right = static_cast<uint16_t>(volume & 0xFFFF);
        ApplyVolume(d);
        return true;
    });
}

__attribute__((visibility("default"))) ESBool ESCanSetVolume(ESHandle handle, ESBool* flag)
{
    return With(handle, errInternal, [&](Decoder&) { return flag && (*flag = 1, true); });
}

__attribute__((visibility("default"))) ESBool ESHasEQ(ESHandle handle, ESBool* has)
{
    return With(handle, errInternal, [&](Decoder&) { return has && (*has = 0, true); });
}

__attribute__((visibility("default"))) ESBool ESUseEQ(ESHandle handle, int32_t use)
{
    return With(handle, errNotImplemented, [&](Decoder&) { return use == 0; });
}

__attribute__((visibility("default"))) ESBool ESEQ(ESHandle handle, int32_t, int32_t)
{
    return With(handle, errNotImplemented, [](Decoder&) { return false; });
}

// The stream's format as text ("44100 Hz, 2 Kanäle").
__attribute__((visibility("default"))) ESBool ESGetInfo1(ESHandle handle, char* buffer, int32_t* size)
{
    return With(handle, errIncorrectMode, [&](Decoder& d) {
        if (d.Mode == modeClosed)
            return false;
        const std::string info = std::to_string(d.Format.SampleRate) + " Hz, " + std::to_string(d.Format.Channels) +
            " Kanäle";
        return GetText(info.c_str(), buffer, size) != 0;
    });
}

// The stream's sample rate.
__attribute__((visibility("default"))) ESBool ESGetInfo2(ESHandle handle, int32_t* value)
{
    return With(handle, errIncorrectMode,
                [&](Decoder& d) { return value && d.Mode != modeClosed && (*value = d.Format.SampleRate, true); });
}

} // extern "C"
