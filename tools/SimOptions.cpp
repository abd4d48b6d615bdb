#include "tools/SimOptions.h"

#include "Main/core/NumberText.h"

#include <algorithm>
#include <functional>
#include <map>

namespace {

std::string LimitText(ParamLimit l)
{
    return "from " + FormatGeneral(l.Min) + " to " + FormatGeneral(l.Max);
}

bool ParseNumberIn(const std::string &name, const std::string &text, ParamLimit limit, double &out,
                   Status &r)
{
    const auto v = ParseFloat(text);
    if (!v || !WithinLimit(*v, limit)) {
        r = Status::Failure(name + " must be a number " + LimitText(limit) + ", not '" + text + "'");
        return false;
    }
    out = *v;
    return true;
}

bool ParseOnOff(const std::string &name, const std::string &text, bool &out, Status &r)
{
    if (text == "on" || text == "off") {
        out = text == "on";
        return true;
    }
    r = Status::Failure(name + " must be on or off, not '" + text + "'");
    return false;
}

bool ParseWhole(const std::string &name, const std::string &text, int64_t min, int64_t &out,
                Status &r)
{
    const std::string_view t = TrimControl(text);
    bool ok = !t.empty() && t.size() <= 18;
    int64_t v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') {
            ok = false;
            break;
        }
        v = v * 10 + (c - '0');
    }
    if (!ok || v < min) {
        r = Status::Failure(name + " must be a whole number of at least " + std::to_string(min) + ", not '" + text
                            + "'");
        return false;
    }
    out = v;
    return true;
}

bool ParseIntList(const std::string &name, const std::string &text, size_t count, std::vector<int> &out,
                  Status &r)
{
    out.clear();
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const auto v = ParseInt(part);
        if (!v)
            break;
        out.push_back(*v);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (out.size() != count || std::count(text.begin(), text.end(), ',') != static_cast<long>(count - 1)) {
        r = Status::Failure(name + " takes " + std::to_string(count) + " whole numbers separated by commas, not '"
                            + text + "'");
        return false;
    }
    return true;
}

} // namespace

std::string SimUsage()
{
    return "Usage: ionveto-sim [options]\n"
           "Flies ions through the instrument without a window, with the tick rules of the program.\n"
           "  --mass U             mass number, 1 to 1000 (default 120)\n"
           "  --mean-mass U        mean mass the instrument is tuned for, 1 to 1000 (default 120)\n"
           "  --induction T        magnetic induction, 0.1 to 2 (default 1)\n"
           "  --blende1 M          first source aperture, 0.005 to 0.1 (default 0.02)\n"
           "  --blende2 M          second source aperture, 0.005 to 0.1 (default 0.02)\n"
           "  --blende3 M          analyser exit aperture, 0.005 to 0.1 (default 0.008)\n"
           "  --offset M           exit aperture position, -0.05 to 0.05 (default 0)\n"
           "  --point-source on|off, --mono on|off, --parallel on|off   source options\n"
           "                       (defaults on, on, off)\n"
           "  --mode test|unknown  simulation mode (default test; unknown forces the\n"
           "                       three source options off)\n"
           "  --detector X1,Y1,X2,Y2,X3,Y3   three detector points in picture pixels,\n"
           "                       each inside drift 2 or drift 3; the detector is accepted\n"
           "  --spectrum 1|2       spectrum receiving the hits (default 1)\n"
           "  --continuous on|off  continuous emission up to the count (default on)\n"
           "  --layout FILE        load a saved layout file before the run\n"
           "  --save-layout FILE   write the state at the end (loaded or simulated) as the\n"
           "                       window's \"Mentés másként\" writes it\n"
           "  --ions N             ions emitted in all, N >= 0 (default 1000; 0 runs nothing)\n"
           "  --seed S             seed of the random generator (repeatable runs)\n"
           "  --picture-out FILE.png   write the trace picture at the end\n"
           "  --spectrum-out FILE  write both spectra as the text export does\n"
           "  --roi LO,HI          evaluate the ROI of the receiving spectrum\n"
           "  --help               this text\n"
           "  --version            the version of the program\n";
}

