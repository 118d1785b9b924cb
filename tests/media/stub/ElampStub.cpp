// A decoder module for the tests: it decodes nothing, records what it is
// given and reaches the end of a "sound" after a few polls. Built in three
// variants: complete, without "ESEQ", and one whose ESInitModule fails.
#include "media/stub/ElampStubState.h"

namespace {

ElampStubState state;
constexpr ESHandle kHandle = 42;
constexpr int32_t kStopped = 3, kPlaying = 4, kPaused = 5, kOpened = 1, kReady = 2, kClosed = 0;

ESBool Ok() { return state.lastError = 0, 1; }

} // namespace

#define STUB_EXPORT extern "C" __attribute__((visibility("default")))

STUB_EXPORT ElampStubState* ElampStubGetState() { return &state; }

STUB_EXPORT ESHandle ESInitModule(int32_t)
{
    state = ElampStubState{};
#ifdef ELAMP_STUB_INIT_FAILS
    return 0;
#else
    return kHandle;
#endif
}

STUB_EXPORT ESBool ESDeInitModule(ESHandle) { return Ok(); }
STUB_EXPORT ESBool ESOpen(ESHandle)
{
    if (state.failOpenWith >= 0) {
        state.lastError = state.failOpenWith;
        return 0;
    }
    state.mode = kOpened;
    return Ok();
}
STUB_EXPORT ESBool ESClose(ESHandle) { return state.mode = kClosed, Ok(); }
STUB_EXPORT ESBool ESPlay(ESHandle)
{
    state.mode = kPlaying;
    state.pollsUntilStopped = 3;
    if (state.action)
        state.action(1, state.user);
    return Ok();
}
STUB_EXPORT ESBool ESCanPause(ESHandle) { return 1; }
STUB_EXPORT ESBool ESPause(ESHandle) { return state.mode = kPaused, Ok(); }
STUB_EXPORT ESBool ESResume(ESHandle) { return state.mode = kPlaying, Ok(); }
STUB_EXPORT ESBool ESStop(ESHandle)
{
    state.mode = kStopped;
    if (state.action)
        state.action(0, state.user);
    return Ok();
}
STUB_EXPORT ESBool ESCanSetPos(ESHandle) { return 1; }
STUB_EXPORT int32_t ESGetPos(ESHandle) { return 0; }
STUB_EXPORT ESBool ESSetPos(ESHandle, int32_t) { return Ok(); }
STUB_EXPORT ESBool ESGetAbout(char* buffer, int32_t* size) { return buffer ? (buffer[0] = 0, 1) : (*size = 0, 1); }
STUB_EXPORT ESBool ESGetName(char* buffer, int32_t* size) { return buffer ? (buffer[0] = 0, 1) : (*size = 0, 1); }
STUB_EXPORT int32_t ESGetSize(ESHandle) { return 1000; }
STUB_EXPORT ESBool ESSetInputMode(ESHandle, int32_t) { return Ok(); }
STUB_EXPORT ESBool ESSetOutputMode(ESHandle, int32_t) { return Ok(); }
STUB_EXPORT ESBool ESSetInputName(ESHandle, const char*) { return Ok(); }
STUB_EXPORT ESBool ESSetOutputName(ESHandle, const char*) { return Ok(); }
STUB_EXPORT ESBool ESSetOutputDev(ESHandle, int32_t) { return Ok(); }
STUB_EXPORT int32_t ESGetPlayerMode(ESHandle)
{
    if (state.mode == kPlaying && --state.pollsUntilStopped <= 0) {
        state.mode = kStopped;
        if (state.action)
            state.action(0, state.user);
    }
    return state.mode;
}
STUB_EXPORT int32_t ESLastError(ESHandle) { return state.lastError; }
STUB_EXPORT int32_t ESGetVersion() { return 7; }
STUB_EXPORT ESBool ESSetBuffers(ESHandle, int32_t count, int32_t size)
{
    state.buffers.emplace_back(count, size);
    return Ok();
}
STUB_EXPORT ESBool ESSetPriority(ESHandle, int32_t) { return Ok(); }
STUB_EXPORT ESBool ESSetLimits(ESHandle, int32_t, int32_t) { return Ok(); }
STUB_EXPORT ESBool ESSetOutCB(ESHandle, ESOutputFunc, ESOutputActionFunc action, void* user)
{
    state.action = action;
    state.user = user;
    return Ok();
}
STUB_EXPORT ESBool ESGetVolume(ESHandle, uint32_t* volume) { return *volume = state.volume, Ok(); }
STUB_EXPORT ESBool ESSetVolume(ESHandle, uint32_t volume)
{
    state.volume = (volume >> 16) | (volume << 16); // written left-high, kept left-low
    return Ok();
}
STUB_EXPORT ESBool ESCanSetVolume(ESHandle, ESBool* flag) { return *flag = 1, Ok(); }
STUB_EXPORT ESBool ESGetExts(char* buffer, int32_t* size)
{
    static const char exts[] = "MP3;MP2";
    if (!buffer)
        return *size = sizeof exts - 1, 1;
    for (int i = 0; i <= *size && i < static_cast<int>(sizeof exts); ++i)
        buffer[i] = exts[i];
    return 1;
}
STUB_EXPORT ESBool ESGetInfo1(ESHandle, char*, int32_t*) { return 0; }
STUB_EXPORT ESBool ESGetInfo2(ESHandle, int32_t*) { return 0; }
STUB_EXPORT ESBool ESInitStream(ESHandle) { return state.mode = kReady, Ok(); }
STUB_EXPORT ESBool ESSetDevNum(ESHandle, int32_t) { return Ok(); }
STUB_EXPORT ESBool ESSetInCB(ESHandle, ESInputOpenFunc, ESInputCloseFunc, ESInputGetSizeFunc, ESInputSeekFunc,
                             ESInputReadFunc, void*)
{
    return Ok();
}
STUB_EXPORT ESBool ESSetWindow(ESHandle, void*) { return Ok(); }
STUB_EXPORT ESBool ESUseOutCB(ESHandle, int32_t) { return Ok(); }
STUB_EXPORT ESBool ESUseEQ(ESHandle, int32_t) { return Ok(); }
STUB_EXPORT ESBool ESHasEQ(ESHandle, ESBool* has) { return *has = 0, Ok(); }
#ifndef ELAMP_STUB_OMIT_EQ
STUB_EXPORT ESBool ESEQ(ESHandle, int32_t, int32_t) { return Ok(); }
#endif
