#include "ui/LumoraDlg.h"

#include "app/CaptureState.h"
#include "output/ResultActions.h"
#include "platform/Announcer.h"
#include "platform/Controls.h"
#include "platform/DialogUnits.h"
#include "platform/EventDrain.h"
#include "platform/MimeFiles.h"
#include "ui/DialogTemplate.h"
#include "ui/DropDownList.h"
#include "ui/ResultBox.h"

#include <QAction>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

namespace {

constexpr std::chrono::milliseconds kAnswerInterval{100};

constexpr std::string_view kReadScreenCaption = "画面から読み取り";
const QKeySequence kReadScreenShortcut(QStringLiteral("Ctrl+Shift+S"));

QString Text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QFont DialogFont()
{
    QStringList families;
    for (const std::string_view family : kDialogFontFamilies)
        families << Text(family);
    QFont font;
    font.setFamilies(families);
    font.setPointSize(kMainDialog.pointSize);
    return font;
}

QWidget* MakeControl(const ControlTemplate& item, QWidget* parent)
{
    const QString caption = Text(item.caption);
    switch (item.kind) {
    case ControlKind::DefaultButton: {
        auto* const button = new QPushButton(caption, parent);
        button->setDefault(true);
        return button;
    }
    case ControlKind::PushButton:
        return new QPushButton(caption, parent);
    case ControlKind::MultilineEdit: {
        auto* const edit = new ResultBox(parent);
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // A file dropped on the box is meant for the dialog, not pasted as text.
        edit->setAcceptDrops(false);
        edit->viewport()->setAcceptDrops(false);
        return edit;
    }
    case ControlKind::AutoRadio: {
        auto* const radio = new QRadioButton(caption, parent);
        radio->setAutoExclusive(false);
        return radio;
    }
    case ControlKind::AutoCheck:
        return new QCheckBox(caption, parent);
    case ControlKind::Label:
        return new QLabel(caption, parent);
    case ControlKind::DropDownList:
        return new DropDownList(parent);
    }
    return nullptr;
}

// Pixel geometry of a control; the drop-down list's template height is that of its open
// popup, so the closed box keeps the height Qt gives it.
QRect ControlGeometry(const ControlTemplate& item, const QWidget& widget, DialogBaseUnits base)
{
    QRect rect = DluToPixels(QRect(item.x, item.y, item.width, item.height), base);
    if (item.kind == ControlKind::DropDownList)
        rect.setHeight(widget.sizeHint().height());
    return rect;
}

std::size_t TemplateIndexOf(int id)
{
    for (std::size_t i = 0; i < kMainDialogControls.size(); ++i)
        if (kMainDialogControls[i].id == id)
            return i;
    return kMainDialogControls.size();
}

}  // namespace

CLumoraDlg::CLumoraDlg()
    : m_hIcon([] {
          QIcon icon;
          for (const int size : {16, 32, 48})
              icon.addFile(QStringLiteral(":/icons/lumora-%1.png").arg(size), QSize(size, size));
          return icon;
      }())
{
    setWindowTitle(Text(kMainDialog.title));
    // Title bar with a minimise button only; a top-level window of its own on the taskbar.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint);
    setFont(DialogFont());
    InstallAccessibleInterfaces();
    CreateControls();
    CreateNotice();
    NameForAssistiveTools();
    OnCreate();
    ConnectMessageMap();
    OnInitDialog();
}

CLumoraDlg::~CLumoraDlg()
{
    // The controls die after this body; what they signal on the way (a popup hidden with
    // its window) must not reach the handlers of a half-destroyed dialog.
    static_cast<DropDownList*>(m_comboCamera)->SetOnPopupClosed(nullptr);
    static_cast<ResultBox*>(m_editResult)->SetOnPaste(nullptr);
    static_cast<ResultBox*>(m_editResult)->SetMenuEntries(nullptr);
    for (QWidget* const control : m_controls)
        control->disconnect(this);
}

