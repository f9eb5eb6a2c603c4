// libFuzzer target: arbitrary bytes as the stream a client sends to the server, read frame after
// frame with the bytes handed out in pieces of fuzzer-chosen sizes, sometimes onto a small disk.
// Whatever comes, reading ends in whole frames and then a clean end, an end inside a frame or a
// refused frame; no text or payload passes its limit, and no file is left open.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "interpreter/frame_memory.h"
#include "interpreter/frames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    qv::testing::MemorySource source(std::string(reinterpret_cast<const char*>(data) + 2, size - 2),
                                     {size_t(data[0]) + 1, size_t(data[1]) * 257 + 1});
    qv::testing::MemoryFileSink files(data[0] & 1 ? 1000 : SIZE_MAX);
    qv::ServerMessage message;
    try {
        while (qv::readFrame(source, files, message) == qv::FrameEnd::Received) {
            if (message.text.size() > qv::kMaxTextFrameBytes || message.payload.size() > qv::kMaxFramePayloadBytes ||
                files.open)
                abort();
        }
    } catch (const qv::FrameError&) {
    }
    if (files.open) abort();
    return 0;
}
