#pragma once
// Decoding a JPEG with the library itself, so that checks of the written files
// do not depend on an image plugin, with the header facts the tests look at.
#include <QByteArray>
#include <QImage>
#include <QString>

extern "C" {
#include <jpeglib.h>
}

struct DecodedJpeg {
    bool Ok = false;
    QImage Image;             // RGB888
    int Components = 0;
    bool Progressive = true;
    J_COLOR_SPACE FileColour = JCS_UNKNOWN;
    int LumaQuant[DCTSIZE2] = {};   // natural order
};

DecodedJpeg DecodeJpegBytes(const QByteArray &bytes);
DecodedJpeg DecodeJpegFile(const QString &path);
