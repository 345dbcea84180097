#include "composer/HeifDecoding.h"

#include "composer/ComposeError.h"

#include <libheif/heif.h>

#include <memory>

namespace composer {

namespace {

struct ContextFree {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleFree {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ImageFree {
    void operator()(heif_image* i) const { heif_image_release(i); }
};

std::string nameOf(const std::filesystem::path& file) {
    return reinterpret_cast<const char*>(file.u8string().c_str());
}

[[noreturn]] void fail(const std::filesystem::path& file, const heif_error& error) {
    throw ComposeError("照片 " + nameOf(file) + " 无法读取（HEIC：" +
                       std::string(error.message ? error.message : "") +
                       "）。请确认文件完整，或在手机上导出为 JPEG 后再添加。");
}

} // namespace

QImage decodeHeif(const std::filesystem::path& file, const std::function<QSize(QSize)>& sizeFor) {
    std::unique_ptr<heif_context, ContextFree> context(heif_context_alloc());
    if (!context) {
        throw ComposeError("照片 " + nameOf(file) + " 无法读取：内存不足。");
    }
    heif_error error = heif_context_read_from_file(context.get(), file.c_str(), nullptr);
    if (error.code != heif_error_Ok) {
        fail(file, error);
    }
    heif_image_handle* rawHandle = nullptr;
    error = heif_context_get_primary_image_handle(context.get(), &rawHandle);
    if (error.code != heif_error_Ok) {
        fail(file, error);
    }
    std::unique_ptr<heif_image_handle, HandleFree> handle(rawHandle);
    // The handle's size is the upright one: the container's turns are applied on decoding.
    const QSize stored(heif_image_handle_get_width(handle.get()),
                       heif_image_handle_get_height(handle.get()));
    const QSize wanted = sizeFor(stored);
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    heif_image* rawImage = nullptr;
    error = heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB,
                              alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                              nullptr);
    if (error.code != heif_error_Ok) {
        fail(file, error);
    }
    std::unique_ptr<heif_image, ImageFree> image(rawImage);
    int stride = 0;
    const uint8_t* data =
        heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
    if (data == nullptr || width <= 0 || height <= 0) {
        throw ComposeError("照片 " + nameOf(file) + " 无法读取：HEIC 中没有图像。");
    }
    const QImage view(data, width, height, stride,
                      alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    // The view borrows libheif's pixels: scaling copies them before the image is released.
    QImage scaled = view.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return scaled.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

} // namespace composer
