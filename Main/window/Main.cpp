#include "Main/window/Main.h"

#include "Main/charts/ChartsPage.h"
#include "Main/core/KeyNames.h"

#include "Data/Raster.h"
#include "Main/window/EventHook.h"
#include "Main/window/FormStyle.h"
#include "Main/device/PictureView.h"
#include "Main/window/PswdDlg.h"
#include "Main/files/ReportCommand.h"
#include "Main/core/Instrument.h"
#include "Main/core/ProgramFolder.h"
#include "dialogs/About.h"
#include "dialogs/ListDlg.h"
#include "dialogs/Mymsg.h"
#include "dialogs/SugoD.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>

#include <clocale>

namespace {

constexpr int WindowWidth = TForm1::DrawnSize.width();
constexpr int WindowHeight = TForm1::DrawnSize.height();
constexpr QRect PageControlRect(288, 9, 1033, 786);   // moved to x = 0 at creation
static_assert(PageControlRect.size() == TForm1::DrawnPages.size());
constexpr QPoint Image1Position(15, 2);

QAction *AddItem(QMenu *menu, const char *name, const char *text)
{
    QAction *a = menu->addAction(QString::fromUtf8(text));
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

} // namespace

TForm1::TForm1(TInstrument &instrument, TFormHooks hooks, QWidget *parent)
    : QMainWindow(parent), Instrument(instrument), Hooks(std::move(hooks))
{
    BuildWindow();
    BuildSourcePanel();
    BuildAnalyserPanel();
    BuildMagnetPanel();
    BuildRunPanel();
    BuildDetectorPanel();
    BuildTimers();
    FormCreate();
    ConnectDeviceControls();
    InstallKeyPreview();
}

TForm1::~TForm1()
{
    // The controls are deleted after this body, as children; the focus and
    // editing events their deletion sends must no longer reach this window's
    // handlers, which would run on a half-destroyed window.
    for (TEventHook *hook : {m_keyPreview, m_fieldHook, m_presetHook})
        if (hook)
            hook->Disarm();
    Timer1->stop();
    Timer2->stop();
    // Cut every connection from a control to this window, sender by sender.
    for (QObject *child : findChildren<QObject *>())
        QObject::disconnect(child, nullptr, this, nullptr);
}

TModel &TForm1::Model()
{
    return Instrument.Model;
}

// ---------------------------------------------------------------------------
// The window as it is laid out before creation changes it

void TForm1::BuildWindow()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Ionvető"));
    setFont(FormStyle::WindowFont());
    resize(WindowWidth - 100, WindowHeight);   // the width is set at creation
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("Client"));
    DialogStyle::SetBackground(m_client, FormStyle::WindowColor());
    setCentralWidget(m_client);
    BuildMenus();
    BuildPages();
}

