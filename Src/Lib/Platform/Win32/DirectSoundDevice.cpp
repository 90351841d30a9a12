// The audio device on the simulator's platform: DirectSound 8. Each interface of the layer is a
// thin owner of the DirectSound object behind it; results pass through unchanged.
#include "Lib/Platform/AudioDevice.h"

#include "Lib/Platform/Win32/HostExports.h"

#include <windows.h>

#include <mmreg.h>

#include <dsound.h>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace platform::audio {

namespace {

// Holds one reference to a COM object and gives it back when it goes.
template <typename T> class ComRef {
public:
    ComRef() = default;
    explicit ComRef(T* object) : object_(object) {}
    ~ComRef() {
        if (object_ != nullptr) {
            object_->Release();
        }
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T* operator->() const { return object_; }
    T* get() const { return object_; }

private:
    T* object_ = nullptr;
};

// The device object, shared by every buffer made from it: DirectSound releases a device's
// buffers with it, and the layer promises that buffers outlive a released device.
using DeviceRef = std::shared_ptr<ComRef<IDirectSound8>>;

class DsNotify final : public Notify {
public:
    DsNotify(DeviceRef device, IDirectSoundNotify* notify)
        : device_(std::move(device)), notify_(notify) {}

    Result SetNotificationPositions(std::uint32_t count, const PositionNotify* positions) override {
        if (count > 0 && positions == nullptr) {
            return kInvalidArgument;
        }
        std::vector<DSBPOSITIONNOTIFY> marks(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            if (positions[i].event == nullptr) {
                return kInvalidArgument;
            }
            marks[i].dwOffset = positions[i].offset;
            marks[i].hEventNotify = positions[i].event->NativeHandle();
        }
        return notify_->SetNotificationPositions(count, count > 0 ? marks.data() : nullptr);
    }

private:
    DeviceRef device_;
    ComRef<IDirectSoundNotify> notify_;
};

class DsBuffer final : public Buffer {
public:
    DsBuffer(DeviceRef device, IDirectSoundBuffer* buffer)
        : device_(std::move(device)), buffer_(buffer) {}

    IDirectSoundBuffer* Object() const { return buffer_.get(); }

    Result GetStatus(std::uint32_t& status) override {
        DWORD s = 0;
        const HRESULT r = buffer_->GetStatus(&s);
        status = s;
        return r;
    }
    Result Play(std::uint32_t reserved, std::uint32_t priority, std::uint32_t flags) override {
        return buffer_->Play(reserved, priority, flags);
    }
    Result Stop() override { return buffer_->Stop(); }
    Result GetCurrentPosition(std::uint32_t* play, std::uint32_t* write) override {
        DWORD p = 0;
        DWORD w = 0;
        const HRESULT r = buffer_->GetCurrentPosition(play != nullptr ? &p : nullptr,
                                                      write != nullptr ? &w : nullptr);
        if (play != nullptr) {
            *play = p;
        }
        if (write != nullptr) {
            *write = w;
        }
        return r;
    }
    Result SetCurrentPosition(std::uint32_t play) override {
        return buffer_->SetCurrentPosition(play);
    }
    Result SetVolume(std::int32_t volume) override { return buffer_->SetVolume(volume); }
    Result GetVolume(std::int32_t& volume) override {
        LONG v = 0;
        const HRESULT r = buffer_->GetVolume(&v);
        volume = v;
        return r;
    }
    Result SetFrequency(std::uint32_t frequency) override {
        return buffer_->SetFrequency(frequency);
    }
    Result SetPan(std::int32_t pan) override { return buffer_->SetPan(pan); }
    Result Lock(std::uint32_t offset, std::uint32_t bytes, void** first, std::uint32_t* firstBytes,
                void** second, std::uint32_t* secondBytes) override {
        DWORD a = 0;
        DWORD b = 0;
        const HRESULT r = buffer_->Lock(offset, bytes, first, &a, second,
                                        secondBytes != nullptr ? &b : nullptr, 0);
        if (firstBytes != nullptr) {
            *firstBytes = a;
        }
        if (secondBytes != nullptr) {
            *secondBytes = b;
        }
        return r;
    }
    Result Unlock(void* first, std::uint32_t firstBytes, void* second,
                  std::uint32_t secondBytes) override {
        return buffer_->Unlock(first, firstBytes, second, secondBytes);
    }
    Result Restore() override { return buffer_->Restore(); }
    Result QueryNotify(std::unique_ptr<Notify>& out) override {
        void* notify = nullptr;
        const HRESULT r = buffer_->QueryInterface(IID_IDirectSoundNotify, &notify);
        if (FAILED(r) || notify == nullptr) {
            return FAILED(r) ? r : kNoInterface;
        }
        out = std::make_unique<DsNotify>(device_, static_cast<IDirectSoundNotify*>(notify));
        return kOk;
    }

private:
    DeviceRef device_;
    ComRef<IDirectSoundBuffer> buffer_;
};

class DsDevice final : public Device {
public:
    explicit DsDevice(IDirectSound8* device)
        : device_(std::make_shared<ComRef<IDirectSound8>>(device)) {}

    Result SetCooperativeLevel(WindowHandle window, std::uint32_t level) override {
        return (*device_)->SetCooperativeLevel(static_cast<HWND>(window), level);
    }

    Result CreateSoundBuffer(const BufferDescription& description,
                             std::unique_ptr<Buffer>& out) override {
        WAVEFORMATEX format{};
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = description.flags;
        desc.dwBufferBytes = description.bufferBytes;
        if (description.format != nullptr) {
            const WaveFormat& f = *description.format;
            format.wFormatTag = f.formatTag;
            format.nChannels = f.channels;
            format.nSamplesPerSec = f.samplesPerSec;
            format.nAvgBytesPerSec = f.avgBytesPerSec;
            format.nBlockAlign = f.blockAlign;
            format.wBitsPerSample = f.bitsPerSample;
            format.cbSize = 0; // only plain PCM reaches the device
            desc.lpwfxFormat = &format;
        }
        static_assert(sizeof(GUID) == sizeof(Guid));
        std::memcpy(&desc.guid3DAlgorithm, description.algorithm.data(), sizeof(GUID));
        IDirectSoundBuffer* buffer = nullptr;
        const HRESULT r = (*device_)->CreateSoundBuffer(&desc, &buffer, nullptr);
        if (FAILED(r)) {
            return r;
        }
        out = std::make_unique<DsBuffer>(device_, buffer);
        return r;
    }

    Result DuplicateSoundBuffer(Buffer& original, std::unique_ptr<Buffer>& out) override {
        auto* ours = dynamic_cast<DsBuffer*>(&original);
        if (ours == nullptr) {
            return kInvalidArgument;
        }
        IDirectSoundBuffer* duplicate = nullptr;
        const HRESULT r = (*device_)->DuplicateSoundBuffer(ours->Object(), &duplicate);
        if (FAILED(r)) {
            return r;
        }
        out = std::make_unique<DsBuffer>(device_, duplicate);
        return r;
    }

private:
    DeviceRef device_;
};

} // namespace

Result CreateDevice(std::unique_ptr<Device>& out) {
    IDirectSound8* device = nullptr;
    const HRESULT r = DirectSoundCreate8(nullptr, &device, nullptr);
    if (FAILED(r)) {
        return r;
    }
    out = std::make_unique<DsDevice>(device);
    return r;
}

void ReportSoundOperation(const SoundOperation& operation) noexcept {
    if (const auto sink = win32::HostSoundOperationSink()) {
        sink(operation.op, operation.name, operation.volume, operation.hasResult ? 1 : 0,
             operation.result);
    }
}

} // namespace platform::audio
