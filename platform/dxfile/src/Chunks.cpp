#include "Chunks.h"

#include <zlib.h>
#ifdef LUMASET_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

#include <algorithm>
#include <cstring>

namespace dxfile {

namespace {

constexpr std::size_t kBlockSize = 32768;

// Owns a raw (headerless) zlib stream.
class RawInflater {
public:
    RawInflater() { ok_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK; }
    ~RawInflater() {
        if (ok_) inflateEnd(&stream_);
    }
    RawInflater(const RawInflater&) = delete;
    RawInflater& operator=(const RawInflater&) = delete;
    bool ok() const { return ok_; }
    z_stream& stream() { return stream_; }

private:
    z_stream stream_{};
    bool ok_ = false;
};

#ifdef LUMASET_HAVE_LIBDEFLATE
// Inflates whole blocks several times faster than zlib, but knows nothing of the previous
// blocks: a block that copies from them fails here and goes to zlib with its history.
class BlockInflater {
public:
    BlockInflater() : decompressor_(libdeflate_alloc_decompressor()) {}
    ~BlockInflater() {
        if (decompressor_) libdeflate_free_decompressor(decompressor_);
    }
    BlockInflater(const BlockInflater&) = delete;
    BlockInflater& operator=(const BlockInflater&) = delete;
    // True when `deflated` inflates on its own to exactly `size` bytes at `out`.
    bool inflate(ByteSpan deflated, std::uint8_t* out, std::size_t size) {
        return decompressor_ &&
               libdeflate_deflate_decompress(decompressor_, deflated.data(), deflated.size(), out,
                                             size, nullptr) == LIBDEFLATE_SUCCESS;
    }

private:
    libdeflate_decompressor* decompressor_;
};
#else
// Without the faster inflater every block goes to zlib.
class BlockInflater {
public:
    bool inflate(ByteSpan, std::uint8_t*, std::size_t) { return false; }
};
#endif

class RawDeflater {
public:
    // Level 1: the body of an X file is mostly numbers, where higher levels gain little and
    // cost several times the time.
    RawDeflater() {
        ok_ = deflateInit2(&stream_, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~RawDeflater() {
        if (ok_) deflateEnd(&stream_);
    }
    RawDeflater(const RawDeflater&) = delete;
    RawDeflater& operator=(const RawDeflater&) = delete;
    bool ok() const { return ok_; }
    z_stream& stream() { return stream_; }

private:
    z_stream stream_{};
    bool ok_ = false;
};

} // namespace

Diagnostic inflateChunks(ByteSpan afterHeader, LargeBytes& out) {
    out.clear();
    ByteCursor cursor(afterHeader);
    std::uint32_t totalSize = 0;
    std::size_t blockStart = 0;
    auto failed = [&](std::string reason) { return parseFault(blockStart, std::move(reason)); };
    if (!cursor.readU32(totalSize) || totalSize < 16)
        return failed("compressed file without a valid total size");
    std::size_t declared = totalSize - 16;
    // Deflate cannot expand more than about 1032:1, so the input bounds what is worth reserving.
    out.reserve(std::min<std::size_t>(declared, afterHeader.size() * 1032));
    RawInflater inflater;
    if (!inflater.ok()) return failed("cannot start the inflater");
    BlockInflater blockInflater;
    while (!cursor.atEnd()) {
        blockStart = cursor.position();
        std::uint16_t blockSize = 0;
        std::uint16_t followSize = 0;
        ByteSpan signature;
        if (!cursor.readU16(blockSize) || !cursor.readU16(followSize) || followSize < 2 ||
            !cursor.take(2, signature))
            return failed("truncated compressed block header");
        if (signature[0] != 'C' || signature[1] != 'K')
            return failed("compressed block without its 'CK' signature");
        ByteSpan deflated;
        if (!cursor.take(followSize - 2u, deflated))
            return failed("compressed block longer than the file");
        if (blockSize == 0 || blockSize > kBlockSize || out.size() + blockSize > declared)
            return failed("compressed block of a bad size");
        std::size_t at = out.size();
        out.resize(at + blockSize);
        if (blockInflater.inflate(deflated, out.data() + at, blockSize)) continue;
        z_stream& stream = inflater.stream();
        if (inflateReset(&stream) != Z_OK) return failed("inflater failure");
        if (at > 0) {
            // The window carries over: a block may copy from the previous blocks' output.
            std::size_t history = std::min(kBlockSize, at);
            if (inflateSetDictionary(&stream, out.data() + at - history,
                                     static_cast<uInt>(history)) != Z_OK)
                return failed("inflater failure");
        }
        stream.next_in = const_cast<Bytef*>(deflated.data());
        stream.avail_in = static_cast<uInt>(deflated.size());
        stream.next_out = out.data() + at;
        stream.avail_out = blockSize;
        int status = inflate(&stream, Z_FINISH);
        if (status != Z_STREAM_END || stream.avail_out != 0) {
            out.resize(at + (blockSize - stream.avail_out));
            return failed("corrupt compressed data");
        }
    }
    if (out.size() != declared) {
        blockStart = cursor.position();
        return failed("compressed data inflates to " + std::to_string(out.size() + 16) +
                      " bytes, the header declares " + std::to_string(totalSize));
    }
    return {};
}

Diagnostic deflateChunks(ByteSpan body, std::vector<std::uint8_t>& out) {
    auto failed = [] { return fault(DXFILEERR_BADFILE, "compression failed"); };
    if (body.size() > 0xFFFFFFFFu - 16) return failed();
    auto total = static_cast<std::uint32_t>(body.size() + 16);
    std::size_t at = out.size();
    out.resize(at + 4);
    std::memcpy(out.data() + at, &total, 4);
    RawDeflater deflater;
    if (!deflater.ok()) return failed();
    for (std::size_t start = 0; start < body.size(); start += kBlockSize) {
        std::size_t blockSize = std::min(kBlockSize, body.size() - start);
        z_stream& stream = deflater.stream();
        if (deflateReset(&stream) != Z_OK) return failed();
        std::size_t bound = deflateBound(&stream, static_cast<uLong>(blockSize));
        std::size_t blockAt = out.size();
        out.resize(blockAt + 6 + bound);
        stream.next_in = const_cast<Bytef*>(body.data() + start);
        stream.avail_in = static_cast<uInt>(blockSize);
        stream.next_out = out.data() + blockAt + 6;
        stream.avail_out = static_cast<uInt>(bound);
        if (deflate(&stream, Z_FINISH) != Z_STREAM_END) return failed();
        std::size_t compressed = bound - stream.avail_out;
        if (compressed + 2 > 0xFFFF) return failed();
        auto uncompressedWord = static_cast<std::uint16_t>(blockSize);
        auto followWord = static_cast<std::uint16_t>(compressed + 2);
        std::memcpy(out.data() + blockAt, &uncompressedWord, 2);
        std::memcpy(out.data() + blockAt + 2, &followWord, 2);
        out[blockAt + 4] = 'C';
        out[blockAt + 5] = 'K';
        out.resize(blockAt + 6 + compressed);
    }
    return {};
}

} // namespace dxfile
