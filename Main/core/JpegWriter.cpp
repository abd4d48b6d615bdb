#include "Main/core/JpegWriter.h"

#include "Main/core/AtomicSave.h"

#include <QImage>
#include <QString>

#include <csetjmp>
#include <cstdio>
#include <new>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace {

// The library's default error_exit calls exit(); ours jumps back to the
// encoder, which cleans up and reports the failure instead.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void JumpOnError(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (corrupt-data notes and the like) are of no use to a writer.
extern "C" void IgnoreMessage(j_common_ptr) {}

// Compressed bytes go straight into a growing vector.
struct VectorDestination {
    jpeg_destination_mgr pub;
    std::vector<unsigned char> *out;
    bool outOfMemory;
};

constexpr size_t InitialBuffer = 64 * 1024;

extern "C" void InitDestination(j_compress_ptr cinfo)
{
    auto *dest = reinterpret_cast<VectorDestination *>(cinfo->dest);
    try {
        dest->out->resize(InitialBuffer);
    } catch (const std::bad_alloc &) {
        dest->outOfMemory = true;
    }
    if (dest->outOfMemory)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    dest->pub.next_output_byte = dest->out->data();
    dest->pub.free_in_buffer = dest->out->size();
}

extern "C" boolean EmptyOutputBuffer(j_compress_ptr cinfo)
{
    // Called when the whole buffer is full (free_in_buffer is then meaningless).
    auto *dest = reinterpret_cast<VectorDestination *>(cinfo->dest);
    const size_t used = dest->out->size();
    try {
        dest->out->resize(used * 2);
    } catch (const std::bad_alloc &) {
        dest->outOfMemory = true;
    }
    // The jump must not leave from inside the catch block.
    if (dest->outOfMemory)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 1);
    dest->pub.next_output_byte = dest->out->data() + used;
    dest->pub.free_in_buffer = dest->out->size() - used;
    return TRUE;
}

extern "C" void TermDestination(j_compress_ptr cinfo)
{
    auto *dest = reinterpret_cast<VectorDestination *>(cinfo->dest);
    dest->out->resize(dest->out->size() - dest->pub.free_in_buffer);
}

// Runs the library on an RGB888 picture. Only plain data lives in this frame
// between setjmp and a possible longjmp, so the jump skips no destructor.
bool Compress(const QImage &rgb, std::vector<unsigned char> *out, char *message)
{
    jpeg_compress_struct cinfo;
    ErrorManager err;
    VectorDestination dest;

    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = JumpOnError;
    err.pub.output_message = IgnoreMessage;
    err.message[0] = '\0';

    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.message);
        return false;
    }

    jpeg_create_compress(&cinfo);

    dest.pub.init_destination = InitDestination;
    dest.pub.empty_output_buffer = EmptyOutputBuffer;
    dest.pub.term_destination = TermDestination;
    dest.pub.next_output_byte = nullptr;
    dest.pub.free_in_buffer = 0;
    dest.out = out;
    dest.outOfMemory = false;
    cinfo.dest = &dest.pub;

    cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, JpegQuality, TRUE);

    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        // Rows of an RGB888 picture are padded to 4 bytes: take each row by itself.
        JSAMPROW row = const_cast<JSAMPROW>(
            reinterpret_cast<const JSAMPLE *>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline))));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

Status EncodeJpeg(const QImage &image, std::vector<unsigned char> &out)
{
    out.clear();
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return Status::Failure("Empty picture");
    // JPEG rows are limited to 65500 pixels either way.
    if (image.width() > JPEG_MAX_DIMENSION || image.height() > JPEG_MAX_DIMENSION)
        return Status::Failure("Picture too large for JPEG");
    const QImage rgb = image.format() == QImage::Format_RGB888
                           ? image
                           : image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull())
        return Status::Failure("Out of memory");
    char message[JMSG_LENGTH_MAX];
    if (!Compress(rgb, &out, message)) {
        out.clear();
        return Status::Failure(message[0] ? std::string(message) : std::string("JPEG encoding failed"));
    }
    return {};
}

Status WriteJpegBytes(const std::vector<unsigned char> &bytes, const std::string &path)
{
    const Status failure = Status::Failure("Cannot create file " + path);
    if (path.empty())
        return failure;
    if (!SaveFileAtomically(path, std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size())).Ok())
        return failure;   // the picture export's own wording
    return {};
}

Status WriteJpeg(const QImage &image, const std::string &path)
{
    std::vector<unsigned char> bytes;
    if (Status encoded = EncodeJpeg(image, bytes); !encoded)
        return encoded;
    return WriteJpegBytes(bytes, path);
}
