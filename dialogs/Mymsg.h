#pragma once
// The program's own message box: called like the platform's message box with a
// text, a title and a button-set number, answers with the number of the pressed
// button, but carries Hungarian captions and sizes itself to the text.
#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <array>
#include <functional>
#include <vector>

class QFontMetrics;
class QFrame;
class QLabel;
class QPushButton;

// One of the seven buttons, in their fixed order.
struct MessageButtonInfo {
    const char *name;    // object name of the button
    const char *caption; // UTF-8, "&" marks the access key
    int width;
    int result;          // what the box answers when it is pressed
    bool isDefault;      // Enter presses it when no button has the focus
    bool isCancel;       // Escape presses the first shown one of these
};

// Indices into MessageButtons() in the fixed order.
enum MessageButtonIndex { MbOK = 0, MbCancel, MbAbort, MbRetry, MbIgnore, MbYes, MbNo };

const std::array<MessageButtonInfo, 7> &MessageButtons();

// The buttons shown for `kind` (bits 0-2 choose the set), as indices into
// MessageButtons(), left to right.
std::vector<int> MessageButtonSet(int kind);

constexpr int MessageButtonHeight = 27;
constexpr int MessageFrameLeft = 16;
constexpr int MessageFrameTop = 8;
constexpr int MessagePictureInset = 4; // the text picture sits this far inside the frame
// Of the outer height, the title bar and the lower border that the platform draws
// around the dialog; the rest of the 35 pixels below the buttons' row stays inside.
constexpr int MessageTitleBarHeight = 25;

struct MessageButtonPlace {
    int button = 0; // index into MessageButtons()
    int left = 0;
    int top = 0;
    int width = 0;
    int height = MessageButtonHeight;
};

// Everything the box computes before it is shown.
struct MessageBoxLayout {
    QStringList lines;
    int textWidth = 0;                        // W
    int textHeight = 0;                       // height of one text line
    QRect picture;                            // the text picture, in window coordinates
    QRect frame;                              // the sunken frame around it
    QSize window;                             // the window's outer size
    QSize client;                             // the dialog's own area: the outer size less the title bar
    std::vector<int> lineLeft;                // x of each line inside the picture
    std::vector<int> lineTop;                 // y of each line inside the picture
    std::vector<MessageButtonPlace> buttons;  // shown buttons, left to right
    int focusFirst = -1;                      // position in `buttons` first in the focus order, or -1
};

// Lays the box out for `text`, `title` and `kind`. `width` measures a text in the
// box's font; `textHeight` is the height of one line of that font (the same for
// every text, "fj" and "jf" alike). `titleBarWidth`: how wide the window must be
// for the title bar to show the whole title as the window manager draws it
// (its own font, its buttons); the text area widens to it.
MessageBoxLayout ComputeMessageBoxLayout(const QString &text, const QString &title, int kind,
                                         const std::function<int(const QString &)> &width,
                                         int textHeight, int titleBarWidth = 0);
MessageBoxLayout ComputeMessageBoxLayout(const QString &text, const QString &title, int kind,
                                         const QFontMetrics &metrics, int titleBarWidth = 0);

// The window width a title bar needs to show `title` whole: the title in the
// desktop's bold font, the window buttons and the margins.
int TitleBarWidth(const QString &title);

class TSMsg : public QDialog
{
    Q_OBJECT
public:
    explicit TSMsg(QWidget *parent = nullptr);
    ~TSMsg() override;

    // The box the program created at start; one is created on first use if none was
    // registered. Registering null forgets the current one.
    static TSMsg *Instance();
    static void SetInstance(TSMsg *box);

    // Lays the window out, beeps and shows it modally. Returns the pressed button's
    // result (1 to 7), 2 when closed with the close box, 0 for any other ending.
    int Execute(const QString &text, const QString &title, int kind);

    // The layout part of Execute alone, without sound and without showing.
    void Prepare(const QString &text, const QString &title, int kind);

    QPushButton *Button(int index) const { return m_buttons[size_t(index)]; }
    QFrame *Bevel1() const { return m_bevel; }
    QLabel *Image1() const { return m_image; }
    const QImage &Picture() const { return m_picture; }
    const QStringList &Lines() const { return m_layout.lines; }
    const MessageBoxLayout &Layout() const { return m_layout; }
    // The button that takes the focus when the box opens.
    QPushButton *FocusFirst() const { return m_focusFirst; }

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    std::array<QPushButton *, 7> m_buttons{};
    QFrame *m_bevel = nullptr;
    QLabel *m_image = nullptr;
    QImage m_picture;
    MessageBoxLayout m_layout;
    QPushButton *m_focusFirst = nullptr;
    QPointer<QWidget> m_over; // the window the box is centred over while it is open
};

// The message box of the program (TSMsg::Instance()).
int ShowMessageBox(const QString &text, const QString &title, int kind);
