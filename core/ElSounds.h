#pragma once

// Binding of the MPEG audio decoder module: TElPlayer loads the module
// (a shared object exporting the ES entry points), owns one decoder
// instance in it and turns the module's failures into TElSException.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/modules/elamp/ElampExports.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Resources.h" // HMODULE
#include "platform/ui/Messages.h"

enum TElSError : uint8_t {
    peNoError,
    peNotImplemented,
    peIncorrectMode,
    peInternalError,
    peInvalidHandle,
    peInputError,
    peOutputError,
    peNoMemory,
    peNoResources,
    peNoCallback,
    peNotLoaded,
    peNotInitialized
};

class TElSException : public Exception {
public:
    explicit TElSException(TElSError Code);
    TElSError Code;
};

enum TElSInputMode : uint8_t { imFile, imCallback };
enum TElSOutputMode : uint8_t { omMMSystem, omFile, omDirectSound, omCallback };
enum TElSPlayerMode : uint8_t { pmClosed, pmOpened, pmReady, pmStopped, pmPlaying, pmPaused };
enum TElSStereoMode : uint8_t { MPG_MD_STEREO, MPG_MD_JOINT_STEREO, MPG_MD_DUAL_CHANNEL, MPG_MD_MONO };

using TElSOutputEvent = std::function<void(TObject* Sender, const void* Data, int BitsPerSample, int Channels,
                                           int SampleRate, int Size, bool& Success)>;
using TElSOutputActionEvent = std::function<void(TObject* Sender, bool& Success)>;
using TElSInputOpenEvent = std::function<void(TObject* Sender, intptr_t& Stream, bool& Success)>;
using TElSInputCloseEvent = std::function<void(TObject* Sender, intptr_t Stream, bool& Success)>;
using TElSInputGetSizeEvent = std::function<void(TObject* Sender, intptr_t Stream, int& Size, bool& Success)>;
using TElSInputSeekEvent = std::function<void(TObject* Sender, intptr_t Stream, int Position, bool& Success)>;
using TElSInputReadEvent =
    std::function<void(TObject* Sender, intptr_t Stream, void* Buffer, int BytesToRead, int& BytesRead, bool& Success)>;

class TElPlayers;

class TElPlayer : public TPersistent {
    DECLARE_CLASS(TElPlayer, TPersistent)
public:
    explicit TElPlayer(TElPlayers* Collection = nullptr);
    ~TElPlayer() override;
    TElPlayer(const TElPlayer&) = delete;
    TElPlayer& operator=(const TElPlayer&) = delete;

    TElPlayers* Collection() const { return collection_; }

    // Loads PathToDLL, binds the entry points and creates the decoder:
    // peNotLoaded when the module or an entry point is missing,
    // peNotInitialized when it refuses the decoder.
    virtual void Init();
    void Deinit();
    bool Initialized() const { return initialized_; }
    void SetInitialized(bool Value);

    bool Open();
    bool InitStream();
    virtual bool Play();
    virtual bool Pause();
    virtual bool Resume();
    virtual bool Stop();
    bool Close();
    TElSPlayerMode GetPlayerMode();
    int GetPosition(); // ms, -1 on failure
    bool SetPosition(int Pos);
    int GetSize(); // ms, -1 on failure
    bool CanPause();
    bool CanSetPosition();
    bool Paused() const { return paused_; }

    std::string About();
    std::string ModuleName();
    std::string Extensions();
    int Version();

    // 0..65535 each. Reading gives 0 when the output is not the sound device.
    int LeftVolume();
    void SetLeftVolume(int Value);
    int RightVolume();
    void SetRightVolume(int Value);

    bool HasEqualizer();
    bool SetEqualizerBand(int Band, int Gain);
    std::string Info1();
    int Info2();

    TElSInputMode InputMode = imFile;
    std::string InputName;
    TElSOutputMode OutputMode = omMMSystem;
    std::string OutputName;
    std::string PathToDLL;
    int OutputDevNum = -1;
    bool UseEqualizer = false;

