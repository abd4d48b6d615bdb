// The two outputs of the jury's summary: the table for a spreadsheet and the
// printable page with the pictures.
#include "Main/core/JuryReport.h"

#include "Main/core/NumberText.h"

#include <QByteArray>
#include <QDateTime>

#include <map>

namespace {

const char *const ModeTexts[2] = {"Tesztelés, beállítás", "Ismeretlen tömeg"};

std::string NoteLine(const std::vector<std::string> &note)
{
    std::string joined;
    for (size_t i = 0; i < note.size(); ++i)
        joined += (i ? " | " : "") + note[i];
    return joined;
}

std::string DetectorText(const ReportLayout &l)
{
    if (!l.DetectorAccepted)
        return "nem";
    return l.DetectorUsable ? "igen" : "igen (hibás a 3 pont)";
}

std::string AgreementText(const ReportSpectrum &s)
{
    if (!s.Recomputed)
        return "nem számolható";
    return s.Agrees ? "igen" : "NEM";
}

std::string RecomputedBrutto(const ReportSpectrum &s)
{
    return s.Recomputed ? FormatBrutto(s.Recomputed->Brutto) : std::string();
}

std::string RecomputedKozep(const ReportSpectrum &s)
{
    return s.Recomputed ? std::string(TrimControl(FormatKozep(s.Recomputed->Kozep))) : std::string();
}

// ---- CSV -------------------------------------------------------------------

// A field of free text (a name, a note, a file name) that a spreadsheet would
// take for a formula is kept as text by a leading apostrophe; numbers stay as they are.
std::string Defused(const std::string &text)
{
    if (!text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos
        && !ParseFloat(text))
        return "'" + text;
    return text;
}

std::string CsvField(const std::string &text)
{
    if (text.find_first_of(";\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

void CsvRow(std::string &out, const std::vector<std::string> &fields)
{
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i)
            out += ';';
        out += CsvField(fields[i]);
    }
    out += "\r\n";
}

// ---- HTML ------------------------------------------------------------------

std::string Html(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Image(const std::string &png, const char *cls, const std::string &alt)
{
    if (png.empty())
        return "<p class=\"nopicture\">(nincs kép: " + Html(alt) + ")</p>";
    const QByteArray b64 = QByteArray::fromRawData(png.data(), qsizetype(png.size())).toBase64();
    return std::string("<img class=\"") + cls + "\" alt=\"" + Html(alt) + "\" src=\"data:image/png;base64,"
           + b64.toStdString() + "\">";
}

const char *const Style = R"(
@page { size: A4 portrait; margin: 12mm; }
body { font-family: Arial, "Liberation Sans", Helvetica, sans-serif; font-size: 9.5pt; color: #000; margin: 0; }
h1 { font-size: 16pt; margin: 0 0 3mm; }
h2 { font-size: 13pt; margin: 0 0 1mm; }
h3 { font-size: 10.5pt; margin: 2.5mm 0 1mm; }
table { border-collapse: collapse; }
th, td { border: 0.25mm solid #999; padding: 0.5mm 1.5mm; text-align: left; vertical-align: top; }
th { background: #e4eeee; }
td.num { text-align: right; font-variant-numeric: tabular-nums; }
.contestant, .skipped { break-before: page; page-break-before: always; }
.layout { break-inside: avoid; page-break-inside: avoid; }
.layout + .layout { break-before: page; page-break-before: always; }
.file { color: #333; margin: 0 0 2mm; }
.settings td:nth-child(odd) { background: #f3f3f3; }
.top { display: flex; gap: 4mm; align-items: flex-start; margin-bottom: 2mm; }
img.apparatus { display: block; width: 112mm; border: 0.25mm solid #999; }
.spectra figure { margin: 0 0 1.5mm; width: 150mm; }
.spectra figcaption { font-weight: bold; margin-bottom: 0.5mm; }
img.chart { display: block; width: 100%; }
tr.mismatch td { background: #ffd6d6; }
tr.mismatch td.flag, span.flag { color: #b00000; font-weight: bold; }
.note { white-space: pre-wrap; border: 0.25mm solid #999; padding: 1.5mm 2mm; margin: 0; font-family: inherit; }
.nonote { color: #666; font-style: italic; }
@media screen {
  body { max-width: 190mm; margin: 0 auto; padding: 6mm; }
  .contestant, .skipped { border-top: 1mm solid #008080; margin-top: 8mm; padding-top: 3mm; }
  .layout + .layout { border-top: 0.3mm dashed #008080; margin-top: 5mm; padding-top: 3mm; }
}
)";

void SettingsTable(std::string &h, const ReportLayout &l)
{
    auto row = [&](const char *label, const std::string &value) {
        h += "<tr><td>" + std::string(label) + "</td><td class=\"num\">" + Html(value) + "</td></tr>\n";
    };
    h += "<table class=\"settings\">\n";
    row("Mód", ModeTexts[l.UnknownMode ? 1 : 0]);
    row("Tömegszám", l.Mass);
    row("Közepes tömeg", l.MeanMass);
    row("Indukció (T)", l.Induction);
    row("Blende_1 (m)", l.Blende1);
    row("Blende_2 (m)", l.Blende2);
    row("Blende_3 (m)", l.Blende3);
    row("Helyzet (m)", l.Offset);
    row("Detektor elfogadva", DetectorText(l));
    if (l.DetectorAccepted)
        for (size_t k = 0; k < l.DetectorPoints.size(); ++k) {
            const std::string label = "Pont #" + std::to_string(k + 1);
            row(label.c_str(), std::to_string(l.DetectorPoints[k].x) + ", " + std::to_string(l.DetectorPoints[k].y));
        }
    h += "</table>\n";
}

void RoiTable(std::string &h, const ReportLayout &l)
{
    h += "<table class=\"roi\">\n<tr><th>Spektrum</th><th>Összes beütés</th><th>X1</th><th>X2</th>"
         "<th>Bruttó (mentett)</th><th>Bruttó (számolt)</th><th>Közép (mentett)</th><th>Közép (számolt)</th>"
         "<th>Egyezik</th></tr>\n";
    for (int s = 0; s < 2; ++s) {
        const ReportSpectrum &sp = l.Spectra[size_t(s)];
        h += std::string("<tr") + (sp.Agrees ? "" : " class=\"mismatch\"") + "><td>" + std::to_string(s + 1)
             + ".</td><td class=\"num\">" + Html(FormatGeneral(sp.Total)) + "</td><td class=\"num\">"
             + Html(sp.Saved.X1) + "</td><td class=\"num\">" + Html(sp.Saved.X2) + "</td><td class=\"num\">"
             + Html(sp.Saved.Brutto) + "</td><td class=\"num\">" + Html(RecomputedBrutto(sp))
             + "</td><td class=\"num\">" + Html(sp.Saved.Kozep) + "</td><td class=\"num\">"
             + Html(RecomputedKozep(sp)) + "</td><td class=\"flag\">" + Html(AgreementText(sp)) + "</td></tr>\n";
    }
    h += "</table>\n";
}

void LayoutArticle(std::string &h, const ReportLayout &l)
{
    h += "<article class=\"layout\">\n<h2>Versenyző: " + Html(l.UserId) + "</h2>\n";
    h += "<p class=\"file\">" + Html(l.Path) + " &middot; mentve: " + Html(l.FileTime);
    if (!l.AllAgree())
        h += " &middot; <span class=\"flag\">ROI eltérés</span>";
    h += "</p>\n";
    h += "<div class=\"top\">\n";
    SettingsTable(h, l);
    h += Image(l.ApparatusPng, "apparatus", "a készülék rajza") + "\n</div>\n";
    h += "<div class=\"spectra\">\n";
    for (int s = 0; s < 2; ++s) {
        const std::string n = std::to_string(s + 1) + ". spektrum";
        h += "<figure><figcaption>" + n + "</figcaption>" + Image(l.SpectrumPng[size_t(s)], "chart", n)
             + "</figure>\n";
    }
    h += "</div>\n";
    RoiTable(h, l);
    h += "<h3>Megjegyzés</h3>\n";
    if (l.Note.empty()) {
        h += "<p class=\"nonote\">nincs megjegyzés</p>\n";
    } else {
        std::string note;
        for (size_t i = 0; i < l.Note.size(); ++i)
            note += (i ? "\n" : "") + l.Note[i];
        h += "<pre class=\"note\">" + Html(note) + "</pre>\n";
    }
    h += "</article>\n";
}

} // namespace

std::string JuryReportCsv(const JuryReport &report)
{
    std::string out = "\xEF\xBB\xBF";
    std::vector<std::string> header = {"mappa", "fájl", "fájl ideje", "versenyző", "mód", "tömegszám",
                                       "közepes tömeg", "indukció (T)", "Blende_1 (m)", "Blende_2 (m)",
                                       "Blende_3 (m)", "helyzet (m)", "detektor elfogadva", "P1 X", "P1 Y",
                                       "P2 X", "P2 Y", "P3 X", "P3 Y"};
    for (const char *s : {"S1", "S2"})
        for (const char *col : {"összes beütés", "X1", "X2", "Bruttó (mentett)", "Közép (mentett)",
                                "Bruttó (számolt)", "Közép (számolt)", "egyezik"})
            header.push_back(std::string(s) + " " + col);
    header.push_back("megjegyzés");
    CsvRow(out, header);

    for (const ReportLayout &l : report.Layouts) {
        std::vector<std::string> row = {Defused(l.Folder), Defused(l.File), l.FileTime, Defused(l.UserId),
                                        ModeTexts[l.UnknownMode ? 1 : 0], l.Mass, l.MeanMass, l.Induction,
                                        l.Blende1, l.Blende2, l.Blende3, l.Offset, DetectorText(l)};
        for (const TPixel &p : l.DetectorPoints) {
            row.push_back(l.DetectorAccepted ? std::to_string(p.x) : "");
            row.push_back(l.DetectorAccepted ? std::to_string(p.y) : "");
        }
        for (const ReportSpectrum &s : l.Spectra) {
            row.insert(row.end(), {FormatGeneral(s.Total), s.Saved.X1, s.Saved.X2, s.Saved.Brutto, s.Saved.Kozep,
                                   RecomputedBrutto(s), RecomputedKozep(s), AgreementText(s)});
        }
        row.push_back(Defused(NoteLine(l.Note)));
        CsvRow(out, row);
    }

    // The files left out follow after an empty line, under their own header.
    out += "\r\nkihagyott fájlok\r\n";
    CsvRow(out, {"mappa", "fájl", "ok"});
    for (const ReportSkipped &s : report.Skipped)
        CsvRow(out, {Defused(s.Folder), Defused(s.File), Defused(s.Reason)});
    return out;
}

std::string JuryReportHtml(const JuryReport &report)
{
    // Contestants in the order their first file was found; each starts a new page.
    std::vector<std::string> order;
    std::map<std::string, std::vector<const ReportLayout *>> byContestant;
    for (const ReportLayout &l : report.Layouts) {
        auto &list = byContestant[l.UserId];
        if (list.empty())
            order.push_back(l.UserId);
        list.push_back(&l);
    }
    int mismatches = 0;
    for (const ReportLayout &l : report.Layouts)
        mismatches += l.AllAgree() ? 0 : 1;

    std::string h = "<!DOCTYPE html>\n<html lang=\"hu\">\n<head>\n<meta charset=\"utf-8\">\n"
                    "<title>Összesítő jelentés</title>\n<style>";
    h += Style;
    h += "</style>\n</head>\n<body>\n<header class=\"summary\">\n<h1>Összesítő jelentés</h1>\n";
    h += "<p>Készült: " + Html(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString())
         + " &middot; " + std::to_string(order.size()) + " versenyző, " + std::to_string(report.Layouts.size())
         + " elrendezésfájl, " + std::to_string(mismatches) + " ROI eltéréssel, "
         + std::to_string(report.Skipped.size()) + " kihagyott fájl.</p>\n";
    h += "<table class=\"index\">\n<tr><th>Versenyző</th><th>Fájlok</th><th>ROI</th></tr>\n";
    for (const std::string &name : order) {
        const auto &list = byContestant[name];
        std::string files;
        bool agree = true;
        for (const ReportLayout *l : list) {
            files += (files.empty() ? "" : ", ") + l->File;
            agree = agree && l->AllAgree();
        }
        h += std::string("<tr") + (agree ? "" : " class=\"mismatch\"") + "><td>" + Html(name) + "</td><td>"
             + Html(files) + "</td><td class=\"flag\">" + (agree ? "egyezik" : "ELTÉR") + "</td></tr>\n";
    }
    h += "</table>\n</header>\n";

    for (const std::string &name : order) {
        h += "<section class=\"contestant\" data-contestant=\"" + Html(name) + "\">\n";
        for (const ReportLayout *l : byContestant[name])
            LayoutArticle(h, *l);
        h += "</section>\n";
    }

    h += "<section class=\"skipped\">\n<h2>Kihagyott fájlok</h2>\n";
    if (report.Skipped.empty()) {
        h += "<p>nincs</p>\n";
    } else {
        h += "<table>\n<tr><th>Mappa</th><th>Fájl</th><th>Ok</th></tr>\n";
        for (const ReportSkipped &s : report.Skipped)
            h += "<tr><td>" + Html(s.Folder) + "</td><td>" + Html(s.File) + "</td><td>" + Html(s.Reason)
                 + "</td></tr>\n";
        h += "</table>\n";
    }
    h += "</section>\n</body>\n</html>\n";
    return h;
}
