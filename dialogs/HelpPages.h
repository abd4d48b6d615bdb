#pragma once
// The two help pages, rendered once from the texts carried in the program's
// resources into tall pictures that the help window scrolls through.
#include <QImage>

constexpr int HelpPageCount = 2;
constexpr int HelpPageWidth = 688;
// Page 0 "Elmélet + feladatok", page 1 "A program használata". A page whose
// text needs more room than this even at the smallest type grows instead.
constexpr int HelpPageNominalHeight[HelpPageCount] = {2336, 5838};

// The picture of page 0 or 1 (any other number gives a null picture): white
// background, 24-bit colour, HelpPageWidth wide. Rendered on the first call
// and kept for the rest of the run.
const QImage &HelpPageImage(int page);
// The same page drawn at a screen's pixel ratio (a picture `ratio` times as
// large, of the same size in the window's pixels), so that scaled displays show
// its text sharp. Kept for the last ratio asked for.
const QImage &HelpPageImage(int page, qreal ratio);

// How a page's text is fitted to its height: the largest type size from 11
// to 16 pixels at which the text fits, then the widest line spacing (100 to
// 150 percent) that still fits. When even the smallest type does not fit, the
// page is as high as the text.
struct HelpPageFit {
    int typeSize = 0;      // pixels
    int lineSpacing = 0;   // percent
    int textHeight = 0;    // pixels, margins included
    int pageHeight = 0;    // pixels
};
HelpPageFit FitHelpPage(int page);

// Renders a page anew (the figures, the text fitted to the page height), at a
// pixel ratio (1: one picture pixel per page pixel).
QImage RenderHelpPage(int page, qreal ratio = 1.0);

// The figures drawn into the pages, by name ("beampath", "esafocus",
// "detector", "chart"); a null picture for an unknown name.
QImage RenderHelpFigure(const QString &name);
