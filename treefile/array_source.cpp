#include "treefile/array_source.h"

#include <algorithm>
#include <array>
#include <vector>

#include "codec/array_codec.h"
#include "codec/memory_streams.h"
#include "codec/store_value_coder.h"
#include "treefile/file_head.h"

namespace qv {

namespace {

constexpr size_t kWindowBytes = size_t(64) << 10;

class PlainSink final : public ArraySink {
public:
    explicit PlainSink(BinaryWriter& out) : out_(out), bytes_(storeValueBound(kMaxArrayValues, 4)) {}

    void put32(const uint32_t* values, int n) override { emit(encodeStoreValues32(values, n, bytes_.data())); }
    void put16(const uint16_t* values, int n) override { emit(encodeStoreValues16(values, n, bytes_.data())); }
    void finish() override {}

private:
    void emit(size_t size) {
        out_.put<int16_t>(int16_t(size));
        out_.write(bytes_.data(), size);
    }

    BinaryWriter& out_;
    std::vector<uint8_t> bytes_;
};

class CompressedSink final : public ArraySink {
public:
    CompressedSink(BinaryWriter& out, const std::string& folder) : out_(out), folder_(folder) {
        encoder_ = createEncoder(EntropyStreamCompressor, &CompressedSink::append, this);
    }

    void put32(const uint32_t* values, int n) override { encoder_->encode(values, n, nullptr); }
    void put16(const uint16_t* values, int n) override { encoder_->encode16(values, n, nullptr); }
    void finish() override {
        encoder_->finish();
        for (auto& spill : spills_) {
            out_.put<int64_t>(spill ? int64_t(spill->size()) : 0);
            if (spill) spill->copyTo(out_);
            spill.reset();
        }
    }

private:
    static size_t append(void* context, int stream, void* buffer, size_t count) {
        auto& spill = static_cast<CompressedSink*>(context)->spills_[size_t(stream)];
        if (!spill) spill = std::make_unique<SpillFile>(static_cast<CompressedSink*>(context)->folder_);
        spill->append(buffer, count);
        return count;
    }

    BinaryWriter& out_;
    std::string folder_;
    std::array<std::unique_ptr<SpillFile>, kMaxStreams> spills_;
    std::unique_ptr<ArrayEncoder> encoder_;
};

class PlainSource final : public ArraySource {
public:
    explicit PlainSource(FileReader& in) : in_(in), bytes_(storeValueBound(kMaxArrayValues, 4)) {}

    void get32(uint32_t* values, int n) override {
        const size_t size = next(n, 4);
        size_t used = 0;
        if (!decodeStoreValues32(bytes_.data(), size, values, n, used) || used != size) invalidFile();
    }
    void get16(uint16_t* values, int n) override {
        const size_t size = next(n, 2);
        size_t used = 0;
        if (!decodeStoreValues16(bytes_.data(), size, values, n, used) || used != size) invalidFile();
    }

private:
    size_t next(int n, int bytesPerValue) {
        const int16_t size = in_.get<int16_t>();
        if (size < 0 || size_t(size) > storeValueBound(n, bytesPerValue)) invalidFile();
        in_.read(bytes_.data(), size_t(size));
        return size_t(size);
    }

    FileReader& in_;
    std::vector<uint8_t> bytes_;
};

// Each stream is read from its own block of the file through a window of its own.
class CompressedSource final : public ArraySource {
public:
    explicit CompressedSource(FileReader& in) : in_(in) {
        for (Stream& s : streams_) {
            const int64_t length = in_.get<int64_t>();
            if (length < 0 || uint64_t(length) > in_.size() - in_.position()) invalidFile();
            s.offset = in_.position();
            s.left = uint64_t(length);
            in_.skip(uint64_t(length));
        }
        // Only the entropy stream compressor belongs in a tree file; the others would take
        // bad data for a fatal codec failure.
        uint8_t identifier = 0;
        if (streams_[0].left == 0 || in_.readAt(streams_[0].offset, &identifier, 1) != 1 ||
            identifier != EntropyStreamCompressor)
            invalidFile();
        decoder_ = createDecoder(&CompressedSource::deliver, this);
        if (!decoder_) invalidFile();
    }

    void get32(uint32_t* values, int n) override {
        if (!decoder_->tryDecode(values, n, nullptr)) invalidFile();
    }
    void get16(uint16_t* values, int n) override {
        if (!decoder_->tryDecode16(values, n, nullptr)) invalidFile();
    }

private:
    struct Stream {
        uint64_t offset = 0;  // of the next byte not yet in the window
        uint64_t left = 0;    // bytes of the block not yet in the window
        std::vector<uint8_t> window;
        size_t next = 0;
    };

    static size_t deliver(void* context, int stream, void* buffer, size_t count) {
        auto* self = static_cast<CompressedSource*>(context);
        Stream& s = self->streams_[size_t(stream)];
        uint8_t* out = static_cast<uint8_t*>(buffer);
        size_t done = 0;
        while (done < count) {
            if (s.next == s.window.size()) {
                if (s.left == 0) break;
                s.window.resize(size_t(std::min<uint64_t>(s.left, kWindowBytes)));
                if (self->in_.readAt(s.offset, s.window.data(), s.window.size()) != s.window.size()) break;
                s.offset += s.window.size();
                s.left -= s.window.size();
                s.next = 0;
            }
            const size_t take = std::min(count - done, s.window.size() - s.next);
            std::copy_n(s.window.data() + s.next, take, out + done);
            s.next += take;
            done += take;
        }
        return done;
    }

    FileReader& in_;
    std::array<Stream, kMaxStreams> streams_;
    std::unique_ptr<ArrayDecoder> decoder_;
};

}  // namespace

std::unique_ptr<ArraySink> startArrays(BinaryWriter& out, bool plain, const std::string& folder) {
    out.put<uint8_t>(plain ? 1 : 0);
    if (plain) return std::make_unique<PlainSink>(out);
    return std::make_unique<CompressedSink>(out, folder);
}

std::unique_ptr<ArraySource> openArrays(FileReader& in, bool codingByte) {
    const bool plain = codingByte && in.byte() != 0;
    if (plain) return std::make_unique<PlainSource>(in);
    return std::make_unique<CompressedSource>(in);
}

}  // namespace qv
