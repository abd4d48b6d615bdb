#pragma once
// The small picture of the ion source on the source panel: the source box with
// its two apertures, drawn to scale into the part of a picture that is shown.
#include "Data/Params.h"

#include <QImage>

// Draws into the top-left viewWidth x viewHeight pixels of `picture`, one pixel
// being `pixelSize` metres. The picture must be at least that large.
void DrawSourceSchematic(QImage &picture, int viewWidth, int viewHeight, const TParams &p,
                         double pixelSize);
