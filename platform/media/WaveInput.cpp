#include "platform/media/WaveInput.h"

#include <SDL2/SDL.h>

#include <algorithm>

#include "platform/rtl/Threads.h"

namespace media {

WaveInput::WaveInput() : self_(std::make_shared<WaveInput*>(this)) { }

WaveInput::~WaveInput()
{
    Close();
    self_.reset();
}

std::vector<std::string> WaveInput::DeviceNames()
{
    std::vector<std::string> names;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return names;
    const int count = SDL_GetNumAudioDevices(1);
    for (int i = 0; i < count; ++i)
        if (const char* name = SDL_GetAudioDeviceName(i, 1))
            names.emplace_back(name);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return names;
}

bool WaveInput::Open(const std::string& Device, const WaveInFormat& Format, size_t BufferBytes)
{
    if (IsOpen()) {
        ErrorText = "Wave Input device is already open";
        return false;
    }
    if ((Format.Channels != 1 && Format.Channels != 2) || (Format.BitsPerSample != 8 && Format.BitsPerSample != 16) ||
        Format.SampleRate <= 0 || BufferBytes == 0) {
        ErrorText = "Das Aufnahmeformat wird nicht unterstützt";
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        ErrorText = SDL_GetError();
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = Format.SampleRate;
    wanted.format = Format.BitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    wanted.channels = static_cast<Uint8>(Format.Channels);
    wanted.samples = 1024;
    wanted.callback = &WaveInput::Captured;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to the format asked for.
    device_ = SDL_OpenAudioDevice(Device.empty() ? nullptr : Device.c_str(), 1, &wanted, &obtained, 0);
    if (device_ == 0) {
        ErrorText = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    bufferBytes_ = BufferBytes;
    filling_.clear();
    filling_.reserve(BufferBytes);
    return true;
}

bool WaveInput::Start()
{
    if (!IsOpen()) {
        ErrorText = "Das Aufnahmegerät ist nicht geöffnet";
        return false;
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void WaveInput::Stop()
{
    if (!IsOpen())
        return;
    SDL_PauseAudioDevice(device_, 1);
    SDL_LockAudioDevice(device_);
    filling_.clear();
    SDL_UnlockAudioDevice(device_);
}

void WaveInput::Close()
{
    if (!IsOpen())
        return;
    SDL_CloseAudioDevice(device_);
    device_ = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void WaveInput::Captured(void* user, uint8_t* data, int length)
{
    static_cast<WaveInput*>(user)->Collect(data, static_cast<size_t>(length));
}

// Runs on the device's thread: cuts the stream into whole buffers and posts
// each to the main thread.
void WaveInput::Collect(const uint8_t* data, size_t length)
{
    while (length > 0) {
        const size_t take = std::min(length, bufferBytes_ - filling_.size());
        filling_.insert(filling_.end(), data, data + take);
        data += take;
        length -= take;
        if (filling_.size() < bufferBytes_)
            continue;
        std::weak_ptr<WaveInput*> weak = self_;
        TThread::Queue(nullptr, [weak, buffer = std::move(filling_)] {
            const auto self = weak.lock();
            if (self && (*self)->IsOpen() && (*self)->OnBuffer)
                (*self)->OnBuffer(buffer.data(), buffer.size());
        });
        filling_ = {};
        filling_.reserve(bufferBytes_);
    }
}

} // namespace media
