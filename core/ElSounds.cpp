#include "core/ElSounds.h"

#include <algorithm>
#include <cctype>

#include "platform/rtl/Modules.h"
#include "platform/ui/Controls.h"
#include "platform/ui/HiddenWindows.h"

IMPLEMENT_CLASS(TElPlayer)
IMPLEMENT_CLASS(TElPlayers)
IMPLEMENT_CLASS(TElPlayerMan)

namespace ElSounds {

std::string ErrorMessage(TElSError Code)
{
    static const char* const messages[] = {
        "No error",
        "Requested operation is not implemented in the decoder",
        "Incorrect decoder mode",
        "Internal decoder error",
        "Invalid object handle passed to decoder",
        "Input stream failure",
        "Output device failure",
        "Not enough memory to perform an operation",
        "Decoder failed to allocate resources",
        "One of callback functions needed to perform an operation not defined",
        "Failed to load or initialize decoder module",
        "Module not initialized",
    };
    return Code <= peNotInitialized ? messages[Code] : "Internal decoder error";
}

} // namespace ElSounds

TElSException::TElSException(TElSError ACode) : Exception(ElSounds::ErrorMessage(ACode)), Code(ACode) { }

struct TElPlayer::EntryPoints {
    ESInitModuleFunc InitModule;
    ESHandleFunc DeInitModule, Open, Close, Play, CanPause, Pause, Resume, Stop, CanSetPos;
    ESGetValueFunc GetPos;
    ESSetValueFunc SetPos;
    ESGetTextFunc GetAbout, GetName;
    ESGetValueFunc GetSize;
    ESSetValueFunc SetInputMode, SetOutputMode;
    ESSetTextFunc SetInputName, SetOutputName;
    ESSetValueFunc SetOutputDev;
    ESGetValueFunc GetPlayerMode, LastError;
    ESGetVersionFunc GetVersion;
    ESSetPairFunc SetBuffers;
    ESSetValueFunc SetPriority;
    ESSetPairFunc SetLimits;
    ESSetOutCBFunc SetOutCB;
    ESGetVolumeFunc GetVolume;
    ESSetVolumeFunc SetVolume;
    ESGetFlagFunc CanSetVolume;
    ESGetTextFunc GetExts;
    ESGetInfo1Func GetInfo1;
    ESGetInfo2Func GetInfo2;
    ESHandleFunc InitStream;
    ESSetValueFunc SetDevNum;
    ESSetInCBFunc SetInCB;
    ESSetWindowFunc SetWindow;
    ESSetValueFunc UseOutCB, UseEQ;
    ESGetFlagFunc HasEQ;
    ESSetPairFunc EQ;
};

namespace {

// Binds a slot from the module; false when the module lacks the name.
template <typename Function> bool BindEntry(HMODULE module, const char* name, Function& slot)
{
    slot = reinterpret_cast<Function>(rtl::GetProcAddress(module, name));
    return slot != nullptr;
}

} // namespace

TElPlayer::TElPlayer(TElPlayers* ACollection) : collection_(ACollection)
{
    window_ = ui::AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
}

TElPlayer::~TElPlayer()
{
    if (initialized_)
        Deinit();
    ui::DeallocateHWnd(window_);
}

void TElPlayer::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_QUERYENDSESSION) {
        Message.Result = 1;
        return;
    }
    try {
        Message.Result = ui::DefWindowProc(window_, Message.Msg, Message.WParam, Message.LParam);
    } catch (...) {
        ui::HandleException(this);
    }
}

