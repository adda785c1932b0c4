#pragma once
// RAII holders for OpenAL Soft's device, context, buffer and source handles.
#include <AL/al.h>
#include <AL/alc.h>

#include <memory>
#include <utility>

namespace vantrel::al {

struct DeviceCloser {
    void operator()(ALCdevice* d) const { alcCloseDevice(d); }
};
struct ContextDestroyer {
    void operator()(ALCcontext* c) const {
        if (alcGetCurrentContext() == c) alcMakeContextCurrent(nullptr);
        alcDestroyContext(c);
    }
};
using Device = std::unique_ptr<ALCdevice, DeviceCloser>;
using Context = std::unique_ptr<ALCcontext, ContextDestroyer>;

// An AL object name (buffer or source). Deleted with its context current, which the
// owner of the context guarantees by destroying these first.
template <void (*Delete)(ALsizei, const ALuint*)>
class Name {
public:
    Name() = default;
    explicit Name(ALuint id) : id_(id) {}
    Name(Name&& o) noexcept : id_(std::exchange(o.id_, 0)) {}
    Name& operator=(Name&& o) noexcept {
        if (this != &o) {
            reset();
            id_ = std::exchange(o.id_, 0);
        }
        return *this;
    }
    Name(const Name&) = delete;
    Name& operator=(const Name&) = delete;
    ~Name() { reset(); }

    void reset() {
        if (id_ != 0) Delete(1, &id_);
        id_ = 0;
    }
    [[nodiscard]] ALuint get() const { return id_; }
    explicit operator bool() const { return id_ != 0; }

private:
    ALuint id_ = 0;
};

inline void delete_buffers(ALsizei n, const ALuint* ids) { alDeleteBuffers(n, ids); }
inline void delete_sources(ALsizei n, const ALuint* ids) { alDeleteSources(n, ids); }
using Buffer = Name<delete_buffers>;
using Source = Name<delete_sources>;

}  // namespace vantrel::al