    int StartPos() const { return startPos_; }
    void SetStartPos(int Value);
    int EndPos() const { return endPos_; }
    void SetEndPos(int Value);
    int Priority() const { return priority_; }
    void SetPriority(int Value);
    int BuffersCount() const { return buffersCount_; }
    void SetBuffersCount(int Value);
    int BufferSize() const { return bufferSize_; }
    void SetBufferSize(int Value);
    TElSError LastError() const { return lastError_; }

    TElSOutputActionEvent OnOutputInit;
    TElSOutputActionEvent OnOutputDone;
    TElSOutputEvent OnOutput;
    TElSInputOpenEvent OnInputOpen;
    TElSInputCloseEvent OnInputClose;
    TElSInputGetSizeEvent OnInputGetSize;
    TElSInputSeekEvent OnInputSeek;
    TElSInputReadEvent OnInputRead;

protected:
    virtual void WndProc(TMessage& Message);
    virtual void TriggerInitOutputEvent(bool& Success);
    virtual void TriggerDoneOutputEvent(bool& Success);
    virtual void TriggerOutputEvent(const void* Data, int BitsPerSample, int Channels, int SampleRate, int Size,
                                    bool& Success);
    virtual void TriggerInputOpenEvent(intptr_t& Stream, bool& Success);
    virtual void TriggerInputCloseEvent(intptr_t Stream, bool& Success);
    virtual void TriggerInputGetSizeEvent(intptr_t Stream, int& Size, bool& Success);
    virtual void TriggerInputSeekEvent(intptr_t Stream, int Position, bool& Success);
    virtual void TriggerInputReadEvent(intptr_t Stream, void* Buffer, int BytesToRead, int& BytesRead, bool& Success);

private:
    struct EntryPoints;
    ESHandle RequireHandle() const;
    // The error rule of every wrapper: a failed call stores ESLastError and
    // raises it when it is a real error.
    bool Checked(ESBool Result);
    // Asks a text of the module: its size first, then the text.
    std::string ModuleText(const std::function<ESBool(char*, int32_t*)>& Function);
    uint32_t ReadVolume();
    void WriteVolume(int Left, int Right);
    void Bind();
    void ReleaseModule();

    static ESBool OutputFunction(void* User, const void* Data, int32_t Bits, int32_t Channels, int32_t Rate,
                                 int32_t Size);
    static ESBool OutputActionFunction(ESBool Init, void* User);
    static ESBool InputOpenFunction(void* User, intptr_t* Stream);
    static ESBool InputCloseFunction(void* User, intptr_t Stream);
    static ESBool InputGetSizeFunction(void* User, intptr_t Stream, int32_t* Size);
    static ESBool InputSeekFunction(void* User, intptr_t Stream, int32_t Position);
    static ESBool InputReadFunction(void* User, intptr_t Stream, void* Buffer, int32_t BytesToRead, int32_t* BytesRead);

    TElPlayers* collection_ = nullptr;
    TElSError lastError_ = peNoError;
    HMODULE module_ = nullptr;
    ESHandle handle_ = 0;
    HWND window_ = nullptr;
    std::unique_ptr<EntryPoints> entries_;
    bool paused_ = false;
    int startPos_ = 0;
    int endPos_ = 0;
    int priority_ = 0;
    int bufferSize_ = 16384;
    int buffersCount_ = 8;
    bool initialized_ = false;
};

// A collection of decoder players; it owns them.
class TElPlayers : public TPersistent {
    DECLARE_CLASS(TElPlayers, TPersistent)
public:
    TElPlayers() = default;
    TElPlayer* Add();
    int Count() const { return static_cast<int>(items_.size()); }
    TElPlayer* Items(int Index) const; // EListError when out of range
    void Delete(int Index);
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<TElPlayer>> items_;
};

class TElPlayerMan : public TComponent {
    DECLARE_CLASS(TElPlayerMan, TComponent)
public:
    explicit TElPlayerMan(TComponent* AOwner);
    TElPlayers& Players() { return players_; }
    // The first initialised player whose module lists the extension, or
    // nullptr; a module that fails to answer is passed over.
    TElPlayer* WhoseType(const std::string& Ext);

private:
    TElPlayers players_;
};

namespace ElSounds {
// The message of a code, as TElSException carries it.
std::string ErrorMessage(TElSError Code);
} // namespace ElSounds