void TElPlayer::Bind()
{
    EntryPoints& e = *entries_;
    HMODULE m = module_;
    // In the module's documented order; the first missing name stops it.
    const bool complete = BindEntry(m, "ESInitModule", e.InitModule) &&
        BindEntry(m, "ESDeInitModule", e.DeInitModule) && BindEntry(m, "ESOpen", e.Open) &&
        BindEntry(m, "ESClose", e.Close) && BindEntry(m, "ESPlay", e.Play) && BindEntry(m, "ESCanPause", e.CanPause) &&
        BindEntry(m, "ESPause", e.Pause) && BindEntry(m, "ESResume", e.Resume) && BindEntry(m, "ESStop", e.Stop) &&
        BindEntry(m, "ESCanSetPos", e.CanSetPos) && BindEntry(m, "ESGetPos", e.GetPos) &&
        BindEntry(m, "ESSetPos", e.SetPos) && BindEntry(m, "ESGetAbout", e.GetAbout) &&
        BindEntry(m, "ESGetName", e.GetName) && BindEntry(m, "ESGetSize", e.GetSize) &&
        BindEntry(m, "ESSetInputMode", e.SetInputMode) && BindEntry(m, "ESSetOutputMode", e.SetOutputMode) &&
        BindEntry(m, "ESSetInputName", e.SetInputName) && BindEntry(m, "ESSetOutputName", e.SetOutputName) &&
        BindEntry(m, "ESSetOutputDev", e.SetOutputDev) && BindEntry(m, "ESGetPlayerMode", e.GetPlayerMode) &&
        BindEntry(m, "ESLastError", e.LastError) && BindEntry(m, "ESGetVersion", e.GetVersion) &&
        BindEntry(m, "ESSetBuffers", e.SetBuffers) && BindEntry(m, "ESSetPriority", e.SetPriority) &&
        BindEntry(m, "ESSetLimits", e.SetLimits) && BindEntry(m, "ESSetOutCB", e.SetOutCB) &&
        BindEntry(m, "ESGetVolume", e.GetVolume) && BindEntry(m, "ESSetVolume", e.SetVolume) &&
        BindEntry(m, "ESCanSetVolume", e.CanSetVolume) && BindEntry(m, "ESGetExts", e.GetExts) &&
        BindEntry(m, "ESGetInfo1", e.GetInfo1) && BindEntry(m, "ESGetInfo2", e.GetInfo2) &&
        BindEntry(m, "ESInitStream", e.InitStream) && BindEntry(m, "ESSetDevNum", e.SetDevNum) &&
        BindEntry(m, "ESSetInCB", e.SetInCB) && BindEntry(m, "ESSetWindow", e.SetWindow) &&
        BindEntry(m, "ESUseOutCB", e.UseOutCB) && BindEntry(m, "ESUseEQ", e.UseEQ) &&
        BindEntry(m, "ESHasEQ", e.HasEQ) && BindEntry(m, "ESEQ", e.EQ);
    if (!complete)
        throw TElSException(peNotLoaded);
}

void TElPlayer::Init()
{
    if (initialized_)
        return;
    module_ = rtl::LoadLibrary(PathToDLL);
    if (!module_)
        throw TElSException(peNotLoaded);
    entries_ = std::make_unique<EntryPoints>();
    try {
        Bind();
        handle_ = entries_->InitModule(0);
        if (handle_ == 0)
            throw TElSException(peNotInitialized);
    } catch (...) {
        ReleaseModule();
        throw;
    }
    entries_->SetOutCB(handle_, &TElPlayer::OutputFunction, &TElPlayer::OutputActionFunction, this);
    entries_->SetInCB(handle_, &TElPlayer::InputOpenFunction, &TElPlayer::InputCloseFunction,
                      &TElPlayer::InputGetSizeFunction, &TElPlayer::InputSeekFunction, &TElPlayer::InputReadFunction,
                      this);
    initialized_ = true;
}

void TElPlayer::Deinit()
{
    if (handle_ != 0)
        entries_->DeInitModule(handle_);
    handle_ = 0;
    ReleaseModule();
    initialized_ = false;
    paused_ = false;
}

void TElPlayer::ReleaseModule()
{
    entries_.reset();
    if (module_)
        rtl::FreeLibrary(module_);
    module_ = nullptr;
}

void TElPlayer::SetInitialized(bool Value)
{
    if (Value == initialized_)
        return;
    if (Value)
        Init();
    else
        Deinit();
}

ESHandle TElPlayer::RequireHandle() const
{
    if (handle_ == 0)
        throw TElSException(peNotInitialized);
    return handle_;
}

bool TElPlayer::Checked(ESBool Result)
{
    if (Result)
        return true;
    const int32_t code = entries_->LastError(handle_);
    lastError_ = code >= 0 && code <= peNotInitialized ? static_cast<TElSError>(code) : peInternalError;
    if (lastError_ > peNoError)
        throw TElSException(lastError_);
    return false;
}

