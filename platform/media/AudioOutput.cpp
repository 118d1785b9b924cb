#include "platform/media/AudioOutput.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "platform/media/SoundLibraries.h"
#include "platform/rtl/Threads.h"

namespace media {

// What the mixer and the owning channel share. Fields other than the atomics
// change only while the device is locked.
struct ChannelState {
    std::unique_ptr<AudioSource> Source;
    SDL_AudioStream* Converter = nullptr;
    bool Running = false;
    bool SourceDone = false;
    std::atomic<bool> Ended{false};
    std::atomic<int64_t> ConsumedFrames{0}; // device frames
    std::atomic<uint32_t> Generation{0};    // counts rewinds, so a stale end is ignored
    int64_t SourceFramesRead = 0;
    // The source's true length once it has been read to the end: some
    // formats only estimate it beforehand.
    std::atomic<int64_t> KnownFrames{-1};
    float LeftGain = 1.0f;
    float RightGain = 1.0f;
    std::function<void()>* OnEnded = nullptr;
};

namespace {

constexpr int kDeviceRate = 44100;
constexpr int kDeviceChannels = 2;
constexpr int kChunkFrames = 1024;

std::atomic<uint32_t> outputVolume{0xFFFFFFFFu};

class Mixer {
public:
    static Mixer& Instance()
    {
        static Mixer mixer;
        return mixer;
    }

    // Opens the device for the first channel.
    int DeviceRate() const { return spec_.freq; }

    void Add(const std::shared_ptr<ChannelState>& channel)
    {
        std::lock_guard guard(users_);
        if (channels_.empty())
            OpenDevice();
        channel->Converter = Sdl().SDL_NewAudioStream(
            AUDIO_F32SYS, static_cast<Uint8>(channel->Source->Format().Channels), channel->Source->Format().SampleRate,
            AUDIO_F32SYS, kDeviceChannels, spec_.freq);
        if (!channel->Converter) {
            if (channels_.empty())
                CloseDevice();
            throw EMediaError(std::string("Das Klangformat lässt sich nicht ausgeben: ") + Sdl().SDL_GetError());
        }
        Locked([&] { channels_.push_back(channel); });
    }

    void Remove(const std::shared_ptr<ChannelState>& channel)
    {
        std::lock_guard guard(users_);
        Locked([&] { channels_.erase(std::find(channels_.begin(), channels_.end(), channel)); });
        Sdl().SDL_FreeAudioStream(channel->Converter);
        channel->Converter = nullptr;
        if (channels_.empty())
            CloseDevice();
    }