void TForm1::BuildMenus()
{
    QMenuBar *bar = menuBar();
    Fjl1 = bar->addMenu(QStringLiteral("Fájl"));
    Fjl1->setObjectName(QStringLiteral("Fjl1"));
    Mentsmskntelrendezssmrsiadatok1 = AddItem(Fjl1, "Mentsmskntelrendezssmrsiadatok1",
                                              "Mentés másként (elrendezés és mérési adatok)");
    Betltselrendezssmrsiadatok1 = AddItem(Fjl1, "Betltselrendezssmrsiadatok1",
                                          "Betöltés (elrendezés és mérési adatok)");
    Mentsmskntmrsiadatokszvegfjlbe1 = AddItem(Fjl1, "Mentsmskntmrsiadatokszvegfjlbe1",
                                              "Mentés másként (mérési adatok szövegfájlba)");
    Mentskpknt1 = AddItem(Fjl1, "Mentskpknt1", "Mentés képként");
    AddReportCommand(*this, Fjl1, [this] { return ProgramFolder; });
    Fjl1->addSeparator();
    Vge1 = AddItem(Fjl1, "Vge1", "Vége");

    Sg1 = bar->addMenu(QStringLiteral("Súgó"));
    Sg1->setObjectName(QStringLiteral("Sg1"));
    Nvjegy1 = AddItem(Sg1, "Nvjegy1", "Névjegy");
    Elmletfeladatok1 = AddItem(Sg1, "Elmletfeladatok1", "Elmélet+feladatok");
    Aprogramhasznlata1 = AddItem(Sg1, "Aprogramhasznlata1", "A program használata");

    Vge2 = bar->addAction(QStringLiteral("Vége"));
    Vge2->setObjectName(QStringLiteral("Vge2"));

    connect(Mentsmskntelrendezssmrsiadatok1, &QAction::triggered, this,
            &TForm1::Mentsmskntelrendezssmrsiadatok1Click);
    connect(Betltselrendezssmrsiadatok1, &QAction::triggered, this, &TForm1::Betltselrendezssmrsiadatok1Click);
    connect(Mentsmskntmrsiadatokszvegfjlbe1, &QAction::triggered, this,
            &TForm1::Mentsmskntmrsiadatokszvegfjlbe1Click);
    connect(Mentskpknt1, &QAction::triggered, this, &TForm1::Mentskpknt1Click);
    connect(Vge1, &QAction::triggered, this, &TForm1::Vge1Click);
    connect(Vge2, &QAction::triggered, this, &TForm1::Vge1Click);
    connect(Nvjegy1, &QAction::triggered, this, &TForm1::Nvjegy1Click);
    connect(Elmletfeladatok1, &QAction::triggered, this, &TForm1::Elmletfeladatok1Click);
    connect(Aprogramhasznlata1, &QAction::triggered, this, &TForm1::Aprogramhasznlata1Click);
}

void TForm1::BuildPages()
{
    PageControl1 = new QTabWidget(m_client);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(PageControlRect);
    PageControl1->setTabPosition(QTabWidget::South);
    PageControl1->setFont(FormStyle::PageFont());

    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    DialogStyle::SetBackground(TabSheet1, FormStyle::WindowColor());
    PageControl1->addTab(TabSheet1, QStringLiteral("Készülék"));

    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    DialogStyle::SetBackground(TabSheet2, FormStyle::WindowColor());
    PageControl1->addTab(TabSheet2, QStringLiteral("Grafikonok"));
    m_chartsPlaceholder = TabSheet2;

    Image1 = new TPictureView(TabSheet1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(QRect(Image1Position, QSize(PictureSize::Width, PictureSize::Height)));
    Image1->setContextMenuPolicy(Qt::CustomContextMenu);
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    Kpmentsemsnven2 = AddItem(PopupMenu2, "Kpmentsemsnven2", "Kép mentése más néven");
    connect(Kpmentsemsnven2, &QAction::triggered, this, &TForm1::Kpmentsemsnven2Click);
    connect(Image1, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) {
                if (!DetectorPointPlaceableAt(at))   // there the release places a point instead
                    PopupMenu2->popup(Image1->mapToGlobal(at));
            });
    connect(Image1, &TPictureView::MouseMoved, this, &TForm1::Image1MouseMove);
    connect(Image1, &TPictureView::MouseReleased, this, &TForm1::Image1MouseUp);
}

void TForm1::BuildTimers()
{
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);

    // Identification waits until the event loop runs and the window exists.
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(10);
    Timer2->setSingleShot(true);
    connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
    Timer2->start();
}

void TForm1::ReplaceChartsPage(QWidget *page)
{
    const int index = PageControl1->indexOf(TabSheet2);
    PageControl1->removeTab(index);
    PageControl1->insertTab(index, page, QStringLiteral("Grafikonok"));
    if (TabSheet2 == m_chartsPlaceholder) {
        m_chartsPlaceholder->deleteLater();
        m_chartsPlaceholder = nullptr;
    }
    TabSheet2 = page;
}

// ---------------------------------------------------------------------------
// Keys: the window sees every key before the focused control

void TForm1::InstallKeyPreview()
{
    m_keyPreview = new TEventHook(
        [this](QObject *watched, QEvent *e) {
            if (e->type() != QEvent::KeyPress)
                return false;
            return FormKeyDown(watched, static_cast<QKeyEvent *>(e));
        },
        this);
    qApp->installEventFilter(m_keyPreview);
}