void CLumoraDlg::CreateControls()
{
    const DialogBaseUnits base = BaseUnitsOf(font());
    setFixedSize(DluToPixelsX(kMainDialog.width, base), DluToPixelsY(kMainDialog.height, base));

    QWidget* previousTabStop = nullptr;
    for (std::size_t i = 0; i < kMainDialogControls.size(); ++i) {
        const ControlTemplate& item = kMainDialogControls[i];
        QWidget* const widget = MakeControl(item, this);
        widget->setGeometry(ControlGeometry(item, *widget, base));
        widget->setVisible(item.style & kVisible);
        if (item.style & kTabStop) {
            widget->setFocusPolicy(Qt::StrongFocus);
            if (previousTabStop != nullptr)
                setTabOrder(previousTabStop, widget);
            previousTabStop = widget;
        } else if (item.kind != ControlKind::Label) {
            widget->setFocusPolicy(Qt::ClickFocus);
        }
        m_controls[i] = widget;
    }

    m_editResult = static_cast<QPlainTextEdit*>(Control(IDC_RESULT));
    m_btnLarge = static_cast<QRadioButton*>(Control(IDC_SIZE_LARGE));
    m_btnSmall = static_cast<QRadioButton*>(Control(IDC_SIZE_SMALL));
    m_chkClipboard = static_cast<QCheckBox*>(Control(IDC_CLIPBOARD));
    m_comboCamera = static_cast<DropDownList*>(Control(IDC_CAMERA));
}

QWidget* CLumoraDlg::Control(int id) const
{
    const std::size_t index = TemplateIndexOf(id);
    return index < m_controls.size() ? m_controls[index] : nullptr;
}

void CLumoraDlg::OnCreate()
{
    setAcceptDrops(true);
}

void CLumoraDlg::ConnectMessageMap()
{
    const auto button = [this](int id) { return static_cast<QPushButton*>(Control(id)); };
    auto* const combo = static_cast<DropDownList*>(m_comboCamera);

    // Painting and dragging the minimised window are the window system's business here.
    // Window creation is OnCreate, and dropped files arrive through dropEvent.
    connect(button(IDC_START_CAPTURE), &QPushButton::clicked, this, &CLumoraDlg::OnStartCapture);
    connect(button(IDOK), &QPushButton::clicked, this, &CLumoraDlg::OnCloseClicked);
    connect(button(IDC_STOP_CAPTURE), &QPushButton::clicked, this, &CLumoraDlg::OnStopCapture);
    connect(button(IDC_CLEAR), &QPushButton::clicked, this, &CLumoraDlg::OnClear);
    connect(m_btnLarge, &QRadioButton::clicked, this, &CLumoraDlg::OnSizeLarge);
    connect(m_btnSmall, &QRadioButton::clicked, this, &CLumoraDlg::OnSizeSmall);
    connect(combo, &QComboBox::editTextChanged, this, &CLumoraDlg::OnCameraIgnored);
    connect(combo, &QComboBox::currentIndexChanged, this, &CLumoraDlg::OnCameraSelChange);
    combo->SetOnPopupClosed([this] { OnCameraSelEndCancel(); });
    // The hidden cancel button is Esc's target, as the framework's own cancel.
    connect(button(IDCANCEL), &QPushButton::clicked, this, &CLumoraDlg::reject);
    // Pastes: the result box takes its own (text stays text there); elsewhere the shortcut
    // fires, since only the result box claims the paste keys.
    static_cast<ResultBox*>(m_editResult)->SetOnPaste([this](const QMimeData& mime) { return PasteFrom(mime); });
    connect(new QShortcut(QKeySequence::Paste, this), &QShortcut::activated, this, &CLumoraDlg::OnPaste);
    // Reading the screen: an entry of the result box's context menu, and its shortcut
    // anywhere in the dialog, shown in that entry.
    m_actReadScreen = new QAction(Text(kReadScreenCaption), this);
    m_actReadScreen->setShortcut(kReadScreenShortcut);
    m_actReadScreen->setShortcutVisibleInContextMenu(true);
    addAction(m_actReadScreen);
    connect(m_actReadScreen, &QAction::triggered, this, &CLumoraDlg::OnReadScreen);
    // Shift+F10 is the other key for a context menu (Qt turns the Menu key into one itself).
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this), &QShortcut::activated,
            static_cast<ResultBox*>(m_editResult), &ResultBox::OpenContextMenu);
    static_cast<ResultBox*>(m_editResult)->SetMenuEntries([this](QMenu& menu) {
        return QList<QAction*>{m_actReadScreen, ContentMenu(menu, m_recentContents, *this)->menuAction()};
    });
}

