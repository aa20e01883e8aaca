// HEIC, HEIF and AVIF: the primary picture, through libheif, with the file's own rotation,
// mirroring and crop applied as a viewer shows them.

#include "dropfiles/DocumentReaders.h"

#include "dropfiles/DocumentLimits.h"
#include "dropfiles/RegularFile.h"
#include "platform/GrayPicture.h"

#include <libheif/heif.h>

#include <QImage>

#include <cstdint>

namespace {

// libheif is set up once for the process (its decoders), and torn down with it.
struct HeifLibrary {
    HeifLibrary() { static_cast<void>(heif_init(nullptr)); }  // without it libheif sets itself up alike
    ~HeifLibrary() { heif_deinit(); }
    HeifLibrary(const HeifLibrary&) = delete;
    HeifLibrary& operator=(const HeifLibrary&) = delete;
};

struct HeifContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HeifHandleRelease {
    void operator()(const heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct HeifImageRelease {
    void operator()(const heif_image* image) const { heif_image_release(image); }
};
struct HeifOptionsFree {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
using HeifImage = std::unique_ptr<heif_image, HeifImageRelease>;

bool OverHeifPixels(int width, int height)
{
    return static_cast<qint64>(width) * height > kMaxPicturePixels;
}

UnreadableReason ReasonFor(const heif_error& error)
{
    return error.code == heif_error_Memory_allocation_error || error.subcode == heif_suberror_Security_limit_exceeded
               ? UnreadableReason::OverLimits
               : UnreadableReason::Broken;
}

// The luma plane of a decoded picture, as a gapless gray picture of its own.
cv::Mat LumaOf(const heif_image* image)
{
    if (heif_image_get_bits_per_pixel(image, heif_channel_Y) != 8)
        return {};  // convert_hdr_to_8bit asked for 8 bits; anything else is no gray to hand on
    int stride = 0;
    const std::uint8_t* const plane = heif_image_get_plane_readonly(image, heif_channel_Y, &stride);
    if (plane == nullptr)
        return {};
    return cv::Mat(heif_image_get_height(image, heif_channel_Y), heif_image_get_width(image, heif_channel_Y), CV_8UC1,
                   const_cast<std::uint8_t*>(plane), static_cast<std::size_t>(stride))
        .clone();
}

// The picture in 8-bit RGB, or RGBA when it has transparency, made gray as GrayPictureFromImage
// has every picture (a transparent one laid on white).
cv::Mat DecodeColourGray(const heif_image_handle* handle, const heif_decoding_options* options, bool alpha)
{
    heif_image* decoded = nullptr;
    const heif_error error = heif_decode_image(handle, &decoded, heif_colorspace_RGB,
                                               alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                                               options);
    const HeifImage image(decoded);
    if (error.code != heif_error_Ok)
        return {};
    int stride = 0;
    const std::uint8_t* const pixels = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    if (pixels == nullptr)
        return {};
    return GrayPictureFromImage(QImage(pixels, heif_image_get_width(image.get(), heif_channel_interleaved),
                                       heif_image_get_height(image.get(), heif_channel_interleaved), stride,
                                       alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888));
}

// Without transparency, straight to gray where libheif can: the luma plane alone, a third of
// the memory of RGB. It converts only 8-bit 4:2:0 so (a camera's HEIC); 4:4:4 and deeper
// pictures, as avifenc and heif-enc write them from a PNG, go through RGB.
cv::Mat DecodeGray(const heif_image_handle* handle, const heif_decoding_options* options)
{
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
    if (!alpha) {
        heif_image* decoded = nullptr;
        const heif_error error =
            heif_decode_image(handle, &decoded, heif_colorspace_monochrome, heif_chroma_monochrome, options);
        const HeifImage image(decoded);
        if (error.code == heif_error_Ok)
            return LumaOf(image.get());
        if (error.code != heif_error_Unsupported_feature)
            return {};
    }
    return DecodeColourGray(handle, options, alpha);
}

}  // namespace

OpenedDocument OpenHeif(QFile& file)
{
    static const HeifLibrary library;
    const Contents contents = ReadWhole(file, kMaxPictureFileBytes);
    if (contents.failure)
        return {nullptr, contents.failure};

    const std::unique_ptr<heif_context, HeifContextFree> context(heif_context_alloc());
    if (!context)
        return {nullptr, UnreadableReason::OverLimits};
    // Workers already take every core: tiles are decoded on the caller's thread.
    heif_context_set_max_decoding_threads(context.get(), 0);
    const QByteArray& bytes = contents.bytes;  // kept until the context is freed
    heif_error error = heif_context_read_from_memory_without_copy(context.get(), bytes.constData(),
                                                                  static_cast<std::size_t>(bytes.size()), nullptr);
    if (error.code != heif_error_Ok)
        return {nullptr, ReasonFor(error)};
    heif_image_handle* primary = nullptr;
    error = heif_context_get_primary_image_handle(context.get(), &primary);
    const std::unique_ptr<const heif_image_handle, HeifHandleRelease> handle(primary);
    if (error.code != heif_error_Ok)
        return {nullptr, ReasonFor(error)};
    // The size the header promises, as coded and as shown, before a single pixel is decoded.
    const heif_image_handle* const image = handle.get();
    if (OverHeifPixels(heif_image_handle_get_ispe_width(image), heif_image_handle_get_ispe_height(image)) ||
        OverHeifPixels(heif_image_handle_get_width(image), heif_image_handle_get_height(image)))
        return {nullptr, UnreadableReason::OverLimits};

    const std::unique_ptr<heif_decoding_options, HeifOptionsFree> options(heif_decoding_options_alloc());
    if (!options)
        return {nullptr, UnreadableReason::OverLimits};
    options->convert_hdr_to_8bit = 1;  // 10- and 12-bit pictures as 8-bit gray
    return OpenedPicture(DecodeGray(handle.get(), options.get()));
}