bool TForm1::FormKeyDown(QObject *watched, QKeyEvent *e)
{
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != this)
        return false;
    // A key the focused control ignores travels on to its parents; only its first
    // delivery counts.
    QWidget *first = QApplication::focusWidget();
    if (w != (first && first->window() == this ? first : static_cast<QWidget *>(this)))
        return false;
    if (Hooks.KeyDown && Hooks.KeyDown(*this, e))
        return true;
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    // Ctrl+Shift+F clears the detector on any page, even during a run and with "Töröl" hidden.
    if (e->key() == Qt::Key_F && mods == (Qt::ControlModifier | Qt::ShiftModifier)) {
        Button5Click();
        return true;
    }
    // F10 opens the "Fájl" menu: the menus have no access letters of their own.
    if (e->key() == Qt::Key_F10 && mods == Qt::NoModifier) {
        menuBar()->setActiveAction(Fjl1->menuAction());
        return true;
    }
    // Alt+arrows move the cursor of the selected chart while the graphs page shows.
    if ((mods & Qt::AltModifier) && (e->key() == Qt::Key_Left || e->key() == Qt::Key_Right)
        && CurrentPage() == TabSheet2)
        return Charts->HandleAltKey(e->key());
    return false;
}

// ---------------------------------------------------------------------------
// Creation

void TForm1::FormCreate()
{
    // 1. Final width; the page control to the left edge; the run panel on the device page.
    setFixedSize(WindowWidth, WindowHeight);
    PageControl1->move(0, PageControl1->y());
    Panel6->setParent(TabSheet1);
    Panel6->show();
    // 2. Both warnings may show again.
    Instrument.Latches = WarningLatches{};
    // 3. Numbers are formatted and read with the point by the program itself, whatever
    // the regional settings; the C library's conversions use it too. The interface
    // (the file dialogs' sizes, dates and file types) keeps the system's locale.
    std::setlocale(LC_NUMERIC, "C");
    // 4. Widgets paint double-buffered already; the device picture paints opaque.
    // 5. The two-line captions of the counters.
    Label4->setText(FormStyle::Caption("Kibocsátott\rrészecskeszám:"));
    Label21->setText(FormStyle::Caption("Kitűzött\rrészecskeszám:"));
    // 6. The pictures.
    SetUpPictures();
    // 7. The charts and both spectra.
    SetUpCharts();
    // 8. Picture and source geometry.
    Model().Map.OriginX = LayoutConst::OriginX;
    Model().Map.OriginY = LayoutConst::OriginY;
    Model().Params.SourceGap = 0.1;
    Model().Params.SourceBoxHeight = 0.15;
    Model().Params.SourceBoxLength = 0.2;
    // 9. The parameters, the layout and the particle table.
    InitParameters();
    // 10. The detector overlay, white being its transparent colour.
    Model().DetectorBitmap = NewPicture(PictureSize::DetectorWidth, PictureSize::DetectorHeight);
    // 11. The program's folder: beside the program file, or the user's data
    // folder for an installed copy or a folder nobody may write to (made only
    // at the identification).
    const ProgramFolderChoice folder = ChooseProgramFolder();
    ProgramFolder = folder.Folder;
    ProgramFolderBesideProgram = folder.BesideProgram;
    WorkFolder = ProgramFolder;
    // 12. The vocabulary of the layout file.
    BuildKeyNames();
}

void TForm1::SetUpPictures()
{
    const QSize size = Image1->size();
    Image1Picture = NewPicture(size.width(), size.height());
    Image1->SetPicture(&Image1Picture);
    Image2Picture = NewPicture(size.width(), size.height());
    Image2->SetPicture(&Image2Picture);
    TModel &m = Model();
    if (m.ApparatusBitmap.size() != size)
        m.ApparatusBitmap = NewPicture(size.width(), size.height());
    if (m.TraceBitmap.size() != size)
        m.TraceBitmap = NewPicture(size.width(), size.height());
}