bool TElPlayer::Open()
{
    const ESHandle h = RequireHandle();
    EntryPoints& e = *entries_;
    return Checked(e.SetInputMode(h, InputMode)) && Checked(e.SetInputName(h, InputName.c_str())) &&
        Checked(e.SetOutputMode(h, OutputMode)) && Checked(e.SetOutputName(h, OutputName.c_str())) &&
        Checked(e.SetPriority(h, priority_)) && Checked(e.Open(h));
}

bool TElPlayer::InitStream()
{
    const ESHandle h = RequireHandle();
    return Checked(entries_->SetDevNum(h, OutputDevNum)) && Checked(entries_->InitStream(h));
}

bool TElPlayer::Play()
{
    const ESHandle h = RequireHandle();
    EntryPoints& e = *entries_;
    const bool allOutputEvents = OnOutputInit && OnOutputDone && OnOutput;
    if (!(Checked(e.SetLimits(h, startPos_, endPos_)) && Checked(e.SetWindow(h, window_)) &&
          Checked(e.UseOutCB(h, allOutputEvents ? 1 : 0)) && Checked(e.Play(h))))
        return false;
    // The volume is read and written back as the module halves it, so the
    // round trip keeps both channels where they were.
    ESBool canSet = 0;
    if (e.CanSetVolume(h, &canSet) && canSet) {
        uint32_t packed = 0;
        if (e.GetVolume(h, &packed)) {
            const uint32_t left = packed & 0xFFFF;
            const uint32_t right = packed >> 16;
            e.SetVolume(h, left << 16 | right);
        }
    }
    return true;
}

bool TElPlayer::Pause()
{
    const ESHandle h = RequireHandle();
    const bool ok = Checked(entries_->Pause(h));
    if (ok)
        paused_ = true;
    return ok;
}

bool TElPlayer::Resume()
{
    const ESHandle h = RequireHandle();
    paused_ = false;
    return Checked(entries_->Resume(h));
}

bool TElPlayer::Stop()
{
    const ESHandle h = RequireHandle();
    paused_ = false;
    return Checked(entries_->Stop(h));
}

bool TElPlayer::Close()
{
    const ESHandle h = RequireHandle();
    paused_ = false;
    return Checked(entries_->Close(h));
}

TElSPlayerMode TElPlayer::GetPlayerMode()
{
    const ESHandle h = RequireHandle();
    const int32_t mode = entries_->GetPlayerMode(h);
    return mode >= pmClosed && mode <= pmPaused ? static_cast<TElSPlayerMode>(mode) : pmClosed;
}

int TElPlayer::GetPosition()
{
    const ESHandle h = RequireHandle();
    const int32_t position = entries_->GetPos(h);
    if (position < 0)
        Checked(0);
    return position;
}

bool TElPlayer::SetPosition(int Pos)
{
    const ESHandle h = RequireHandle();
    return Checked(entries_->SetPos(h, Pos));
}

int TElPlayer::GetSize()
{
    const ESHandle h = RequireHandle();
    const int32_t size = entries_->GetSize(h);
    if (size < 0)
        Checked(0);
    return size;
}

bool TElPlayer::CanPause()
{
    const ESHandle h = RequireHandle();
    return entries_->CanPause(h) != 0;
}

bool TElPlayer::CanSetPosition()
{
    const ESHandle h = RequireHandle();
    return entries_->CanSetPos(h) != 0;
}

std::string TElPlayer::ModuleText(const std::function<ESBool(char*, int32_t*)>& Function)
{
    int32_t size = 0;
    if (!Checked(Function(nullptr, &size)) || size < 0)
        return {};
    std::string text(static_cast<size_t>(size) + 1, '\0');
    if (!Checked(Function(text.data(), &size)))
        return {};
    text.resize(std::min<size_t>(text.find('\0'), text.size()));
    return text;
}

std::string TElPlayer::About()
{
    RequireHandle();
    return ModuleText(entries_->GetAbout);
}

std::string TElPlayer::ModuleName()
{
    RequireHandle();
    return ModuleText(entries_->GetName);
}

std::string TElPlayer::Extensions()
{
    RequireHandle();
    return ModuleText(entries_->GetExts);
}

int TElPlayer::Version()
{
    RequireHandle();
    return entries_->GetVersion();
}

