#include "Detector.h"

#include "Raster.h"

#include <cstring>

void ComposeDevicePicture(QImage &out, const TModel &m, bool withDetector)
{
    ComposeDevicePicture(out, m.TraceBitmap, m, withDetector);
}

void ComposeDevicePicture(QImage &out, const QImage &base, const TModel &m, bool withDetector)
{
    // White is transparent, and the picture starts white: the base picture
    // can simply be copied in.
    if (out.size() != base.size() || out.format() != base.format())
        out = base.copy();
    else
        std::memcpy(out.bits(), base.constBits(), static_cast<size_t>(out.sizeInBytes()));
    if (withDetector)
        CopyTransparent(out, m.DetectorBitmap, {PictureSize::DetectorOriginX, PictureSize::DetectorOriginY});
}

const char *const UnusableDetectorText = "Hibás a detektort definiáló 3 pont!";

Status AcceptDetector(TModel &m)
{
    if (!DetectorDefined(m.Detector) || !BuildDetector(m))
        return Status::Failure(UnusableDetectorText);
    m.Detector.Accepted = true;
    DrawApparatus(m);
    return {};
}
