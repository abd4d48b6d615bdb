#include "dialogs/Mymsg.h"

#include "dialogs/DialogStyle.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

// ---------------------------------------------------------------------------
// Buttons and button sets

const std::array<MessageButtonInfo, 7> &MessageButtons()
{
    // Results follow the platform message box numbering (OK 1, Cancel 2, Abort 3,
    // Retry 4, Ignore 5, Yes 6, No 7), so callers read like calls of that box.
    static const std::array<MessageButtonInfo, 7> buttons = {{
        {"OKBtn", "Rendben", 77, 1, true, false},
        {"CancelBtn", "Mégsem", 77, 2, false, true},
        {"AbortBtn", "Félbeszakít", 89, 3, false, false},
        {"RetryBtn", "&Ismét", 65, 4, false, false},
        {"IgnoreBtn", "&Tovább", 89, 5, false, false},
        {"YesBtn", "&Igen", 60, 6, true, false},
        {"NoBtn", "&Nem", 65, 7, false, true},
    }};
    return buttons;
}

std::vector<int> MessageButtonSet(int kind)
{
    // Shown left to right in the fixed button order, so "Mégsem" stands left of the
    // others in sets 3 and 5.
    switch (kind & 7) {
    case 1: return {MbOK, MbCancel};
    case 2: return {MbAbort, MbRetry, MbIgnore};
    case 3: return {MbCancel, MbYes, MbNo};
    case 4: return {MbYes, MbNo};
    case 5: return {MbCancel, MbRetry};
    default: return {MbOK}; // sets 0, 6 and 7
    }
}

// ---------------------------------------------------------------------------
// Layout

MessageBoxLayout ComputeMessageBoxLayout(const QString &text, const QString &title, int kind,
                                         const std::function<int(const QString &)> &width,
                                         int textHeight, int titleBarWidth)
{
    kind &= 0xFFFF;
    MessageBoxLayout L;
    L.textHeight = textHeight;

    // The text area is as wide as the title, the row of buttons and the widest line.
    int W = width(title);
    const std::vector<int> shown = MessageButtonSet(kind);
    int buttonsWidth = 0;
    for (int b : shown)
        buttonsWidth += MessageButtons()[size_t(b)].width;
    if (buttonsWidth > W)
        W = buttonsWidth;

    // Every CR starts a new line; nothing else (not even a line feed) is special.
    L.lines = text.split(QChar(u'\r'), Qt::KeepEmptyParts);
    std::vector<int> lineWidth;
    lineWidth.reserve(size_t(L.lines.size()));
    for (const QString &line : L.lines) {
        lineWidth.push_back(width(line));
        if (lineWidth.back() > W)
            W = lineWidth.back();
    }
    if (W < 40)
        W = 40;
    const int pictureLeft = MessageFrameLeft + MessagePictureInset;
    // A title the window manager would cut to "..." widens the box instead.
    if (W + 5 + 2 * pictureLeft < titleBarWidth)
        W = titleBarWidth - 5 - 2 * pictureLeft;
    L.textWidth = W;

    const int pictureTop = MessageFrameTop + MessagePictureInset;
    const int pictureWidth = W + 5;
    const int pictureHeight = int(L.lines.size() + 1) * textHeight;
    L.picture = QRect(pictureLeft, pictureTop, pictureWidth, pictureHeight);

    const int windowWidth = pictureWidth + 2 * pictureLeft;
    const int frameWidth = 2 * (pictureLeft - MessageFrameLeft) + pictureWidth;
    const int frameHeight = 2 * (pictureTop - MessageFrameTop) + pictureHeight;
    L.frame = QRect(MessageFrameLeft, MessageFrameTop, frameWidth, frameHeight);
    // The 35 pixels hold the title bar and the lower border of the outer window:
    // the dialog's own area is smaller by them, which leaves 5 pixels under the
    // buttons, as above them.
    const int windowHeight = MessageFrameTop + frameHeight + MessageButtonHeight + 35;
    L.window = QSize(windowWidth, windowHeight);
    L.client = QSize(windowWidth, windowHeight - MessageTitleBarHeight);

    for (int i = 0; i < L.lines.size(); ++i) {
        L.lineTop.push_back(2 + i * textHeight);
        L.lineLeft.push_back((pictureWidth - lineWidth[size_t(i)]) / 2);
    }

    // Each button is centred in its own slot of equal width.
    const int n = int(shown.size());
    const int slot = windowWidth / n;
    const int focusBits = (kind >> 8) & 3;
    for (int i = 0; i < n; ++i) {
        const MessageButtonInfo &info = MessageButtons()[size_t(shown[size_t(i)])];
        MessageButtonPlace p;
        p.button = shown[size_t(i)];
        p.width = info.width;
        p.top = MessageFrameTop + frameHeight + 5;
        p.left = slot / 2 + i * slot - info.width / 2;
        L.buttons.push_back(p);
        if (i == focusBits)
            L.focusFirst = i;
    }
    return L;
}

