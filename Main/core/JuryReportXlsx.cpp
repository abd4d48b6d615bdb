// The jury's summary as a spreadsheet with typed cells: the settings and ROI
// results are numbers (a Hungarian spreadsheet takes "1.05" in a text table for
// a date), everything else is text, which a spreadsheet never runs.
#include "Main/core/JuryReport.h"

#include "Main/core/AtomicSave.h"
#include "Main/core/NumberText.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#ifdef IONVETO_HAVE_XLSXWRITER
#include <xlsxwriter.h>
#endif

bool JuryReportHasXlsx()
{
#ifdef IONVETO_HAVE_XLSXWRITER
    return true;
#else
    return false;
#endif
}

#ifndef IONVETO_HAVE_XLSXWRITER

Status WriteJuryReportXlsx(const JuryReport &, const std::string &)
{
    return Status::Failure(std::string("Az ") + ReportXlsxName
                           + " nem készült: ez a program táblázatkészítő könyvtár nélkül készült; a CSV-t használja.");
}

#else

namespace {

// A spreadsheet cell holds at most 32767 characters.
std::string CellText(const std::string &text)
{
    constexpr int Longest = 32767;
    if (text.size() <= size_t(Longest))
        return text;
    const QString t = QString::fromStdString(text);
    return t.size() <= Longest ? text : t.left(Longest - 1).append(QChar(0x2026)).toStdString();
}

void Sheet(lxw_workbook *wb, const char *name, const std::vector<std::string> &header, const std::vector<bool> &numeric,
           const std::vector<std::vector<std::string>> &rows, lxw_format *bold, lxw_format *warning, int warningColumn)
{
    lxw_worksheet *ws = workbook_add_worksheet(wb, name);
    for (size_t c = 0; c < header.size(); ++c) {
        worksheet_write_string(ws, 0, lxw_col_t(c), header[c].c_str(), bold);
        // Wide enough for the heading, the free texts wider.
        const double width = numeric.empty() || !numeric[c] ? 24 : std::max<double>(9, double(header[c].size()) * 0.9);
        worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), width, nullptr);
    }
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c) {
            const std::string &cell = rows[r][c];
            if (cell.empty())
                continue;
            const lxw_row_t row = lxw_row_t(r + 1);
            if (c < numeric.size() && numeric[c]) {
                if (const auto v = ParseFloat(cell)) {
                    worksheet_write_number(ws, row, lxw_col_t(c), *v, nullptr);
                    continue;
                }
            }
            worksheet_write_string(ws, row, lxw_col_t(c), CellText(cell).c_str(),
                                   int(c) == warningColumn ? warning : nullptr);
        }
    }
    worksheet_freeze_panes(ws, 1, 0);
    if (!header.empty())
        worksheet_autofilter(ws, 0, 0, lxw_row_t(rows.size()), lxw_col_t(header.size() - 1));
}

} // namespace

Status WriteJuryReportXlsx(const JuryReport &report, const std::string &path)
{
    const Status unable = Status::Failure("Unable to write to " + path);
    const QTemporaryDir tmp;
    if (!tmp.isValid())
        return unable;
    const QString built = tmp.filePath(QStringLiteral("osszesito.xlsx"));
    lxw_workbook *wb = workbook_new(QFile::encodeName(built).constData());
    if (!wb)
        return unable;
    lxw_format *bold = workbook_add_format(wb);
    format_set_bold(bold);
    format_set_bg_color(bold, 0xE4EEEE);
    lxw_format *warning = workbook_add_format(wb);
    format_set_font_color(warning, 0xB00000);
    format_set_bold(warning);

    const ReportTable t = JuryReportTable(report);
    int warningColumn = -1;
    for (size_t c = 0; c < t.Header.size(); ++c)
        if (t.Header[c] == "Figyelmeztetés")
            warningColumn = int(c);
    Sheet(wb, "Elrendezések", t.Header, t.Numeric, t.Rows, bold, warning, warningColumn);
    Sheet(wb, "Kihagyott fájlok", {"Mappa", "fájl", "ok"}, {}, t.Skipped, bold, warning, -1);
    if (workbook_close(wb) != LXW_NO_ERROR)
        return unable;

    QFile f(built);
    if (!f.open(QIODevice::ReadOnly))
        return unable;
    const QByteArray bytes = f.readAll();
    return SaveFileAtomically(path, std::string_view(bytes.constData(), size_t(bytes.size())));
}

#endif
