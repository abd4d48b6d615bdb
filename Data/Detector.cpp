#include "Detector.h"

#include "Raster.h"

#include <cstring>

void ComposeDevicePicture(QImage &out, const TModel &m, bool withDetector)
{
    // White is transparent, and the picture starts white: the trace picture
    // can simply be copied in.
    if (out.size() != m.TraceBitmap.size() || out.format() != m.TraceBitmap.format())
        out = m.TraceBitmap.copy();
    else
        std::memcpy(out.bits(), m.TraceBitmap.constBits(), static_cast<size_t>(out.sizeInBytes()));
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
