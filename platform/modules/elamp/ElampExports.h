#pragma once

// The entry points of the MPEG audio decoder module "elamp.esp", as C
// functions the players bind by name. A decoder instance is a non-zero
// handle from ESInitModule; a call that fails returns 0 (or -1 for a value)
// and leaves its error code for ESLastError.
//
// Volumes are two 16-bit halves. ESGetVolume gives the left channel in the
// low half and the right one in the high half; ESSetVolume takes the left
// channel in the high half and the right one in the low half. A player that
// reads a volume and writes it back as left * 65536 + right therefore keeps
// it unchanged.

#include <cstdint>

extern "C" {

using ESHandle = intptr_t;
using ESBool = int32_t;

// Output events: decoded samples, and the start (init = 1) or end (init = 0)
// of the output. The user data is what ESSetOutCB was given.
using ESOutputFunc = ESBool (*)(void* user, const void* data, int32_t bitsPerSample, int32_t channels,
                                int32_t sampleRate, int32_t size);
using ESOutputActionFunc = ESBool (*)(ESBool init, void* user);
// Input events for a stream the player supplies itself.
using ESInputOpenFunc = ESBool (*)(void* user, intptr_t* stream);
using ESInputCloseFunc = ESBool (*)(void* user, intptr_t stream);
using ESInputGetSizeFunc = ESBool (*)(void* user, intptr_t stream, int32_t* size);
using ESInputSeekFunc = ESBool (*)(void* user, intptr_t stream, int32_t position);
using ESInputReadFunc = ESBool (*)(void* user, intptr_t stream, void* buffer, int32_t bytesToRead, int32_t* bytesRead);

using ESInitModuleFunc = ESHandle (*)(int32_t reserved);
using ESHandleFunc = ESBool (*)(ESHandle handle);    // ESDeInitModule, ESOpen, ESClose, ESPlay, ESCanPause,
                                                     // ESPause, ESResume, ESStop, ESCanSetPos, ESInitStream
using ESGetValueFunc = int32_t (*)(ESHandle handle); // ESGetPos, ESGetSize, ESGetPlayerMode, ESLastError
using ESSetValueFunc = ESBool (*)(ESHandle handle, int32_t value);   // ESSetPos, ESSetInputMode, ESSetOutputMode,
                                                                     // ESSetOutputDev, ESSetPriority, ESSetDevNum,
                                                                     // ESUseOutCB, ESUseEQ
using ESGetTextFunc = ESBool (*)(char* buffer, int32_t* size);       // ESGetAbout, ESGetName, ESGetExts
using ESSetTextFunc = ESBool (*)(ESHandle handle, const char* text); // ESSetInputName, ESSetOutputName
using ESGetVersionFunc = int32_t (*)();
using ESSetPairFunc = ESBool (*)(ESHandle handle, int32_t first, int32_t second); // ESSetBuffers (count, size),
                                                                                  // ESSetLimits (start, end),
                                                                                  // ESEQ (band, gain)
using ESSetOutCBFunc = ESBool (*)(ESHandle handle, ESOutputFunc output, ESOutputActionFunc action, void* user);
using ESSetInCBFunc = ESBool (*)(ESHandle handle, ESInputOpenFunc open, ESInputCloseFunc close,
                                 ESInputGetSizeFunc getSize, ESInputSeekFunc seek, ESInputReadFunc read, void* user);
using ESGetVolumeFunc = ESBool (*)(ESHandle handle, uint32_t* volume);
using ESSetVolumeFunc = ESBool (*)(ESHandle handle, uint32_t volume);
using ESGetFlagFunc = ESBool (*)(ESHandle handle, ESBool* flag); // ESCanSetVolume, ESHasEQ
using ESGetInfo1Func = ESBool (*)(ESHandle handle, char* buffer, int32_t* size);
using ESGetInfo2Func = ESBool (*)(ESHandle handle, int32_t* value);
using ESSetWindowFunc = ESBool (*)(ESHandle handle, void* window);

} // extern "C"