bool CLumoraDlg::OnInitDialog()
{
    EnumerateVideoInputs();
    UpdateData(false);
    setWindowIcon(m_hIcon);
    SetChecked(m_btnLarge, true);
    SetChecked(m_btnSmall, false);
    SetChecked(m_chkClipboard, true);
    FillCameraList();
    Control(IDOK)->setFocus();  // the first tab stop
    return true;
}

void CLumoraDlg::UpdateData(bool save)
{
    if (save) {
        m_strResult = m_editResult->toPlainText();
        m_strCamera = m_comboCamera->currentText();
        return;
    }
    // The box makes one line break of each CR LF.
    m_editResult->setPlainText(m_strResult);
    // Only an exact, different name moves the selection: with two cameras of one name the
    // exchange must not jump from the second back to the first.
    if (m_comboCamera->currentText() != m_strCamera) {
        const int index = m_comboCamera->findText(m_strCamera, Qt::MatchExactly);
        if (index >= 0)
            m_comboCamera->setCurrentIndex(index);
    }
}

void CLumoraDlg::OnCloseClicked()
{
    g_stopRequested = 1;
    OnOK();
}

void CLumoraDlg::OnOK()
{
    UpdateData(true);
    QDialog::accept();
}

void CLumoraDlg::reject()
{
    // A capture run must not outlive the dialog: it ends at the end of its pass.
    g_stopRequested = 1;
    QDialog::reject();
}

void CLumoraDlg::OnSizeLarge()
{
    SetChecked(m_btnLarge, true);
    SetChecked(m_btnSmall, false);
}

void CLumoraDlg::OnSizeSmall()
{
    SetChecked(m_btnLarge, false);
    SetChecked(m_btnSmall, true);
}

void CLumoraDlg::OnCameraIgnored() {}

void CLumoraDlg::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);  // entering is the first move: the same files, the same answer
}

void CLumoraDlg::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData() != nullptr && !LocalFilePaths(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CLumoraDlg::dropEvent(QDropEvent* event)
{
    if (event->mimeData() == nullptr)
        return;
    const QStringList paths = LocalFilePaths(*event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    OpenFiles(paths);  // decoded after the drop has been answered: the drag source is not kept waiting
}

void CLumoraDlg::OpenFiles(const QStringList& paths)
{
    HandleInTurn([this, paths] { DecodeDroppedFiles(paths); });
}

// Always from the event loop, never inside the handler that received the input: a drop
// is answered first, and one that comes while another is handled waits for it.
void CLumoraDlg::HandleInTurn(std::function<void()> input)
{
    m_waitingInput.push_back(std::move(input));
    if (m_waitingInput.size() == 1)  // nothing handled or waiting before it
        QMetaObject::invokeMethod(this, [this] { HandleWaitingInput(); }, Qt::QueuedConnection);
}

void CLumoraDlg::HandleWaitingInput()
{
    // Each input leaves the queue once handled, so that what comes meanwhile only queues.
    // A closed (hidden) dialog handles nothing more.
    while (!m_waitingInput.empty() && isVisible()) {
        m_waitingInput.front()();  // references to a deque's elements outlive pushes at its end
        m_waitingInput.pop_front();
    }
    ResumeDeferredInput(*this);  // clicks and keys made meanwhile, in their order
}

void CLumoraDlg::KeepAnswering()
{
    // Often enough for the eye and the window manager; rarely enough that a drop of small
    // files does not lay the result box out again after every line.
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastAnswered >= kAnswerInterval) {
        DispatchPendingEventsExceptInput();
        m_lastAnswered = now;
    }
}
