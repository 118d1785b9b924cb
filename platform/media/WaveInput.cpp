#include "platform/media/WaveInput.h"

#include <algorithm>
#include <cstring>

#include "platform/media/SoundLibraries.h"
#include "platform/rtl/Threads.h"

namespace media {

WaveInput::WaveInput() : self_(std::make_shared<WaveInput*>(this)) { }

WaveInput::~WaveInput()
{
    self_.reset();
    Close();
}

std::vector<std::string> WaveInput::DeviceNames()
{
    std::vector<std::string> names;
    if (!Sdl().Loaded || Sdl().SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return names;
    const int count = Sdl().SDL_GetNumAudioDevices(1);
    for (int i = 0; i < count; ++i)
        if (const char* name = Sdl().SDL_GetAudioDeviceName(i, 1))
            names.emplace_back(name);
    Sdl().SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return names;
}

bool WaveInput::Open(int Device, const WaveInFormat& Format)
{
    if (IsOpen()) {
        ErrorText = "Wave Input device is already open";
        return false;
    }
    if ((Format.Channels != 1 && Format.Channels != 2) || (Format.BitsPerSample != 8 && Format.BitsPerSample != 16) ||
        Format.SampleRate <= 0) {
        ErrorText = "Das Aufnahmeformat wird nicht unterstützt";
        return false;
    }
    if (!Sdl().Loaded) {
        ErrorText = "Keine Audioaufnahme: " + Sdl().Missing;
        return false;
    }
    if (Sdl().SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        ErrorText = Sdl().SDL_GetError();
        return false;
    }
    const char* name = nullptr;
    if (Device >= 0) {
        name = Sdl().SDL_GetAudioDeviceName(Device, 1);
        if (!name) {
            ErrorText = "Das Aufnahmegerät " + std::to_string(Device) + " gibt es nicht";
            Sdl().SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
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
    device_ = Sdl().SDL_OpenAudioDevice(name, 1, &wanted, &obtained, 0);
    if (device_ == 0) {
        ErrorText = Sdl().SDL_GetError();
        Sdl().SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    ++generation_;
    queue_.clear();
    Post([](WaveInput& self) {
        if (self.OnOpen)
            self.OnOpen();
    });
    return true;
}

bool WaveInput::AddBuffer(std::uint8_t* Data, std::size_t Size)
{
    if (!IsOpen() || Size == 0) {
        ErrorText = "Das Aufnahmegerät ist nicht geöffnet";
        return false;
    }
    Sdl().SDL_LockAudioDevice(device_);
    queue_.push_back({Data, Size, 0});
    Sdl().SDL_UnlockAudioDevice(device_);
    return true;
}

bool WaveInput::Start()
{
    if (!IsOpen()) {
        ErrorText = "Das Aufnahmegerät ist nicht geöffnet";
        return false;
    }
    Sdl().SDL_PauseAudioDevice(device_, 0);
    return true;
}

void WaveInput::Reset()
{
    if (!IsOpen())
        return;
    Sdl().SDL_PauseAudioDevice(device_, 1);
    Sdl().SDL_LockAudioDevice(device_);
    std::deque<Pending> returned;
    returned.swap(queue_);
    Sdl().SDL_UnlockAudioDevice(device_);
    for (const Pending& buffer : returned)
        Post([buffer](WaveInput& self) {
            if (self.OnData)
                self.OnData(buffer.Data, buffer.Filled);
        });
}

void WaveInput::Close()
{
    if (!IsOpen())
        return;
    Sdl().SDL_CloseAudioDevice(device_);
    device_ = 0;
    queue_.clear();
    Sdl().SDL_QuitSubSystem(SDL_INIT_AUDIO);
    ++generation_;
    Post(
        [](WaveInput& self) {
            if (self.OnClose)
                self.OnClose();
        },
        true);
}

void WaveInput::Post(std::function<void(WaveInput&)> report, bool always)
{
    std::weak_ptr<WaveInput*> weak = self_;
    TThread::Queue(nullptr, [weak, always, generation = generation_, report = std::move(report)] {
        const auto self = weak.lock();
        if (self && (always || (*self)->generation_ == generation))
            report(**self);
    });
}

void WaveInput::Captured(void* user, std::uint8_t* data, int length)
{
    static_cast<WaveInput*>(user)->Collect(data, static_cast<std::size_t>(length));
}

// Runs on the device's thread with the device locked: fills the queued
// buffers in order and reports each full one.
void WaveInput::Collect(const std::uint8_t* data, std::size_t length)
{
    while (length > 0 && !queue_.empty()) {
        Pending& front = queue_.front();
        const std::size_t take = std::min(length, front.Size - front.Filled);
        std::memcpy(front.Data + front.Filled, data, take);
        front.Filled += take;
        data += take;
        length -= take;
        if (front.Filled < front.Size)
            continue;
        const Pending done = front;
        queue_.pop_front();
        Post([done](WaveInput& self) {
            if (self.OnData)
                self.OnData(done.Data, done.Filled);
        });
    }
}

} // namespace media
