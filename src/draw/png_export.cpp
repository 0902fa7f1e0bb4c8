// WriteCanvasPng: libpng's simplified writer reads the bottom-up BGR store through a negative stride.
#include "draw/png_export.h"

#include <png.h>

#include <cerrno>
#include <cstdio>

#include "support/user_output.h"

bool WriteCanvasPng(const Canvas& canvas, const char* path)
{
    if (canvas.pixels == nullptr) return false;
    UserOutput file;
    if (!OpenUserOutput(file, path)) return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(canvas.width);
    image.height = static_cast<png_uint_32>(canvas.height);
    image.format = PNG_FORMAT_BGR;
    // A negative stride tells libpng that the bottom row comes first in memory.
    png_int_32 stride = -static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(image));
    errno = 0;
    int ok = png_image_write_to_stdio(&image, file.stream, 0, canvas.pixels.get(), stride, nullptr);
    // A write the system refused leaves its reason in errno (a full disk, a
    // closed pipe); anything else libpng gave up on is an I/O error.
    int reason = std::ferror(file.stream) != 0 && errno != 0 ? errno : EIO;
    png_image_free(&image);
    if (ok == 0) {
        AbandonUserOutput(file);
        errno = reason;
        return false;
    }
    return CloseUserOutput(file);
}