MessageBoxLayout ComputeMessageBoxLayout(const QString &text, const QString &title, int kind,
                                         const QFontMetrics &metrics, int titleBarWidth)
{
    return ComputeMessageBoxLayout(
        text, title, kind, [&metrics](const QString &s) { return metrics.horizontalAdvance(s); },
        metrics.height(), titleBarWidth);
}

int TitleBarWidth(const QString &title)
{
    if (title.isEmpty())
        return 0;
    QFont font = QApplication::font();
    font.setBold(true);
    // Title bars draw a little larger than the dialogs' text on most desktops.
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 1.1);
    const int bar = std::max(24, QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight));
    // The icon at the left, close (and on some desktops two more) buttons at the right.
    return QFontMetrics(font).horizontalAdvance(title) + 4 * bar + 24;
}

// ---------------------------------------------------------------------------
// The window

namespace {
QPointer<TSMsg> g_instance;
QPointer<TSMsg> g_ownInstance; // created here on first use, deleted when the application ends

void DeleteOwnInstance()
{
    delete g_ownInstance.data();
}

QStyle::StandardPixmap Glyph(int index)
{
    switch (index) {
    case MbOK: return QStyle::SP_DialogOkButton;
    case MbCancel: return QStyle::SP_DialogCancelButton;
    case MbAbort: return QStyle::SP_DialogAbortButton;
    case MbRetry: return QStyle::SP_DialogRetryButton;
    case MbIgnore: return QStyle::SP_DialogIgnoreButton;
    case MbYes: return QStyle::SP_DialogYesButton;
    default: return QStyle::SP_DialogNoButton;
    }
}
} // namespace

TSMsg::TSMsg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("SMsg"));
    setModal(true);
    setFont(DialogStyle::PixelFont(QStringLiteral("MS Sans Serif"), 11, true));
    DialogStyle::SetBackground(this, DialogStyle::Teal());
    QPalette p = palette();
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);

    m_bevel = new QFrame(this);
    m_bevel->setObjectName(QStringLiteral("Bevel1"));
    m_bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);

    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setFont(font());

    for (int i = 0; i < 7; ++i) {
        const MessageButtonInfo &info = MessageButtons()[size_t(i)];
        auto *b = new QPushButton(style()->standardIcon(Glyph(i)), QString::fromUtf8(info.caption), this);
        b->setObjectName(QString::fromLatin1(info.name));
        b->setAutoDefault(false); // Enter is handled by the box itself (keyPressEvent)
        b->setFixedHeight(MessageButtonHeight);
        b->hide();
        const int result = info.result;
        connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
        m_buttons[size_t(i)] = b;
    }
}

TSMsg::~TSMsg() = default;

TSMsg *TSMsg::Instance()
{
    if (g_instance)
        return g_instance;
    if (!g_ownInstance) {
        g_ownInstance = new TSMsg(nullptr);
        qAddPostRoutine(DeleteOwnInstance);
    }
    return g_ownInstance;
}

void TSMsg::SetInstance(TSMsg *box)
{
    g_instance = box;
}

