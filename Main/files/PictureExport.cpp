// Pictures of what the window shows, saved as JPEG files: a chart panel, the
// device page, or both pages stacked. The picture is copied from the window
// before the save dialog opens, so the dialog never appears in it.
#include "Main/window/Main.h"

#include "Main/charts/ChartsPage.h"
#include "Main/core/JpegWriter.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QTabWidget>

#include <string>
#include <vector>

namespace {

const char *const PictureFilter = "Képfájlok (*.jpg)|*.jpg|Minden fájl (*.*)|*.*";
const char *const PictureExt = ".jpg";

// What `w` shows, one pixel for one pixel, as a 24-bit picture of its size.
QImage CopyOf(QWidget *w)
{
    // The keyboard's focus ring marks a control on the screen, not in the picture.
    std::vector<QWidget *> rings;
    for (QWidget *ring : w->findChildren<QWidget *>(QStringLiteral("FocusRing")))
        if (ring->isVisible()) {
            ring->hide();
            rings.push_back(ring);
        }
    QImage picture = w->grab().toImage();
    for (QWidget *ring : rings)
        ring->show();
    // On a scaled screen the copy has more pixels than the window has points;
    // the file keeps the window's own size.
    if (picture.size() != w->size())
        picture = picture.scaled(w->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return picture.convertToFormat(QImage::Format_RGB888);
}

// Asks for a file and writes the already encoded picture to it. Cancel writes
// nothing; a file that cannot be created is reported and nothing is left behind.
void SavePicture(TForm1 &form, const std::vector<unsigned char> &jpeg, const Status &encoded)
{
    if (!encoded) {
        QMessageBox::critical(&form, QStringLiteral("Ionvető"), QString::fromStdString(encoded.Message()));
        return;
    }
    const QString path = form.SaveDialog1.Ask(&form, QString::fromUtf8(PictureFilter),
                                              QString::fromLatin1(PictureExt), form.WorkFolder);
    if (path.isEmpty())
        return;
    if (const Status written = WriteJpegBytes(jpeg, path.toStdString()); !written)
        QMessageBox::critical(&form, QStringLiteral("Ionvető"), QString::fromStdString(written.Message()));
}

} // namespace

// "Kép mentése más néven" of a chart panel's pop-up menu: panel 1 is Panel7,
// panel 2 Panel8; any other number does nothing.
void TForm1::Kpmentsemsnven1Click(int panel)
{
    if ((panel != 1 && panel != 2) || !Charts)
        return;
    QWidget *p = Charts->Panel(panel);
    if (!p)
        return;
    const QImage picture = CopyOf(p);
    std::vector<unsigned char> jpeg;
    const Status encoded = EncodeJpeg(picture, jpeg);
    SavePicture(*this, jpeg, encoded);
}

// "Kép mentése más néven" of the device picture: the whole client area, which
// shows the device page because the menu was opened on its picture.
void TForm1::Kpmentsemsnven2Click()
{
    const QImage picture = CopyOf(centralWidget());
    std::vector<unsigned char> jpeg;
    const Status encoded = EncodeJpeg(picture, jpeg);
    SavePicture(*this, jpeg, encoded);
}

// "Mentés képként": the client area showing the device page, above the client
// area showing the graphs page. Pending events run while the pages switch (a
// running simulation goes on), so each page is copied as it is at that moment.
void TForm1::Mentskpknt1Click()
{
    QWidget *client = centralWidget();
    const int active = PageControl1->currentIndex();

    PageControl1->setCurrentIndex(0);
    QCoreApplication::processEvents();
    const QImage device = CopyOf(client);
    PageControl1->setCurrentIndex(1);
    QCoreApplication::processEvents();
    const QImage graphs = CopyOf(client);

    const int w = client->width();
    const int h = client->height();
    QImage picture(w, 2 * h, QImage::Format_RGB888);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        painter.drawImage(0, 0, device);
        painter.drawImage(0, h, graphs);
    }
    std::vector<unsigned char> jpeg;
    const Status encoded = EncodeJpeg(picture, jpeg);

    // The graphs page stays in front while the dialog is open; the page that was
    // in front comes back afterwards, whatever the outcome.
    SavePicture(*this, jpeg, encoded);
    if (active >= 0)
        PageControl1->setCurrentIndex(active);
}
