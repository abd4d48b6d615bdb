#include "Main/core/Instrument.h"

#include <cstring>
#include <utility>

ApplyOutcome StartInstrument(TInstrument &ins, const DeviceFields &fields)
{
    TModel &m = ins.Model;
    InitModel(m);
    const ApplyOutcome out = InitDevice(m, fields, ins.Latches);
    DrawApparatus(m);
    ClearTraces(m);
    return out;
}

namespace {

// `from`'s pixels in `own`, reusing its memory when it is of the same shape
// and shared with no other picture.
void CopyPixelsInto(QImage &own, const QImage &from)
{
    if (own.isDetached() && own.size() == from.size() && own.format() == from.format()
        && own.bytesPerLine() == from.bytesPerLine())
        std::memcpy(own.bits(), from.constBits(), static_cast<size_t>(from.sizeInBytes()));
    else
        own = from.copy();
}

} // namespace

void ResetInstrument(TInstrument &ins, const TInstrument &started, TraceReset traces)
{
    TModel &m = ins.Model;
    QImage apparatus = std::move(m.ApparatusBitmap);
    QImage trace = std::move(m.TraceBitmap);
    QImage detector = std::move(m.DetectorBitmap);
    ins = started;
    const TModel &from = started.Model;
    CopyPixelsInto(apparatus, from.ApparatusBitmap);
    if (traces == TraceReset::Copied || trace.size() != from.TraceBitmap.size())
        CopyPixelsInto(trace, from.TraceBitmap);
    CopyPixelsInto(detector, from.DetectorBitmap);
    m.ApparatusBitmap = std::move(apparatus);
    m.TraceBitmap = std::move(trace);
    m.DetectorBitmap = std::move(detector);
}