void TSMsg::Prepare(const QString &text, const QString &title, int kind)
{
    for (QPushButton *b : m_buttons) {
        b->hide();
        b->setDefault(false);
    }
    setWindowTitle(title);

    m_image->setFont(font());
    const QFontMetrics fm(m_image->font());
    m_layout = ComputeMessageBoxLayout(text, title, kind, fm, TitleBarWidth(title));
    // The text picture: the lines drawn centred on the system's window colour, in
    // the screen's own pixels so that scaled displays show the text sharp.
    const qreal dpr = devicePixelRatioF();
    m_picture = QImage(m_layout.picture.size() * dpr, QImage::Format_RGB32);
    m_picture.setDevicePixelRatio(dpr);
    m_picture.fill(QGuiApplication::palette().color(QPalette::Base));
    {
        QPainter painter(&m_picture);
        painter.setFont(m_image->font());
        painter.setPen(Qt::black);
        for (int i = 0; i < m_layout.lines.size(); ++i)
            painter.drawText(m_layout.lineLeft[size_t(i)], m_layout.lineTop[size_t(i)] + fm.ascent(),
                             m_layout.lines[i]);
    }
    m_image->setGeometry(m_layout.picture);
    m_image->setPixmap(QPixmap::fromImage(m_picture));
    m_bevel->setGeometry(m_layout.frame);
    setFixedSize(m_layout.client);

    // Buttons; the one named by bits 8-9 of the kind comes first in the focus order,
    // the others follow left to right.
    std::vector<QPushButton *> order;
    m_focusFirst = nullptr;
    for (size_t i = 0; i < m_layout.buttons.size(); ++i) {
        const MessageButtonPlace &p = m_layout.buttons[i];
        QPushButton *b = m_buttons[size_t(p.button)];
        b->setGeometry(p.left, p.top, p.width, p.height);
        b->show();
        if (MessageButtons()[size_t(p.button)].isDefault)
            b->setDefault(true);
        if (int(i) == m_layout.focusFirst)
            m_focusFirst = b;
        else
            order.push_back(b);
    }
    if (m_focusFirst)
        order.insert(order.begin(), m_focusFirst);
    else
        m_focusFirst = order.front();
    for (size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

int TSMsg::Execute(const QString &text, const QString &title, int kind)
{
    if (isVisible()) {
        // A message asked for while this one is still open (from a timer, say) gets a
        // box of its own instead of rebuilding the open one under its caller.
        TSMsg nested(parentWidget());
        return nested.Execute(text, title, kind);
    }
    Prepare(text, title, kind);
    QApplication::beep();
    QWidget *over = parentWidget();
    if (!over && QApplication::activeWindow() != this)
        over = QApplication::activeWindow();
    m_over = over;
    DialogStyle::CenterOver(this, over);
    setResult(0);
    return exec() & 0xFFFF;
}

void TSMsg::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    // Centred again now that the window's frame is known.
    if (m_over)
        DialogStyle::CenterOver(this, m_over);
    if (m_focusFirst)
        m_focusFirst->setFocus(Qt::TabFocusReason);
}

void TSMsg::keyPressEvent(QKeyEvent *e)
{
    const bool plain = e->modifiers() == Qt::NoModifier
                       || (e->modifiers() == Qt::KeypadModifier && e->key() == Qt::Key_Enter);
    if (plain && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
        // The focused button, or else the shown default button.
        QWidget *fw = focusWidget();
        for (QPushButton *b : m_buttons)
            if (b == fw && b->isVisible()) {
                b->click();
                return;
            }
        for (size_t i = 0; i < m_buttons.size(); ++i)
            if (MessageButtons()[i].isDefault && m_buttons[i]->isVisible()) {
                m_buttons[i]->click();
                return;
            }
        return;
    }
    if (plain && e->key() == Qt::Key_Escape) {
        // The first shown cancel button in the fixed order; without one Escape does nothing.
        for (size_t i = 0; i < m_buttons.size(); ++i)
            if (MessageButtons()[i].isCancel && m_buttons[i]->isVisible()) {
                m_buttons[i]->click();
                return;
            }
        return;
    }
    QDialog::keyPressEvent(e);
}

void TSMsg::closeEvent(QCloseEvent *e)
{
    // The close box answers like "Mégsem".
    if (isVisible())
        done(2);
    e->accept();
}

int ShowMessageBox(const QString &text, const QString &title, int kind)
{
    return TSMsg::Instance()->Execute(text, title, kind);
}
