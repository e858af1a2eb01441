#include "shell/CCorvaneManagerDlg.h"
#include "messages/ui/MessageBoxPrompt.h"
#include "shell/ShellLog.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "base/StringIds.h"
#include "shell/CSystmeConfigDlg.h"
#include "shell/CViewPlace.h"
#include "shell/DatabaseErrorBox.h"
#include "storage/CCorvaneODBC.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

// Outside any namespace, as the resource initialiser must be declared at global scope.
static void InitPictures()
{
    // The pictures live in the shell's static library; referencing the initialiser keeps them.
    static const bool registered = [] {
        Q_INIT_RESOURCE(shell_pictures);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace {

struct ViewButton {
    CorvaneView view;
    const char *objectName; // the control id of the button
    int textId;
};

// The view buttons, top to bottom.
constexpr std::array<ViewButton, 8> kViewButtons{{
    {CorvaneView::Manager, "btn1000", Sid::MainViewManager},
    {CorvaneView::Imme, "btn1001", Sid::MainViewRealtime},
    {CorvaneView::Command, "btn1003", Sid::MainViewLogging},
    {CorvaneView::Download, "btn1004", Sid::MainViewDownload},
    {CorvaneView::History, "btn1002", Sid::MainViewHistory},
    {CorvaneView::User, "btn1005", Sid::MainViewUsers},
    {CorvaneView::Gprs, "btn1169", Sid::MainViewGprs},
    {CorvaneView::Message, "btn1006", Sid::MainViewMessages},
}};

int ViewIndex(CorvaneView view)
{
    const auto &views = CCorvaneManagerDlg::kViews;
    for (std::size_t i = 0; i < views.size(); ++i) {
        if (views[i] == view)
            return static_cast<int>(i);
    }
    return -1;
}

int TextIdOfView(CorvaneView view)
{
    for (const auto &b : kViewButtons) {
        if (b.view == view)
            return b.textId;
    }
    return 0;
}

const QColor kCurrentViewColour(200, 0, 0);

} // namespace

CCorvaneManagerDlg::CCorvaneManagerDlg(std::unique_ptr<IAlarmSound> sound,
                                       std::shared_ptr<IUserPrompt> prompt, QWidget *parent)
    : QDialog(parent), m_sound(std::move(sound)), m_prompt(std::move(prompt)), m_now(&CvTime::Now)
{
    InitPictures();
    if (!m_sound)
        m_sound = CAlarmSound::FromHomeFolder();
    if (!m_prompt)
        m_prompt = std::make_shared<CMessageBoxPrompt>();
    m_database = &theDatabase();
    m_errorSink = std::make_unique<CPromptDatabaseErrorSink>(*m_prompt, this);

    setObjectName(QStringLiteral("CCorvaneManagerDlg"));
    setWindowTitle(LoadStr(Sid::MainTitle));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);

    BuildLayout();
    PaintViewButtons();
    SetConnectedPicture(false);
    OnCheckUnread();
    OnStatusChanged(QString(), 0);

    m_clockTimer = new QTimer(this);
    m_clockTimer->setInterval(1000);
    connect(m_clockTimer, &QTimer::timeout, this, &CCorvaneManagerDlg::OnClockTick);
    m_clockTimer->start();
    OnClockTick();
}

CCorvaneManagerDlg::~CCorvaneManagerDlg()
{
    if (m_sound)
        m_sound->Stop();
}

QPushButton *CCorvaneManagerDlg::MakeButton(const QString &objectName, const QString &caption)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(objectName);
    // Enter must never press a button of this window.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

void CCorvaneManagerDlg::BuildLayout()
{
    auto *root = new QVBoxLayout(this);

    // Top: connect button and status, alarm picture, message bar, "new message".
    auto *top = new QHBoxLayout;
    m_connectButton = MakeButton(QStringLiteral("btn1176"), QString());
    m_connectButton->setIconSize(QSize(40, 40));
    m_connectButton->setFlat(true);
    connect(m_connectButton, &QPushButton::clicked, this, &CCorvaneManagerDlg::connectRequested);
    m_connectionText = new QLabel(this);
    m_connectionText->setObjectName(QStringLiteral("lbl1216"));
    m_connectionText->setMinimumWidth(220);
    m_alarmPicture = new QLabel(this);
    m_alarmPicture->setObjectName(QStringLiteral("pic1177"));
    m_alarmMovie = new QMovie(QStringLiteral(":/pictures/alarm.gif"), QByteArray(), this);
    m_alarmMovie->setCacheMode(QMovie::CacheAll);
    m_alarmPicture->setMovie(m_alarmMovie);
    m_alarmMovie->jumpToFrame(0);
    // The idle picture is drawn greyed; the alarm animates it in colour.
    m_alarmPicture->setEnabled(false);
    m_messageBar = new QLineEdit(this);
    m_messageBar->setObjectName(QStringLiteral("edit1221"));
    m_messageBar->setReadOnly(true);
    m_newMessageButton = MakeButton(QStringLiteral("btn1179"), LoadStr(Sid::MainNewMessage));
    connect(m_newMessageButton, &QPushButton::clicked, this, &CCorvaneManagerDlg::OnNewMessageButton);
    top->addWidget(m_connectButton);
    top->addWidget(m_connectionText);
    top->addWidget(m_alarmPicture);
    top->addWidget(m_messageBar, 1);
    top->addWidget(m_newMessageButton);
    root->addLayout(top);

    // Middle: the column of buttons beside the views.
    auto *middle = new QHBoxLayout;
    auto *column = new QVBoxLayout;
    m_stack = new QStackedWidget(this);
    m_stack->setObjectName(QStringLiteral("frame1015"));
    m_stack->setMinimumSize(930, 600);
    for (std::size_t i = 0; i < kViews.size(); ++i) {
        m_places[i] = new CViewPlace(kViews[i], LoadStr(TextIdOfView(kViews[i])), m_stack);
        m_stack->addWidget(m_places[i]);
    }
    for (const auto &b : kViewButtons) {
        QPushButton *button = MakeButton(QString::fromLatin1(b.objectName), LoadStr(b.textId));
        m_viewButtons[ViewIndex(b.view)] = button;
        const CorvaneView view = b.view;
        connect(button, &QPushButton::clicked, this, [this, view] { SelectView(view); });
        column->addWidget(button);
    }
    column->addSpacing(20);
    QPushButton *monitor = MakeButton(QStringLiteral("btn1242"), LoadStr(Sid::MainMonitor));
    connect(monitor, &QPushButton::clicked, this, &CCorvaneManagerDlg::RunMonitorScreen);
    QPushButton *settings = MakeButton(QStringLiteral("btn1175"), LoadStr(Sid::MainSettings));
    connect(settings, &QPushButton::clicked, this, [this] { RunSettings(false); });
    QPushButton *exit = MakeButton(QStringLiteral("btn1204"), LoadStr(Sid::Exit));
    connect(exit, &QPushButton::clicked, this, &CCorvaneManagerDlg::reject);
    column->addWidget(monitor);
    column->addWidget(settings);
    column->addStretch(1);
    column->addWidget(exit);
    middle->addLayout(column);
    middle->addWidget(m_stack, 1);
    root->addLayout(middle, 1);
    m_stack->setCurrentWidget(Place(m_currentView));

    // Bottom: status text, clock, progress.
    auto *bottom = new QHBoxLayout;
    m_statusLabel = new QLabel(this);
    m_statusLabel->setObjectName(QStringLiteral("lbl1224"));
    m_clockLabel = new QLabel(this);
    m_clockLabel->setObjectName(QStringLiteral("lbl1178"));
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("progress1227"));
    m_progressBar->setRange(0, kProgressRange);
    m_progressBar->setTextVisible(false);
    m_progressBar->setMaximumWidth(260);
    bottom->addWidget(m_statusLabel, 1);
    bottom->addWidget(m_clockLabel);
    bottom->addWidget(m_progressBar);
    root->addLayout(bottom);
}

