#pragma once
// The main window: start-up and identification, the menus, the device page with
// its parameter, run-control and detector panels, and the closing question.
// The instrument (model, spectra, latches, run state) is owned by the program and
// handed in; the window owns only what the user sees and the identity of the run.
#include "Main/files/SaveDialog.h"
#include "Data/Status.h"
#include "Main/core/DeviceValues.h"

#include <QImage>
#include <QMainWindow>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;

class TAboutBox;
class TChartsPage;
class TEventHook;
class THelpDlg;
class TListaDlg;
class TMegjDlg;
class TPasswordDlg;
class TPictureView;
class TSMsg;
class TUpDown;
struct TInstrument;

// The main window's caption, followed by the user's identifier.
inline constexpr char CaptionPrefix[] = "Ionvető      Felhasználó: ";
struct TModel;

class TForm1;

// What other parts of the program plug into the window. Unset hooks do nothing,
// except Quit, which ends the event loop of the program.
struct TFormHooks {
    // Creation: binds the two spectrum charts (the spectra themselves are cleared here).
    std::function<void(TForm1 &)> SetUpCharts;
    // Identification: the cursor marks of chart 2 and then chart 1 at their cursor fields.
    std::function<void(TForm1 &)> PlaceCursorMarks;
    // Identification: the current cursor X as the lower ROI bound on both charts.
    std::function<void(TForm1 &)> SetRoiLowerBounds;
    // Every key pressed in the window, before the focused control; true swallows it.
    std::function<bool(TForm1 &, QKeyEvent *)> KeyDown;
    // ComposePicture found the three detector points unusable.
    std::function<void(TForm1 &)> DetectorFitFailed;
    // A cancelled identification ends the program.
    std::function<void()> Quit;
};

// A parameter field with its limits and the variable it sets.
struct TParamField {
    QLineEdit *Edit = nullptr;
    ParamLimit Limit{};
    double *Target = nullptr;       // null for the two computed voltages
    TUpDown *Arrows = nullptr;      // null for typed and computed fields
    QLineEdit *Carrier = nullptr;   // hidden field holding the arrow position
    double Scale = 1.0;             // arrow positions per unit of value
};

