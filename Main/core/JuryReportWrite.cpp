// The two outputs of the jury's summary: the table for a spreadsheet and the
// printable page with the pictures.
#include "Main/core/JuryReport.h"

#include "Main/core/NumberText.h"

#include <QByteArray>
#include <QString>
#include <QDateTime>

#include <algorithm>
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
    if (!s.Evaluated)
        return "nincs kiértékelve";
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

std::string WarningText(const ReportLayout &l)
{
    std::string joined;
    for (size_t i = 0; i < l.Warnings.size(); ++i)
        joined += (i ? "; " : "") + l.Warnings[i];
    return joined;
}

// Any field (a name, a note, a file name, a setting: a layout file can hold
// anything in any of them) that a spreadsheet would run as a formula is kept as
// text by a leading apostrophe; numbers stay as they are.
std::string Defused(const std::string &text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first != std::string::npos && std::string_view("=+-@\t\r\n|").find(text[first]) != std::string_view::npos
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
        out += CsvField(Defused(fields[i]));
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

// At most `limit` characters (not bytes) of a field for the printed page, the
// rest marked; the table and the spreadsheet keep the whole text.
std::string Cut(const std::string &text, int limit)
{
    const QString t = QString::fromStdString(text);
    if (t.size() <= limit)
        return text;
    return (t.left(limit) + QString::fromUtf8("… (") + QString::number(t.size()) + QString::fromUtf8(" karakter)"))
        .toStdString();
}

// The note as the printed page shows it: whole lines while they fit some fifteen
// printed lines (a long line counts as the lines it wraps to), then the rest
// counted in "… (további N sor)".
constexpr int NoteRows = 15, NoteRowChars = 110;
std::string PrintedNote(const std::vector<std::string> &note)
{
    std::string shown;
    int rows = 0;
    size_t i = 0;
    for (; i < note.size(); ++i) {
        const QString line = QString::fromStdString(note[i]);
        const int need = std::max<int>(1, int((line.size() + NoteRowChars - 1) / NoteRowChars));
        if (rows + need > NoteRows) {
            // A first line longer than the whole box is shown in part.
            if (i == 0)
                shown = line.left(NoteRows * NoteRowChars).toStdString() + "…";
            break;
        }
        shown += (i ? "\n" : "") + note[i];
        rows += need;
    }
    if (i < note.size()) {
        const size_t left = note.size() - i - (i == 0 ? 1 : 0);
        shown += left ? "\n… (további " + std::to_string(left) + " sor)" : std::string();
    }
    return shown;
}

// Appended in place: the pictures are most of the page's bytes.
void AppendImage(std::string &h, const std::string &png, const char *cls, const std::string &alt)
{
    if (png.empty()) {
        h += "<p class=\"nopicture\">(nincs kép: " + Html(alt) + ")</p>";
        return;
    }
    const QByteArray b64 = QByteArray::fromRawData(png.data(), qsizetype(png.size())).toBase64();
    h += std::string("<img class=\"") + cls + "\" alt=\"" + Html(alt) + "\" src=\"data:image/png;base64,";
    h.append(b64.constData(), size_t(b64.size()));
    h += "\">";
}

const char *const Style = R"(
@page { size: A4 portrait; margin: 12mm; }
body { font-family: Arial, "Liberation Sans", Helvetica, sans-serif; font-size: 9.5pt; color: #000; margin: 0; }
h1 { font-size: 16pt; margin: 0 0 3mm; }
h2 { font-size: 13pt; margin: 0 0 1mm; }
body, td, th, h2, p, pre { overflow-wrap: anywhere; word-break: break-word; }
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
.top { display: grid; grid-template-columns: 70mm 112mm; gap: 4mm; align-items: start; margin-bottom: 2mm; }
table.settings { width: 70mm; table-layout: fixed; }
table.settings td:first-child { width: 30mm; }
img.apparatus { display: block; width: 112mm; border: 0.25mm solid #999; }
.spectra figure { margin: 0 0 1.5mm; width: 150mm; }
.spectra figcaption { font-weight: bold; margin-bottom: 0.5mm; }
img.chart { display: block; width: 100%; }
tr.mismatch td { background: #ffd6d6; }
tr.mismatch td.flag, span.flag, .warning { color: #b00000; font-weight: bold; }
ul.warnings { margin: 0 0 2mm; padding-left: 5mm; }
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
        h += "<tr><td>" + std::string(label) + "</td><td class=\"num\">" + Html(Cut(value, 40)) + "</td></tr>\n";
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
        h += std::string("<tr") + (sp.Disagrees() ? " class=\"mismatch\"" : "") + "><td>" + std::to_string(s + 1)
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
    h += "<article class=\"layout\">\n<h2>Versenyző: " + Html(Cut(l.UserId, 60)) + "</h2>\n";
    h += "<p class=\"file\">Mappa: " + Html(Cut(l.Folder, 120)) + " &middot; fájl: " + Html(Cut(l.File, 80))
         + " &middot; mentve: " + Html(l.FileTime) + "</p>\n";
    if (!l.Warnings.empty()) {
        h += "<ul class=\"warnings\">\n";
        for (const std::string &w : l.Warnings)
            h += "<li class=\"warning\">" + Html(Cut(w, 200)) + "</li>\n";
        h += "</ul>\n";
    }
    h += "<div class=\"top\">\n";
    SettingsTable(h, l);
    AppendImage(h, l.ApparatusPng, "apparatus", "a készülék rajza");
    h += "\n</div>\n";
    h += "<div class=\"spectra\">\n";
    for (int s = 0; s < 2; ++s) {
        const std::string n = std::to_string(s + 1) + ". spektrum";
        h += "<figure><figcaption>" + n + "</figcaption>";
        AppendImage(h, l.SpectrumPng[size_t(s)], "chart", n);
        h += "</figure>\n";
    }
    h += "</div>\n";
    RoiTable(h, l);
    h += "<h3>Megjegyzés</h3>\n";
    if (l.Note.empty()) {
        h += "<p class=\"nonote\">nincs megjegyzés</p>\n";
    } else {
        h += "<pre class=\"note\">" + Html(PrintedNote(l.Note)) + "</pre>\n";
    }
    h += "</article>\n";
}

} // namespace

ReportTable JuryReportTable(const JuryReport &report)
{
    ReportTable t;
    // Free text: never read as a number, whatever it holds.
    auto text = [&](const char *name) { t.Header.push_back(name), t.Numeric.push_back(false); };
    auto number = [&](const std::string &name) { t.Header.push_back(name), t.Numeric.push_back(true); };
    for (const char *name : {"Mappa", "fájl", "fájl ideje", "versenyző", "Figyelmeztetés", "mód"})
        text(name);
    for (const char *name : {"tömegszám", "közepes tömeg", "indukció (T)", "Blende_1 (m)", "Blende_2 (m)",
                             "Blende_3 (m)", "helyzet (m)"})
        number(name);
    text("detektor elfogadva");
    for (const char *name : {"P1 X", "P1 Y", "P2 X", "P2 Y", "P3 X", "P3 Y"})
        number(name);
    for (const char *s : {"S1", "S2"}) {
        for (const char *col : {"összes beütés", "X1", "X2", "Bruttó (mentett)", "Közép (mentett)",
                                "Bruttó (számolt)", "Közép (számolt)"})
            number(std::string(s) + " " + col);
        t.Header.push_back(std::string(s) + " egyezik"), t.Numeric.push_back(false);
    }
    text("megjegyzés");

    for (const ReportLayout &l : report.Layouts) {
        std::vector<std::string> row = {l.Folder, l.File, l.FileTime, l.UserId, WarningText(l),
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
        row.push_back(NoteLine(l.Note));
        t.Rows.push_back(std::move(row));
    }
    for (const ReportSkipped &s : report.Skipped)
        t.Skipped.push_back({s.Folder, s.File, s.Reason});
    return t;
}

std::string JuryReportCsv(const JuryReport &report)
{
    const ReportTable t = JuryReportTable(report);
    std::string out = "\xEF\xBB\xBF";
    CsvRow(out, t.Header);
    for (const auto &row : t.Rows)
        CsvRow(out, row);
    // The files left out follow after an empty line, under their own header.
    out += "\r\nkihagyott fájlok\r\n";
    CsvRow(out, {"Mappa", "fájl", "ok"});
    for (const auto &row : t.Skipped)
        CsvRow(out, row);
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
    int mismatches = 0, warned = 0;
    for (const ReportLayout &l : report.Layouts) {
        mismatches += l.AllAgree() ? 0 : 1;
        warned += l.Warnings.empty() ? 0 : 1;
    }

    // The pictures in base64 and some kilobytes of text per layout, reserved at once.
    size_t size = 16384;
    for (const ReportLayout &l : report.Layouts)
        size += (l.ApparatusPng.size() + l.SpectrumPng[0].size() + l.SpectrumPng[1].size()) * 4 / 3 + 8192;
    std::string h;
    h.reserve(size);
    h += "<!DOCTYPE html>\n<html lang=\"hu\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<title>Összesítő jelentés</title>\n<style>";
    h += Style;
    h += "</style>\n</head>\n<body>\n<header class=\"summary\">\n<h1>Összesítő jelentés</h1>\n";
    h += "<p>Készült: " + Html(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString())
         + " &middot; " + std::to_string(order.size()) + " versenyző, " + std::to_string(report.Layouts.size())
         + " elrendezésfájl, " + std::to_string(mismatches) + " ROI eltéréssel, " + std::to_string(warned)
         + " figyelmeztetéssel, " + std::to_string(report.Skipped.size()) + " kihagyott fájl.</p>\n";
    if (warned > 0) {
        h += "<h3 class=\"warning\">Figyelmeztetések</h3>\n<table class=\"warnings\">\n"
             "<tr><th>Versenyző</th><th>Mappa</th><th>Fájl</th><th>Figyelmeztetés</th></tr>\n";
        for (const ReportLayout &l : report.Layouts) {
            if (l.Warnings.empty())
                continue;
            std::string list;
            for (const std::string &w : l.Warnings)
                list += (list.empty() ? "" : "<br>") + Html(Cut(w, 200));
            h += "<tr><td>" + Html(Cut(l.UserId, 40)) + "</td><td>" + Html(Cut(l.Folder, 60)) + "</td><td>"
                 + Html(Cut(l.File, 60)) + "</td><td class=\"warning\">" + list + "</td></tr>\n";
        }
        h += "</table>\n";
    }
    h += "<table class=\"index\">\n<tr><th>Versenyző</th><th>Fájlok</th><th>ROI</th></tr>\n";
    for (const std::string &name : order) {
        const auto &list = byContestant[name];
        std::string files;
        bool agree = true;
        for (const ReportLayout *l : list) {
            files += (files.empty() ? "" : ", ") + Cut(l->File, 60);
            agree = agree && l->AllAgree();
        }
        h += std::string("<tr") + (agree ? "" : " class=\"mismatch\"") + "><td>" + Html(Cut(name, 40)) + "</td><td>"
             + Html(Cut(files, 300)) + "</td><td class=\"flag\">" + (agree ? "egyezik" : "ELTÉR") + "</td></tr>\n";
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
            h += "<tr><td>" + Html(Cut(s.Folder, 120)) + "</td><td>" + Html(Cut(s.File, 120)) + "</td><td>" + Html(s.Reason)
                 + "</td></tr>\n";
        h += "</table>\n";
    }
    h += "</section>\n</body>\n</html>\n";
    return h;
}