CViewPlace *CCorvaneManagerDlg::Place(CorvaneView view) const
{
    const int index = ViewIndex(view);
    return index < 0 ? nullptr : m_places[static_cast<std::size_t>(index)];
}

void CCorvaneManagerDlg::PostToView(CorvaneView view, ViewNotify code, int argument)
{
    if (CViewPlace *place = Place(view))
        place->Post(code, argument);
}

void CCorvaneManagerDlg::SelectView(CorvaneView view)
{
    if (view == m_currentView || !Place(view))
        return;
    m_currentView = view;
    m_stack->setCurrentWidget(Place(view));
    for (CorvaneView v : kViews)
        PostToView(v, ViewNotify::ShowHide, v == view ? 1 : 0);
    PaintViewButtons();
    qCDebug(lcShell) << "view" << static_cast<int>(view) << "selected";
}

void CCorvaneManagerDlg::PaintViewButtons()
{
    for (std::size_t i = 0; i < kViews.size(); ++i) {
        QPalette palette = m_viewButtons[i]->palette();
        palette.setColor(QPalette::ButtonText,
                         kViews[i] == m_currentView ? kCurrentViewColour : QColor(Qt::black));
        m_viewButtons[i]->setPalette(palette);
    }
}

QColor CCorvaneManagerDlg::MessageColour(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Alarm:
        return {255, 60, 60};
    case MessageKind::Setting:
        return {0, 130, 255};
    case MessageKind::Download:
        return {128, 64, 0};
    case MessageKind::System:
        return {128, 0, 255};
    case MessageKind::PreAlarm:
        return {250, 190, 0};
    default:
        return Qt::black;
    }
}