    template <typename Fn> void Locked(Fn&& fn)
    {
        Sdl().SDL_LockAudioDevice(device_);
        fn();
        Sdl().SDL_UnlockAudioDevice(device_);
    }

private:
    void OpenDevice()
    {
        if (!Sdl().Loaded)
            throw EMediaError("Keine Audioausgabe: " + Sdl().Missing);
        if (Sdl().SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            throw EMediaError(std::string("Keine Audioausgabe: ") + Sdl().SDL_GetError());
        SDL_AudioSpec wanted{};
        wanted.freq = kDeviceRate;
        wanted.format = AUDIO_F32SYS;
        wanted.channels = kDeviceChannels;
        wanted.samples = 1024;
        wanted.callback = &Mixer::Callback;
        wanted.userdata = this;
        device_ = Sdl().SDL_OpenAudioDevice(nullptr, 0, &wanted, &spec_, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
        if (device_ == 0) {
            const std::string error = Sdl().SDL_GetError();
            Sdl().SDL_QuitSubSystem(SDL_INIT_AUDIO);
            throw EMediaError("Keine Audioausgabe: " + error);
        }
        Sdl().SDL_PauseAudioDevice(device_, 0);
    }

    void CloseDevice()
    {
        Sdl().SDL_CloseAudioDevice(device_);
        device_ = 0;
        Sdl().SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    static void Callback(void* user, Uint8* stream, int length)
    {
        static_cast<Mixer*>(user)->Mix(reinterpret_cast<float*>(stream), static_cast<size_t>(length) / sizeof(float));
    }

    void Mix(float* out, size_t samples)
    {
        std::fill(out, out + samples, 0.0f);
        const uint32_t volume = outputVolume.load();
        const float masterLeft = static_cast<float>(volume & 0xFFFF) / 65535.0f;
        const float masterRight = static_cast<float>(volume >> 16) / 65535.0f;
        mixBuffer_.resize(samples);
        for (const auto& channel : channels_) {
            if (!channel->Running)
                continue;
            const size_t got = Pull(*channel, mixBuffer_.data(), samples);
            for (size_t i = 0; i + 1 < got; i += 2) {
                out[i] += mixBuffer_[i] * channel->LeftGain * masterLeft;
                out[i + 1] += mixBuffer_[i + 1] * channel->RightGain * masterRight;
            }
            channel->ConsumedFrames += static_cast<int64_t>(got / kDeviceChannels);
            if (channel->SourceDone && Sdl().SDL_AudioStreamAvailable(channel->Converter) == 0)
                Finish(channel);
        }
        for (size_t i = 0; i < samples; ++i)
            out[i] = std::clamp(out[i], -1.0f, 1.0f);
    }

    // Feeds the converter until it holds `samples` device samples or the
    // source is exhausted, then takes them; returns the samples taken.
    size_t Pull(ChannelState& channel, float* out, size_t samples)
    {
        const int wanted = static_cast<int>(samples * sizeof(float));
        const int sourceChannels = channel.Source->Format().Channels;
        while (!channel.SourceDone && Sdl().SDL_AudioStreamAvailable(channel.Converter) < wanted) {
            decodeBuffer_.resize(static_cast<size_t>(kChunkFrames) * sourceChannels);
            const size_t frames = channel.Source->Read(decodeBuffer_.data(), kChunkFrames);
            channel.SourceFramesRead += static_cast<int64_t>(frames);
            if (frames == 0) {
                Sdl().SDL_AudioStreamFlush(channel.Converter);
                channel.SourceDone = true;
                channel.KnownFrames = channel.SourceFramesRead;
            } else {
                Sdl().SDL_AudioStreamPut(channel.Converter, decodeBuffer_.data(),
                                         static_cast<int>(frames * sourceChannels * sizeof(float)));
            }
        }
        const int got = Sdl().SDL_AudioStreamGet(channel.Converter, out, wanted);
        return got > 0 ? static_cast<size_t>(got) / sizeof(float) : 0;
    }

    void Finish(const std::shared_ptr<ChannelState>& channel)
    {
        channel->Running = false;
        channel->Ended = true;
        std::weak_ptr<ChannelState> weak = channel;
        const uint32_t generation = channel->Generation;
        TThread::Queue(nullptr, [weak, generation] {
            const auto state = weak.lock();
            if (state && state->Generation == generation && state->Ended && state->OnEnded && *state->OnEnded)
                (*state->OnEnded)();
        });
    }

    std::mutex users_;
    SDL_AudioDeviceID device_ = 0;
    SDL_AudioSpec spec_{};
    std::vector<std::shared_ptr<ChannelState>> channels_;
    std::vector<float> mixBuffer_;
    std::vector<float> decodeBuffer_;
};

} // namespace

OutputChannel::OutputChannel(std::unique_ptr<AudioSource> source) : state_(std::make_shared<ChannelState>())
{
    state_->Source = std::move(source);
    state_->OnEnded = &OnEnded;
    Mixer::Instance().Add(state_);
}

OutputChannel::~OutputChannel()
{
    Mixer::Instance().Remove(state_);
    state_->OnEnded = nullptr;
}

void OutputChannel::Start()
{
    Mixer::Instance().Locked([&] { state_->Running = !state_->Ended; });
}

void OutputChannel::Pause()
{
    Mixer::Instance().Locked([&] { state_->Running = false; });
}

bool OutputChannel::Running() const
{
    bool running = false;
    Mixer::Instance().Locked([&] { running = state_->Running; });
    return running;
}

bool OutputChannel::Ended() const { return state_->Ended; }

void OutputChannel::Rewind()
{
    Mixer::Instance().Locked([&] {
        state_->Source->Rewind();
        Sdl().SDL_AudioStreamClear(state_->Converter);
        state_->SourceDone = false;
        state_->SourceFramesRead = 0;
        state_->ConsumedFrames = 0;
        ++state_->Generation;
        state_->Ended = false;
    });
}

void OutputChannel::SeekMs(int64_t ms)
{
    Rewind();
    if (ms <= 0)
        return;
    Mixer::Instance().Locked([&] {
        AudioSource& source = *state_->Source;
        const int64_t target = ms * source.Format().SampleRate / 1000;
        std::vector<float> discard(static_cast<size_t>(kChunkFrames) * source.Format().Channels);
        int64_t skipped = 0;
        while (skipped < target) {
            const size_t frames = source.Read(discard.data(),
                                              static_cast<size_t>(std::min<int64_t>(kChunkFrames, target - skipped)));
            if (frames == 0)
                break;
            skipped += static_cast<int64_t>(frames);
        }
        state_->SourceFramesRead = skipped;
        state_->ConsumedFrames = skipped * Mixer::Instance().DeviceRate() / source.Format().SampleRate;
    });
}

int64_t OutputChannel::PositionMs() const
{
    // A resampler may keep back a few frames of the tail; at the end the
    // position is the length all the same.
    const int64_t length = LengthMs();
    if (state_->Ended && length >= 0)
        return length;
    const int64_t played = state_->ConsumedFrames * 1000 / Mixer::Instance().DeviceRate();
    return length >= 0 ? std::min(played, length) : played;
}

int64_t OutputChannel::LengthMs() const
{
    const int64_t known = state_->KnownFrames;
    const int64_t frames = known >= 0 ? known : state_->Source->LengthFrames();
    return frames < 0 ? -1 : frames * 1000 / state_->Source->Format().SampleRate;
}

void OutputChannel::SetVolume(uint16_t left, uint16_t right)
{
    Mixer::Instance().Locked([&] {
        state_->LeftGain = static_cast<float>(left) / 65535.0f;
        state_->RightGain = static_cast<float>(right) / 65535.0f;
    });
}

uint32_t GetOutputVolume() { return outputVolume.load(); }

void SetOutputVolume(uint32_t packed) { outputVolume = packed; }

} // namespace media