uint32_t TElPlayer::ReadVolume()
{
    const ESHandle h = RequireHandle();
    uint32_t packed = 0;
    Checked(entries_->GetVolume(h, &packed));
    return packed;
}

void TElPlayer::WriteVolume(int Left, int Right)
{
    const ESHandle h = RequireHandle();
    const auto left = static_cast<uint32_t>(std::clamp(Left, 0, 0xFFFF));
    const auto right = static_cast<uint32_t>(std::clamp(Right, 0, 0xFFFF));
    Checked(entries_->SetVolume(h, left << 16 | right));
}

int TElPlayer::LeftVolume()
{
    if (OutputMode != omMMSystem)
        return 0;
    return static_cast<int>(ReadVolume() & 0xFFFF);
}

int TElPlayer::RightVolume()
{
    if (OutputMode != omMMSystem)
        return 0;
    return static_cast<int>(ReadVolume() >> 16);
}

void TElPlayer::SetLeftVolume(int Value)
{
    const ESHandle h = RequireHandle();
    ESBool separate = 0;
    Checked(entries_->CanSetVolume(h, &separate));
    WriteVolume(Value, separate ? static_cast<int>(ReadVolume() >> 16) : Value);
}

void TElPlayer::SetRightVolume(int Value)
{
    const ESHandle h = RequireHandle();
    ESBool separate = 0;
    Checked(entries_->CanSetVolume(h, &separate));
    WriteVolume(separate ? static_cast<int>(ReadVolume() & 0xFFFF) : Value, Value);
}

bool TElPlayer::HasEqualizer()
{
    const ESHandle h = RequireHandle();
    ESBool has = 0;
    return Checked(entries_->HasEQ(h, &has)) && has;
}

bool TElPlayer::SetEqualizerBand(int Band, int Gain)
{
    const ESHandle h = RequireHandle();
    return Checked(entries_->UseEQ(h, UseEqualizer ? 1 : 0)) && Checked(entries_->EQ(h, Band, Gain));
}

std::string TElPlayer::Info1()
{
    const ESHandle h = RequireHandle();
    return ModuleText([&](char* Buffer, int32_t* Size) { return entries_->GetInfo1(h, Buffer, Size); });
}

int TElPlayer::Info2()
{
    const ESHandle h = RequireHandle();
    int32_t value = 0;
    Checked(entries_->GetInfo2(h, &value));
    return value;
}

void TElPlayer::SetStartPos(int Value)
{
    startPos_ = Value;
    if (handle_ != 0)
        Checked(entries_->SetLimits(handle_, startPos_, endPos_));
}

void TElPlayer::SetEndPos(int Value)
{
    endPos_ = Value;
    if (handle_ != 0)
        Checked(entries_->SetLimits(handle_, startPos_, endPos_));
}

void TElPlayer::SetPriority(int Value)
{
    priority_ = Value;
    if (handle_ != 0)
        Checked(entries_->SetPriority(handle_, priority_));
}

void TElPlayer::SetBuffersCount(int Value)
{
    buffersCount_ = Value;
    if (handle_ != 0)
        Checked(entries_->SetBuffers(handle_, buffersCount_, bufferSize_));
}

void TElPlayer::SetBufferSize(int Value)
{
    bufferSize_ = Value;
    if (handle_ != 0)
        Checked(entries_->SetBuffers(handle_, buffersCount_, bufferSize_));
}

void TElPlayer::TriggerInitOutputEvent(bool& Success)
{
    if (OnOutputInit)
        OnOutputInit(this, Success);
    else
        Success = false;
}

void TElPlayer::TriggerDoneOutputEvent(bool& Success)
{
    if (OnOutputDone)
        OnOutputDone(this, Success);
    else
        Success = false;
}

void TElPlayer::TriggerOutputEvent(const void* Data, int BitsPerSample, int Channels, int SampleRate, int Size,
                                   bool& Success)
{
    if (OnOutput)
        OnOutput(this, Data, BitsPerSample, Channels, SampleRate, Size, Success);
    else
        Success = false;
}

void TElPlayer::TriggerInputOpenEvent(intptr_t& Stream, bool& Success)
{
    if (OnInputOpen)
        OnInputOpen(this, Stream, Success);
    else
        Success = false;
}

