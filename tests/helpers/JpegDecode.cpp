#include "helpers/JpegDecode.h"

#include <QFile>
#include <csetjmp>

namespace {

struct DecodeError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

extern "C" void DecodeErrorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<DecodeError *>(cinfo->err)->jump, 1);
}

} // namespace

DecodedJpeg DecodeJpegFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return DecodeJpegBytes(f.readAll());
}

DecodedJpeg DecodeJpegBytes(const QByteArray &bytes)
{
    DecodedJpeg d;
    jpeg_decompress_struct cinfo;
    DecodeError err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = DecodeErrorExit;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return DecodedJpeg{};
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    d.Components = cinfo.num_components;
    d.Progressive = cinfo.progressive_mode;
    d.FileColour = cinfo.jpeg_color_space;
    if (cinfo.quant_tbl_ptrs[0])
        for (int i = 0; i < DCTSIZE2; ++i)
            d.LumaQuant[i] = cinfo.quant_tbl_ptrs[0]->quantval[i];
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    QImage img(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
               QImage::Format_RGB888);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = img.scanLine(static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    d.Image = img;
    d.Ok = true;
    return d;
}