class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm1(TInstrument &instrument, TFormHooks hooks = {}, QWidget *parent = nullptr);
    ~TForm1() override;

    // The window as drawn: its size and the page control's place in it.
    static constexpr QSize DrawnSize{1060, 867};
    static constexpr QRect DrawnPages{0, 9, 1033, 786};

    TInstrument &Instrument;
    TModel &Model();
    TFormHooks Hooks;

    // ---- identity of the run ----
    std::string UserId;             // UTF-8, without surrounding blanks
    bool IsContestant = false;
    bool IsJury = false;
    QString ProgramFolder;          // ends with "/"
    bool ProgramFolderBesideProgram = true; // false: the user's data folder
    QString WorkFolder;
    std::vector<std::string> KeyNames;   // the vocabulary of the layout file, 24 entries
    // The folder the contestant folders go into; by default the program's own.
    void SetProgramFolder(const QString &folder);
    bool QuitRequested() const { return m_quitRequested; }

    // ---- windows created with this one (set by CreateProgramWindows) ----
    TAboutBox *AboutBox = nullptr;
    TSMsg *SMsg = nullptr;
    TPasswordDlg *PasswordDlg = nullptr;
    THelpDlg *HelpDlg = nullptr;
    TListaDlg *ListaDlg = nullptr;
    TMegjDlg *MegjDlg = nullptr;

    // ---- device page operations ----
    void InitParameters();
    bool ApplyParameters();
    void PlacePanels();
    void ComposePicture();
    // Which detector controls are shown, from the detector's state. Applying the
    // parameters ends with it; a refused "Elfogad" runs it on its own.
    void UpdateDetectorControls();
    // Validation of a parameter field (leaving it, Enter, or an arrow step).
    // False when the text was refused: beep, whole text selected, focus kept.
    bool ValidateField(QLineEdit *edit);
    const TParamField *ParamFieldOf(const QLineEdit *edit) const;
    const std::vector<TParamField> &ParamFields() const { return m_paramFields; }

    // On a screen with less room than DrawnSize (frame and taskbar counted) the
    // window takes the largest size that fits and the pages scroll (WindowFit.cpp).
    void FitToScreen();
    bool PagesScroll() const { return m_pageScrolls[0] != nullptr; }
    // The page showing, TabSheet1 or TabSheet2, whether or not the pages scroll.
    QWidget *CurrentPage() const;
    // Swaps the placeholder of the page "Grafikonok" for the real page.
    void ReplaceChartsPage(QWidget *page);
    // The page "Grafikonok": the two spectrum panels (Panel7/Chart1, Panel8/Chart2).
    TChartsPage *Charts = nullptr;
    // The file dialogs of the window, shared by the save, load and export commands.
    TFileDialog SaveDialog1{TFileDialog::Kind::Save};
    TFileDialog OpenDialog1{TFileDialog::Kind::Open};

    // ---- the window's widgets, by their component names ----
    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr;
    QWidget *TabSheet2 = nullptr;
    TPictureView *Image1 = nullptr;
    QImage Image1Picture;           // the visible device picture, 1000 x 745
    TPictureView *Image2 = nullptr;
    QImage Image2Picture;           // the source schematic; 105 x 79 of it shows
    QTimer *Timer1 = nullptr;       // simulation tick, 10 ms
    QTimer *Timer2 = nullptr;       // one-shot identification, 10 ms

    QMenu *Fjl1 = nullptr;
    QAction *Mentsmskntelrendezssmrsiadatok1 = nullptr;
    QAction *Betltselrendezssmrsiadatok1 = nullptr;
    QAction *Mentsmskntmrsiadatokszvegfjlbe1 = nullptr;
    QAction *Mentskpknt1 = nullptr;
    QAction *Vge1 = nullptr;        // "Vége" in "Fájl"
    QMenu *Sg1 = nullptr;
    QAction *Nvjegy1 = nullptr;
    QAction *Elmletfeladatok1 = nullptr;
    QAction *Aprogramhasznlata1 = nullptr;
    QAction *Vge2 = nullptr;        // the top-level "Vége"
    QMenu *PopupMenu2 = nullptr;    // right click on the device picture
    QAction *Kpmentsemsnven2 = nullptr;

    // Source panel
    QFrame *Panel1 = nullptr;
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit5 = nullptr, *Edit6 = nullptr, *Edit7 = nullptr;
    TUpDown *UpDown3 = nullptr, *UpDown4 = nullptr;
    QLineEdit *Edit12 = nullptr, *Edit13 = nullptr;
    QCheckBox *CheckBox3 = nullptr, *CheckBox4 = nullptr, *CheckBox5 = nullptr;
    // Analyser panel
    QFrame *Panel2 = nullptr;
    QLineEdit *Edit8 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr;
    TUpDown *UpDown1 = nullptr, *UpDown2 = nullptr;
    QLineEdit *Edit14 = nullptr, *Edit15 = nullptr;
    // Magnet panel
    QFrame *Panel3 = nullptr;
    QLineEdit *Edit9 = nullptr;
    TUpDown *UpDown5 = nullptr;
    QLineEdit *Edit16 = nullptr;
    // Run-control panel
    QFrame *Panel6 = nullptr;
    QGroupBox *RadioGroup2 = nullptr;
    QRadioButton *RadioButton6 = nullptr, *RadioButton7 = nullptr;
    QPushButton *Button1 = nullptr;
    QLabel *Label1 = nullptr;
    QCheckBox *CheckBox6 = nullptr;
    QLabel *Label21 = nullptr;
    QLineEdit *Edit11 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *Edit10 = nullptr;
    QPushButton *Button2 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QRadioButton *RadioButton4 = nullptr, *RadioButton5 = nullptr;
    // Detector panel
    QFrame *Panel4 = nullptr;
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr;
    QFrame *Panel5 = nullptr;
    QGroupBox *RadioGroup1 = nullptr;
    QRadioButton *RadioButton1 = nullptr, *RadioButton2 = nullptr, *RadioButton3 = nullptr;
    QPushButton *Button3 = nullptr, *Button5 = nullptr;

