// libFuzzer target: arbitrary bytes into every decoder of the array codec. The first byte picks
// the decoder, the next two the array length (at most the 1326 values the codec allows); the rest
// is the coded data: one block for the entropy coder and the array coders, or a chunk of streams
// (lengths, then the streams) for the three compressors. A decoder may refuse the data or decode
// something, but must never read or write outside its buffers, crash or hang.
#include <cstdint>
#include <vector>

#include "codec/array_codec.h"
#include "codec/bit_width_coder.h"
#include "codec/fse.h"
#include "codec/memory_streams.h"
#include "codec/store_value_coder.h"
#include "interpreter/errors.h"

namespace {

using namespace qv;

// Splits the input into the codec's streams: every stream's length as a variable-length integer
// (seven bits a byte, low first), then the streams in order. False when the bytes do not hold that.
bool splitStreams(const uint8_t* in, size_t size, StreamSpans& spans) {
    const uint8_t* end = in + size;
    size_t lengths[kMaxStreams] = {};
    for (size_t& length : lengths)
        for (int shift = 0;; shift += 7) {
            if (in == end || shift > 56) return false;
            length |= size_t(*in & 0x7F) << shift;
            if (!(*in++ & 0x80)) break;
        }
    for (int s = 0; s < kMaxStreams; ++s) {
        if (lengths[s] > size_t(end - in)) return false;
        spans.set(s, in, lengths[s]);
        in += lengths[s];
    }
    return true;
}

// Decodes arrays from the streams until the decoder refuses, alternating 32- and 16-bit arrays
// with and without a reference.
void decodeStreams(const uint8_t* data, size_t size, int n) {
    StreamSpans spans;
    if (!splitStreams(data, size, spans)) return;
    try {
        auto decoder = createDecoder(StreamSpans::read, &spans);
        if (!decoder) return;
        std::vector<uint32_t> values(kMaxArrayValues), reference(kMaxArrayValues, 7);
        std::vector<uint16_t> narrow(kMaxArrayValues), narrowReference(kMaxArrayValues, 7);
        for (int array = 0; array < 64; ++array) {
            const bool withReference = array % 3 == 1;
            const bool ok = array % 2 ? decoder->tryDecode16(narrow.data(), n, withReference ? narrowReference.data() : nullptr)
                                      : decoder->tryDecode(values.data(), n, withReference ? reference.data() : nullptr);
            if (!ok) return;
        }
    } catch (const CodecError&) {
        // "compressor wrong id", "CreateOptimalTree fail": the binary model's header was bad.
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const int kind = data[0] % 5;
    const int n = (data[1] | data[2] << 8) % (kMaxArrayValues + 1);
    data += 3;
    size -= 3;
    // Exactly the bytes given, so that a read past them is seen.
    const std::vector<uint8_t> in(data, data + size);
    size_t used = 0;
    switch (kind) {
        case 0: {
            std::vector<uint8_t> out(size_t(n) * 48 + 1);  // up to the largest block
            fseDecompress(in.data(), in.size(), out.data(), out.size());
            break;
        }
        case 1: {
            std::vector<uint32_t> out(static_cast<size_t>(n));
            decodeStoreValues32(in.data(), in.size(), out.data(), n, used);
            break;
        }
        case 2: {
            std::vector<uint16_t> out(static_cast<size_t>(n));
            decodeStoreValues16(in.data(), in.size(), out.data(), n, used);
            break;
        }
        case 3: {
            std::vector<uint16_t> out(static_cast<size_t>(n));
            decodeBitWidths(in.data(), in.size(), out.data(), n, used);
            break;
        }
        default: decodeStreams(in.data(), in.size(), n);
    }
    return 0;
}
