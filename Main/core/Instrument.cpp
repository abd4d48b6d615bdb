#include "Main/core/Instrument.h"

ApplyOutcome StartInstrument(TInstrument &ins, const DeviceFields &fields)
{
    TModel &m = ins.Model;
    InitModel(m);
    const ApplyOutcome out = InitDevice(m, fields, ins.Latches);
    DrawApparatus(m);
    ClearTraces(m);
    return out;
}
