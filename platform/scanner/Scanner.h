#pragma once

// The system's scanner library: its devices opened by name, their scan mode
// and source options set, and one scanned frame read into a
// device-independent bitmap block. Status values are the library's; 0 is
// success. Only this layer includes the library's headers.

#include <string>
#include <vector>

#include "platform/ui/GlobalMemory.h"

namespace scanner {

constexpr int StatusGood = 0;
// Options of a device by name.
constexpr const char* ModeOption = "mode";
constexpr const char* SourceOption = "source";
// The library's status codes the layer tells apart.
constexpr int StatusUnsupported = 1;
constexpr int StatusCancelled = 2;
constexpr int StatusDeviceBusy = 3;
constexpr int StatusInvalid = 4;
constexpr int StatusEof = 5;
constexpr int StatusJammed = 6;
constexpr int StatusNoDocs = 7;
constexpr int StatusCoverOpen = 8;
constexpr int StatusIoError = 9;
constexpr int StatusNoMem = 10;
constexpr int StatusAccessDenied = 11;

// The library is linked to the layer: loading it opens the layer for a
// session and cannot fail; unloading closes it again.
bool Load();
void Unload();
bool Loaded();

int Init();
void Exit();
// The names of the devices; empty when there are none.
std::vector<std::string> Devices();
int Open(const std::string& device);
void Close();

// The scan modes the open device offers (the "mode" option's list); false
// when it has no such list.
bool Modes(std::vector<std::string>& modes);
int SetMode(const std::string& mode);
int SetDepth(int bits);
// A string option's choices and its value (false when the device has no
// such option with a list), and setting it.
bool Choices(const char* name, std::vector<std::string>& list, std::string& value);
int SetChoice(const char* name, const std::string& value);
// The resolution in dots per inch (false when the device has none), and
// setting it.
bool Resolution(int& dpi);
int SetResolution(int dpi);
// True when the open device scans from a document feeder.
bool FromFeeder();

int Start();
void Cancel();
// Reads the started frame into a new bitmap block; a status other than
// success leaves `dib` empty.
int ReadImage(HGLOBAL& dib);

} // namespace scanner
