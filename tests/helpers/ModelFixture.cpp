#include "helpers/ModelFixture.h"

#include "Data/Raster.h"

TColor ModelFixture::ReadColorAt(int x, int y) const
{
    return ReadColor(m.ApparatusBitmap, x, y);
}
