#include "dropfiles/Gunzip.h"

#include <zlib.h>

#include <algorithm>
#include <memory>

namespace {

struct InflateEnd {
    void operator()(z_stream* stream) const { static_cast<void>(inflateEnd(stream)); }  // only frees
};

constexpr qsizetype kInflateStep = 64 * 1024;
constexpr int kGzipOnly = 16 + MAX_WBITS;  // zlib's way of asking for a gzip header, no other

}  // namespace

Contents Gunzip(QByteArrayView gzip, qint64 maxBytes)
{
    z_stream stream{};
    if (inflateInit2(&stream, kGzipOnly) != Z_OK)
        return {{}, UnreadableReason::OverLimits};
    const std::unique_ptr<z_stream, InflateEnd> owner(&stream);
    // zlib takes its input as non-const but never writes to it.
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(gzip.data()));
    stream.avail_in = static_cast<uInt>(gzip.size());
    QByteArray inflated;
    for (;;) {
        const qsizetype done = inflated.size();
        const qsizetype step = std::min<qint64>(kInflateStep, maxBytes + 1 - done);
        inflated.resize(done + step);
        stream.next_out = reinterpret_cast<Bytef*>(inflated.data() + done);
        stream.avail_out = static_cast<uInt>(step);
        const int status = inflate(&stream, Z_NO_FLUSH);
        inflated.resize(done + step - static_cast<qsizetype>(stream.avail_out));
        if (inflated.size() > maxBytes)
            return {{}, UnreadableReason::OverLimits};
        if (status == Z_STREAM_END)
            return {std::move(inflated), std::nullopt};
        // Z_BUF_ERROR: the input ended before the stream did.
        if (status != Z_OK)
            return {{}, UnreadableReason::Broken};
    }
}
