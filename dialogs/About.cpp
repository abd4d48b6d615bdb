#include "dialogs/About.h"

#include "dialogs/DialogStyle.h"
#include "Main/core/Version.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

QPixmap ProgramIcon(int size)
{
    if (size < 8)
        size = 8;
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(DialogStyle::Teal());
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    // The magnet's sector: a purple arc bending the ion beam through 90 degrees,
    // with the beam entering from the left and leaving downwards.
    const double s = size;
    QPen arc(QColor(128, 0, 128), s / 8.0, Qt::SolidLine, Qt::FlatCap);
    p.setPen(arc);
    const QRectF circle(-s * 0.15, s * 0.3, s * 1.1, s * 1.1);
    p.drawArc(circle, 0 * 16, 90 * 16);
    QPen beam(QColor(255, 255, 0), qMax(1.0, s / 16.0));
    p.setPen(beam);
    p.drawLine(QPointF(s * 0.05, s * 0.3), QPointF(s * 0.4, s * 0.3));
    p.drawLine(QPointF(s * 0.95, s * 0.85), QPointF(s * 0.95, s * 0.98));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, s - 1, s - 1));
    p.end();
    return QPixmap::fromImage(image);
}

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Névjegy"));
    setModal(true);
    setFixedSize(298, 314);
    setFont(DialogStyle::PixelFont(QStringLiteral("MS Sans Serif"), 11, false));

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(8, 8, 282, 265);

    m_icon = new QLabel(panel);
    m_icon->setObjectName(QStringLiteral("ProgramIcon"));
    // Drawn in the screen's own pixels: sharp on scaled displays too.
    const qreal ratio = devicePixelRatioF();
    QPixmap icon = ProgramIcon(qRound(32 * ratio));
    icon.setDevicePixelRatio(ratio);
    m_icon->setPixmap(icon);
    m_icon->setGeometry(8, 8, 32, 32);

    m_title = new QLabel(QStringLiteral("Ionvető"), panel);
    m_title->setObjectName(QStringLiteral("ProductName"));
    m_title->setFont(DialogStyle::PixelFont(QStringLiteral("Arial"), 16, true));
    m_title->setGeometry(56, 12, 210, 24);

    const struct {
        const char *name;
        const char *text;
        int top;
    } lines[] = {
        {"Comments", "Tömegspektrométer-szimulátor", 56},
        {"Task", "Fizikaverseny — számítógépes feladat", 80},
        {"Version", "Változat: %1", 112},
        {"Copyright", "Oktatási célra", 132},
    };
    for (const auto &l : lines) {
        auto *label = new QLabel(QString::fromUtf8(l.text).replace(QLatin1String("%1"),
                                                                    QLatin1String(ProgramVersion())),
                                 panel);
        label->setObjectName(QString::fromLatin1(l.name));
        label->setGeometry(8, l.top, 266, 18);
    }
    // The same statement as the package's copyright file.
    auto *licence = new QLabel(QStringLiteral("A program MIT-licencű, de a GPL-3.0 licencű QCustomPlot "
                                              "könyvtárral együtt fordítva és terjesztve az egész program "
                                              "a GPL-3.0 feltételei szerint használható és terjeszthető."),
                               panel);
    licence->setObjectName(QStringLiteral("Licence"));
    licence->setWordWrap(true);
    licence->setGeometry(8, 200, 266, 60);

    m_folder = new QLabel(panel);
    m_folder->setObjectName(QStringLiteral("ProgramFolder"));
    m_folder->setGeometry(8, 152, 266, 44);
    m_folder->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setGeometry(111, 281, 75, 25);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::SetProgramFolder(const QString &folder, bool besideProgram)
{
    const QString where = besideProgram ? QStringLiteral("a program mappája")
                                        : QStringLiteral("felhasználói adatmappa");
    const QString path = m_folder->fontMetrics().elidedText(QDir::toNativeSeparators(folder), Qt::ElideMiddle,
                                                            m_folder->width());
    m_folder->setText(QStringLiteral("Munkamappák: %1\n%2").arg(where, path));
    m_folder->setToolTip(QDir::toNativeSeparators(folder));
}

void TAboutBox::showEvent(QShowEvent *e)
{
    DialogStyle::CenterOver(this, parentWidget());
    QDialog::showEvent(e);
}
