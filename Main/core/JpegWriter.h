#pragma once
// JPEG pictures of the window (a chart panel, the device page, both pages):
// 24-bit colour, baseline, quality 90, the library's defaults otherwise.
//
// Encoding and writing are separate steps because the picture is taken from
// the screen before the save dialog opens; the file is written afterwards.
#include <string>
#include <vector>

class QImage;

// Encodes the picture as a baseline JFIF stream. An empty (null or 0-pixel)
// picture or an encoder failure gives an empty vector and, when `error` is
// given, a text saying why.
std::vector<unsigned char> EncodeJpeg(const QImage &image, std::string *error = nullptr);

// Writes already encoded bytes to `path` (UTF-8). The bytes go to a temporary
// file in the same folder, which then replaces the target in one step: a failed
// write never leaves a half-written file, and a file of that name that existed
// before survives the failure unchanged. On failure returns false with the
// text "Cannot create file <path>".
bool WriteJpegBytes(const std::vector<unsigned char> &bytes, const std::string &path,
                    std::string *error = nullptr);

// EncodeJpeg followed by WriteJpegBytes.
bool WriteJpeg(const QImage &image, const std::string &path, std::string *error = nullptr);

// The quality every picture of the program is written with.
constexpr int JpegQuality = 90;