public slots:
    // Identification, at the first tick of Timer2.
    void Timer2Timer();

    // Menu commands.
    void Mentsmskntelrendezssmrsiadatok1Click();
    void Betltselrendezssmrsiadatok1Click();
    void Mentsmskntmrsiadatokszvegfjlbe1Click();
    void Mentskpknt1Click();
    void Kpmentsemsnven2Click();
    // "Kép mentése más néven" of a chart panel's pop-up menu, with the panel number.
    void Kpmentsemsnven1Click(int panel);
    void Vge1Click();
    void Nvjegy1Click();
    void Elmletfeladatok1Click();
    void Aprogramhasznlata1Click();

    // Run control and detector actions.
    void Button1Click();
    void Button2Click();
    void Timer1Timer();
    void CheckBox1Click();
    void CheckBox2Click();
    void Button3Click();
    void Button5Click();
    void Image1MouseMove(QPoint position, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    void Image1MouseUp(QPoint position, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

public:
    // ---- the layout file and the text exports (LayoutCommands.cpp, TextExportCommands.cpp) ----
    // Builds the whole layout file, asking for the note first; fails when an entry could not be
    // written. `replaced` gets one line per field whose refused text was replaced by the value in force.
    Status SaveLayout(class ProfileFile &file, std::vector<QString> *replaced = nullptr);
    // Restores the window from a layout file (ReadLayout, then ApplyLayout); the conversion
    // message of the spectrum section that stopped it.
    Status LoadLayout(const class ProfileFile &file);
    // The one place the window takes over a layout read from a file.
    void ApplyLayout(const struct LayoutRecord &record);
    void ApplySpectrum(int n, const struct LayoutSpectrum &chart);
    Status LoadSpectrumSection(const class ProfileFile &file, const std::string &section);
    // The one handler of the three text commands; `panel` is the chart of the pop-up commands.
    enum TextCommand { BothSpectraToFile, PanelToFile, PanelToList };
    void Adatokmentseszvegfljba1Click(TextCommand command, int panel = 0);
    void Adatoklistja1Click(int panel);
    void Mentsfjlba1Click();   // "Mentés fájlba" of the data list dialog

private:
    void ConnectTextCommands();

protected:
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    // Window skeleton (Main.cpp).
    void BuildWindow();
    void BuildMenus();
    void BuildPages();
    void BuildTimers();
    void InstallKeyPreview();
    bool FormKeyDown(QObject *watched, QKeyEvent *e);
    // Creation steps (Main.cpp).
    void FormCreate();
    void SetUpPictures();
    void SetUpCharts();
    void BuildKeyNames();
    void RequestQuit();
    void ChooseWorkFolder();

    // Device page (DevicePage.cpp).
    void BuildSourcePanel();
    void BuildAnalyserPanel();
    void BuildMagnetPanel();
    QFrame *NewPanel(const char *name, QRect geometry, const char *title, const char *subtitle);
    QLineEdit *NewField(QWidget *panel, const char *name, const char *label, int row, bool output);
    TUpDown *NewArrows(QWidget *panel, const char *name, QLineEdit *field);
    QLineEdit *NewCarrier(QWidget *panel, const char *name);
    QCheckBox *NewOption(QWidget *panel, const char *name, const char *text, QPoint at, bool checked);
    void ConnectDeviceControls();
    void SetUpParamFields();
    void AttachArrows(TParamField &f);
    bool DeviceFieldEvent(QObject *watched, QEvent *e);
    void RefuseField(QLineEdit *edit, bool refocusLater);
    void CarrierChanged(const TParamField &f);
    void ArrowFieldChanged(QLineEdit *edit);
    void ApplyMode(DeviceFields &f);
    bool ReadFieldValues(DeviceFields &f);
    void ShowMassWindow(const ApplyOutcome &out);
    void ShowVoltages(const ApplyOutcome &out);
    void DrawSchematic();

    // Run-control and detector panels (RunPanel.cpp).
    void BuildRunPanel();
    void BuildDetectorPanel();
    // Run control (RunControl.cpp) and detector panel (DetectorPanel.cpp).
    bool PresetFieldEvent(QObject *watched, QEvent *e);
    bool ValidatePresetField();
    void RelockDuringRun();
    void FinishRun();
    void ShowTickSafeMessage(const QString &text, const QString &title);
    void ReportUnusableDetector();
    void DrawDetectorMarkers();
    bool DetectorPointPlaceableAt(QPoint position);
    TEventHook *m_presetHook = nullptr;
    bool m_inTick = false;
    bool m_unusableDetectorReported = false;   // in the current run
public:
    // Every control a run must not change is disabled, and enabled again after it.
    void LockControls();
    void UnlockControls();
private:

    QWidget *m_client = nullptr;
    QWidget *m_chartsPlaceholder = nullptr;
    TEventHook *m_keyPreview = nullptr;
    TEventHook *m_fieldHook = nullptr;
    std::vector<TParamField> m_paramFields;
    bool m_initialising = false;    // arrow positions are being set, not stepped
    bool m_quitRequested = false;
    // Window fit (WindowFit.cpp).
    void SetPagesScrolled(bool on);
    class QScrollArea *m_pageScrolls[2] = {nullptr, nullptr};
    bool m_followsScreen = false;
};
