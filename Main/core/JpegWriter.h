#pragma once
// JPEG pictures of the window (a chart panel, the device page, both pages):
// 24-bit colour, baseline, quality 90, the library's defaults otherwise.
//
// Encoding and writing are separate steps because the picture is taken from
// the screen before the save dialog opens; the file is written afterwards.
#include "Data/Status.h"

#include <string>
#include <vector>

class QImage;

// Encodes the picture as a baseline JFIF stream into `out`. An empty (null or
// 0-pixel) picture or an encoder failure leaves `out` empty and says why.
Status EncodeJpeg(const QImage &image, std::vector<unsigned char> &out);

// Writes already encoded bytes to `path` (UTF-8). The bytes go to a temporary
// file in the same folder, which then replaces the target in one step: a failed
// write never leaves a half-written file, and a file of that name that existed
// before survives the failure unchanged. Fails with "Cannot create file <path>".
Status WriteJpegBytes(const std::vector<unsigned char> &bytes, const std::string &path);

// EncodeJpeg followed by WriteJpegBytes.
Status WriteJpeg(const QImage &image, const std::string &path);

// The quality every picture of the program is written with.
constexpr int JpegQuality = 90;