void TElPlayer::TriggerInputCloseEvent(intptr_t Stream, bool& Success)
{
    if (OnInputClose)
        OnInputClose(this, Stream, Success);
    else
        Success = false;
}

void TElPlayer::TriggerInputGetSizeEvent(intptr_t Stream, int& Size, bool& Success)
{
    if (OnInputGetSize)
        OnInputGetSize(this, Stream, Size, Success);
    else
        Success = false;
}

void TElPlayer::TriggerInputSeekEvent(intptr_t Stream, int Position, bool& Success)
{
    if (OnInputSeek)
        OnInputSeek(this, Stream, Position, Success);
    else
        Success = false;
}

void TElPlayer::TriggerInputReadEvent(intptr_t Stream, void* Buffer, int BytesToRead, int& BytesRead, bool& Success)
{
    if (OnInputRead)
        OnInputRead(this, Stream, Buffer, BytesToRead, BytesRead, Success);
    else
        Success = false;
}

// The functions handed to the module: each presets success, lets the
// player's trigger decide, and answers with it.
ESBool TElPlayer::OutputFunction(void* User, const void* Data, int32_t Bits, int32_t Channels, int32_t Rate,
                                 int32_t Size)
{
    bool success = true;
    static_cast<TElPlayer*>(User)->TriggerOutputEvent(Data, Bits, Channels, Rate, Size, success);
    return success;
}

ESBool TElPlayer::OutputActionFunction(ESBool Init, void* User)
{
    bool success = true;
    auto* player = static_cast<TElPlayer*>(User);
    if (Init)
        player->TriggerInitOutputEvent(success);
    else
        player->TriggerDoneOutputEvent(success);
    return success;
}

ESBool TElPlayer::InputOpenFunction(void* User, intptr_t* Stream)
{
    bool success = true;
    intptr_t stream = 0;
    static_cast<TElPlayer*>(User)->TriggerInputOpenEvent(stream, success);
    if (Stream)
        *Stream = stream;
    return success;
}

ESBool TElPlayer::InputCloseFunction(void* User, intptr_t Stream)
{
    bool success = true;
    static_cast<TElPlayer*>(User)->TriggerInputCloseEvent(Stream, success);
    return success;
}

ESBool TElPlayer::InputGetSizeFunction(void* User, intptr_t Stream, int32_t* Size)
{
    bool success = true;
    int size = 0;
    static_cast<TElPlayer*>(User)->TriggerInputGetSizeEvent(Stream, size, success);
    if (Size)
        *Size = size;
    return success;
}

ESBool TElPlayer::InputSeekFunction(void* User, intptr_t Stream, int32_t Position)
{
    bool success = true;
    static_cast<TElPlayer*>(User)->TriggerInputSeekEvent(Stream, Position, success);
    return success;
}

ESBool TElPlayer::InputReadFunction(void* User, intptr_t Stream, void* Buffer, int32_t BytesToRead, int32_t* BytesRead)
{
    bool success = true;
    int read = 0;
    static_cast<TElPlayer*>(User)->TriggerInputReadEvent(Stream, Buffer, BytesToRead, read, success);
    if (BytesRead)
        *BytesRead = read;
    return success;
}

TElPlayer* TElPlayers::Add()
{
    items_.push_back(std::make_unique<TElPlayer>(this));
    return items_.back().get();
}

TElPlayer* TElPlayers::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return items_[static_cast<size_t>(Index)].get();
}

void TElPlayers::Delete(int Index)
{
    Items(Index);
    items_.erase(items_.begin() + Index);
}

TElPlayerMan::TElPlayerMan(TComponent* AOwner) : TComponent(AOwner) { }

TElPlayer* TElPlayerMan::WhoseType(const std::string& Ext)
{
    auto upper = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    };
    std::string wanted = upper(Ext);
    if (!wanted.empty() && wanted[0] == '.')
        wanted.erase(0, 1);
    if (wanted.empty())
        return nullptr; // "." alone names no type
    for (int i = 0; i < players_.Count(); ++i) {
        TElPlayer* player = players_.Items(i);
        if (!player->Initialized())
            continue;
        try {
            if (upper(player->Extensions()).find(wanted) != std::string::npos)
                return player;
        } catch (const Exception&) {
        }
    }
    return nullptr;
}