void TForm1::SetUpCharts()
{
    Charts = new TChartsPage(Instrument);
    ReplaceChartsPage(Charts);
    // Axes, 1001 points, chart 1 selected, ROI marks hidden, both spectra cleared.
    Charts->SetupAtCreation();
    ConnectTextCommands();
    if (Hooks.SetUpCharts)
        Hooks.SetUpCharts(*this);
    connect(Charts, &TChartsPage::PictureSaveRequested, this, &TForm1::Kpmentsemsnven1Click);
}

void TForm1::BuildKeyNames()
{
    // The trailing blanks of "B_terero ", "Mm " and "Összes " belong to the names.
    KeyNames.assign(::KeyNames.begin(), ::KeyNames.end());
}

void TForm1::SetProgramFolder(const QString &folder)
{
    ProgramFolder = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    WorkFolder = ProgramFolder;
    if (ListaDlg)
        ListaDlg->SetProgramFolder(ProgramFolder);
    if (AboutBox)
        AboutBox->SetProgramFolder(ProgramFolder, ProgramFolderBesideProgram);
}

// ---------------------------------------------------------------------------
// Identification

void TForm1::Timer2Timer()
{
    hide();
    Timer2->stop();
    if (PasswordDlg->exec() != QDialog::Accepted)
        RequestQuit();   // the steps below still run once; the program then ends
    IsContestant = PasswordDlg->IsContestant();
    IsJury = PasswordDlg->IsJury();
    ShowReportCommand(*this, IsJury);
    if (IsContestant || IsJury)
        UserId = PasswordDlg->UserId();
    ChooseWorkFolder();
    show();
    setWindowTitle(QString::fromUtf8(CaptionPrefix) + QString::fromStdString(UserId));
    Charts->PlaceCursor(2);
    Charts->PlaceCursor(1);
    if (Hooks.PlaceCursorMarks)
        Hooks.PlaceCursorMarks(*this);
    PlacePanels();
    ApplyParameters();
    ClearTraces(Model());
    ComposePicture();
    // As the first "Set" of both ROI groups: both regions start at the cursor.
    Charts->SetRoiX1FromCursor(1);
    Charts->SetRoiX1FromCursor(2);
    if (Hooks.SetRoiLowerBounds)
        Hooks.SetRoiLowerBounds(*this);
    PageControl1->setCurrentIndex(0);
}

void TForm1::ChooseWorkFolder()
{
    WorkFolder = ProgramFolder;
    if (!IsContestant && !IsJury)
        return;   // nobody identified: nothing is made, not even the user's data folder
    CreateProgramFolder({ProgramFolder, ProgramFolderBesideProgram});
    if (!IsContestant)
        return;
    WorkFolder = ProgramFolder + QString::fromStdString(UserId);
    // One level only; a folder that cannot be made is not reported and keeps its name.
    QDir dir;
    if (!dir.exists(WorkFolder))
        dir.mkdir(WorkFolder);
}

void TForm1::RequestQuit()
{
    m_quitRequested = true;
    if (Hooks.Quit)
        Hooks.Quit();
    else
        QCoreApplication::exit(0);   // leaves the event loop without the closing question
}

// ---------------------------------------------------------------------------
// Closing

void TForm1::closeEvent(QCloseEvent *e)
{
    const int answer = ShowMessageBox(QStringLiteral("Minden el van mentve? Kiléphetünk?"),
                                      QString::fromUtf8(ConfirmTitle), 4);
    if (answer == 6)
        e->accept();
    else
        e->ignore();
}

// ---------------------------------------------------------------------------
// Menu commands

void TForm1::Vge1Click()
{
    close();
}

void TForm1::Nvjegy1Click()
{
    if (AboutBox)
        AboutBox->exec();
}

void TForm1::Elmletfeladatok1Click()
{
    if (HelpDlg)
        HelpDlg->ShowHelpPage(0);
}

void TForm1::Aprogramhasznlata1Click()
{
    if (HelpDlg)
        HelpDlg->ShowHelpPage(1);
}

// The file commands belong to the layout file and the exports.