void CCorvaneManagerDlg::OnNewMessage(MessageKind kind, const QString &text, bool nodeLost)
{
    const QString type = TypeWord(kind);
    const QString shown = type.isEmpty() ? text : type + QStringLiteral(": ") + text;
    if (kind == MessageKind::Alarm) {
        m_alarmPicture->setEnabled(true);
        m_alarmMovie->start();
        if (AppSettings::Instance().SoundAlarm()) {
            m_sound->Stop();
            m_sound->PlayLooped(AlarmSoundKind::Alarm);
        }
        m_alarmActive = true;
    } else if (kind == MessageKind::PreAlarm) {
        // The pre-alarm sounds whatever the sound-alarm switch says; it does not animate.
        m_sound->Stop();
        m_sound->PlayLooped(AlarmSoundKind::PreAlarm);
    }
    QPalette palette = m_messageBar->palette();
    palette.setColor(QPalette::Text, MessageColour(kind));
    m_messageBar->setPalette(palette);
    m_messageBar->setText(shown);
    m_messageBar->setCursorPosition(0);
    m_newMessageButton->setEnabled(true);
    if (nodeLost)
        emit alarmFrameWanted();
}

void CCorvaneManagerDlg::OnCheckUnread()
{
    m_newMessageButton->setEnabled(m_unreadCheck && m_unreadCheck());
}

void CCorvaneManagerDlg::StopAlarm()
{
    if (m_alarmActive) {
        m_alarmMovie->stop();
        m_alarmMovie->jumpToFrame(0);
        m_alarmPicture->setEnabled(false);
    }
    m_sound->Stop();
    m_alarmActive = false;
}

void CCorvaneManagerDlg::OnNewMessageButton()
{
    PostToView(CorvaneView::Message, ViewNotify::Specific, 0);
    StopAlarm();
}

int CCorvaneManagerDlg::ClampProgress(int progress)
{
    return qBound(0, progress, kMaxProgress);
}

void CCorvaneManagerDlg::OnPortDenied(const QString &location, const QString &message)
{
    qCWarning(lcShell) << "no permission to open" << location;
    m_prompt->ShowError(this, QString(), message);
}

void CCorvaneManagerDlg::OnStatusChanged(const QString &statusText, int progress)
{
    m_statusText = statusText;
    m_progress = ClampProgress(progress);
    m_statusLabel->setText(m_statusText);
    m_progressBar->setValue(m_progress);
}

void CCorvaneManagerDlg::SetConnectionText(const QString &text)
{
    m_connectionText->setText(text);
}

void CCorvaneManagerDlg::SetConnectedPicture(bool connected)
{
    m_connectButton->setIcon(QIcon(connected ? QStringLiteral(":/pictures/connected.png")
                                             : QStringLiteral(":/pictures/disconnected.png")));
    m_connectButton->setProperty("connected", connected);
}

void CCorvaneManagerDlg::RecordSystemMessage(const QString &text)
{
    if (m_recorder)
        m_recorder(MessageKind::System, text);
    QMetaObject::invokeMethod(
        this, [this, text] { OnNewMessage(MessageKind::System, text); }, Qt::QueuedConnection);
}

void CCorvaneManagerDlg::OnClockTick()
{
    m_clockLabel->setText(QStringLiteral("  ") + CvTime::FormatDateTime(m_now()));
}

void CCorvaneManagerDlg::SetUnreadCheck(std::function<bool()> check)
{
    m_unreadCheck = std::move(check);
    OnCheckUnread();
}

void CCorvaneManagerDlg::SetMessageRecorder(
    std::function<void(MessageKind kind, const QString &text)> recorder)
{
    m_recorder = std::move(recorder);
}

void CCorvaneManagerDlg::SetMonitorScreenFactory(
    std::function<std::unique_ptr<QDialog>(QWidget *parent)> factory)
{
    m_monitorFactory = std::move(factory);
}

void CCorvaneManagerDlg::SetTimeSource(std::function<qint64()> now)
{
    m_now = now ? std::move(now) : std::function<qint64()>(&CvTime::Now);
    OnClockTick();
}

int CCorvaneManagerDlg::RunSettings(bool startup)
{
    CSystmeConfigDlg dialog(*m_database, m_prompt, this);
    dialog.SetStartupFlag(startup);
    connect(&dialog, &CSystmeConfigDlg::systemMessage, this, &CCorvaneManagerDlg::RecordSystemMessage);
    return m_prompt->RunModal(dialog);
}

void CCorvaneManagerDlg::RunMonitorScreen()
{
    if (!m_monitorFactory)
        return;
    std::unique_ptr<QDialog> screen = m_monitorFactory(this);
    if (!screen)
        return;
    m_monitorScreen = screen.get();
    m_prompt->RunModal(*screen);
    m_monitorScreen = nullptr;
}

void CCorvaneManagerDlg::reject()
{
    if (m_prompt->AskYesNo(this, LoadStr(455 /* 确定要退出程序吗？ */)))
        QDialog::reject();
}

void CCorvaneManagerDlg::accept() {}

void CCorvaneManagerDlg::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