Status ParseSimOptions(const std::vector<std::string> &args, SimOptions &o)
{
    Status r;
    DeviceFields &f = o.Fields;
    using Handler = std::function<bool(const std::string &name, const std::string &value)>;
    const std::map<std::string, Handler> handlers = {
        {"--mass", [&](auto &n, auto &v) { return ParseNumberIn(n, v, Limits::Mass, f.Mass, r); }},
        {"--mean-mass", [&](auto &n, auto &v) { return ParseNumberIn(n, v, Limits::Mass, f.MeanMass, r); }},
        {"--induction", [&](auto &n, auto &v) { return ParseNumberIn(n, v, Limits::Induction, f.Induction, r); }},
        {"--blende1", [&](auto &n, auto &v) { return ParseNumberIn(n, v, Limits::Blende, f.Blende1, r); }},
        {"--blende2", [&](auto &n, auto &v) { return ParseNumberIn(n, v, Limits::Blende, f.Blende2, r); }},
        {"--blende3", [&](auto &n, auto &v) { return ParseNumberIn(n, v, Limits::Blende, f.Blende3, r); }},
        {"--offset", [&](auto &n, auto &v) { return ParseNumberIn(n, v, Limits::Offset, f.Blende3Offset, r); }},
        {"--point-source", [&](auto &n, auto &v) { return ParseOnOff(n, v, f.PointSource, r); }},
        {"--mono", [&](auto &n, auto &v) { return ParseOnOff(n, v, f.MonoEnergetic, r); }},
        {"--parallel", [&](auto &n, auto &v) { return ParseOnOff(n, v, f.Parallel, r); }},
        {"--continuous", [&](auto &n, auto &v) { return ParseOnOff(n, v, o.Continuous, r); }},
        {"--mode",
         [&](auto &n, auto &v) {
             if (v != "test" && v != "unknown") {
                 r = Status::Failure(n + " must be test or unknown, not '" + v + "'");
                 return false;
             }
             f.UnknownMode = v == "unknown";
             return true;
         }},
        {"--spectrum",
         [&](auto &n, auto &v) {
             if (v != "1" && v != "2") {
                 r = Status::Failure(n + " must be 1 or 2, not '" + v + "'");
                 return false;
             }
             o.Spectrum = v == "1" ? 1 : 2;
             return true;
         }},
        {"--ions", [&](auto &n, auto &v) { return ParseWhole(n, v, 0, o.Ions, r); }},
        {"--seed",
         [&](auto &n, auto &v) {
             int64_t s = 0;
             if (!ParseWhole(n, v, 0, s, r))
                 return false;
             o.Seed = static_cast<uint64_t>(s);
             o.SeedGiven = true;
             return true;
         }},
        {"--detector",
         [&](auto &n, auto &v) {
             std::vector<int> xs;
             if (!ParseIntList(n, v, 6, xs, r))
                 return false;
             o.DetectorPoints = std::array<int, 6>{xs[0], xs[1], xs[2], xs[3], xs[4], xs[5]};
             return true;
         }},
        {"--roi",
         [&](auto &n, auto &v) {
             std::vector<int> xs;
             if (!ParseIntList(n, v, 2, xs, r))
                 return false;
             o.Roi = std::make_pair(xs[0], xs[1]);
             return true;
         }},
        {"--picture-out", [&](auto &, auto &v) { o.PictureOut = v; return true; }},
        {"--spectrum-out", [&](auto &, auto &v) { o.SpectrumOut = v; return true; }},
        {"--layout", [&](auto &, auto &v) { o.LayoutIn = v; return true; }},
        {"--save-layout", [&](auto &, auto &v) { o.LayoutOut = v; return true; }},
    };

    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool inlineValue = false;
        if (name == "--help" || name == "-h") {
            o.Help = true;
            continue;
        }
        if (name == "--version") {
            o.Version = true;
            continue;
        }
        if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            inlineValue = true;
        }
        const auto h = handlers.find(name);
        if (h == handlers.end()) {
            r = Status::Failure("unknown option '" + name + "' (see --help)");
            return r;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                r = Status::Failure(name + " needs a value");
                return r;
            }
            value = args[++i];
        }
        if (!h->second(name, value))
            return r;
        o.Given.insert(name);
    }
    return r;
}
