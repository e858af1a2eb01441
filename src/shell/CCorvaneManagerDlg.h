#pragma once

#include "base/MessageKind.h"
#include "base/UserPrompt.h"
#include "shell/AlarmSound.h"
#include "shell/ViewNotify.h"

#include <QColor>
#include <QDialog>

#include <array>
#include <functional>
#include <memory>

class CCorvaneODBC;
class IDatabaseErrorSink;
class CViewPlace;
class QLabel;
class QLineEdit;
class QMovie;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTimer;

// The program's main window: the column of view buttons beside the eight view places, the
// connect button with the connection status, the animated alarm picture, the message bar with
// its "new message" button, and along the bottom the link status text, the clock and the
// progress bar. It plays the alarm sounds and asks before the program ends; Enter and Escape
// close nothing.
//
// The receiver link is driven from outside through the public slots and signals below, each the
// counterpart of one of the window's notifications: OnNewMessage (a message was logged),
// OnCheckUnread, StopAlarm, OnStatusChanged (status text or progress changed),
// SetConnectionText and SetConnectedPicture (connection state), connectRequested (the connect
// button) and alarmFrameWanted (a kind-5 message asks for the alarm frame to be sent).
class CCorvaneManagerDlg final : public QDialog {
    Q_OBJECT
public:
    // The views in the order of their places in the stacked area.
    static constexpr std::array<CorvaneView, 8> kViews{
        CorvaneView::Manager, CorvaneView::Imme,    CorvaneView::Command, CorvaneView::Download,
        CorvaneView::History, CorvaneView::Message, CorvaneView::User,    CorvaneView::Gprs};
    // Highest progress value shown; the bar's range goes on to 115.
    static constexpr int kMaxProgress = 110;
    static constexpr int kProgressRange = 115;

    // Null arguments get the real sound (home folder's sound/) and message boxes.
    explicit CCorvaneManagerDlg(std::unique_ptr<IAlarmSound> sound = nullptr,
                                std::shared_ptr<IUserPrompt> prompt = nullptr, QWidget *parent = nullptr);
    ~CCorvaneManagerDlg() override;

    // Views.
    [[nodiscard]] CViewPlace *Place(CorvaneView view) const;
    [[nodiscard]] CorvaneView CurrentView() const { return m_currentView; }
    // Sends a notification to a view; it arrives after the caller's handler has returned.
    void PostToView(CorvaneView view, ViewNotify code, int argument);

    // State shown by the window.
    [[nodiscard]] bool AlarmActive() const { return m_alarmActive; }
    [[nodiscard]] QString StatusText() const { return m_statusText; }
    [[nodiscard]] int Progress() const { return m_progress; }
    // The message bar's text colour for a message of the kind.
    [[nodiscard]] static QColor MessageColour(MessageKind kind);
    [[nodiscard]] IUserPrompt &Prompt() const { return *m_prompt; }

    // Whether the message log holds unread messages (default: none).
    void SetUnreadCheck(std::function<bool()> check);
    // Writes a system message ("系统", text) to the message log and saves it.
    void SetMessageRecorder(std::function<void(MessageKind kind, const QString &text)> recorder);
    // Makes the monitor screen; while it runs modally MonitorScreen() returns it.
    void SetMonitorScreenFactory(std::function<std::unique_ptr<QDialog>(QWidget *parent)> factory);
    [[nodiscard]] QDialog *MonitorScreen() const { return m_monitorScreen; }
    // The database the settings dialog creates files with (default: the process-wide one).
    void SetDatabase(CCorvaneODBC *database) { m_database = database; }
    // Shows the database's failures in message boxes of this window; install it on the
    // database-access object (SetErrorSink) for as long as the window lives.
    [[nodiscard]] IDatabaseErrorSink *DatabaseErrorSink() const { return m_errorSink.get(); }
    // The current time for the clock (default: the system clock).
    void SetTimeSource(std::function<qint64()> now);

    // Runs the settings dialog modally; startup marks the run at start-up after the database
    // could not be opened. Returns the dialog's result.
    int RunSettings(bool startup);

    // Clamps a progress value into 0..110.
    [[nodiscard]] static int ClampProgress(int progress);

public slots:
    // A view button: does nothing for the current view, else selects the view and tells every
    // view whether it is now shown.
    void SelectView(CorvaneView view);
    // A message was logged (nodeLost also asks for the alarm frame): show it in the message bar,
    // start the alarm or pre-alarm, enable "new message".
    void OnNewMessage(MessageKind kind, const QString &text, bool nodeLost = false);
    // Enables "new message" exactly when unread messages exist.
    void OnCheckUnread();
    // Stops the alarm animation and any sound.
    void StopAlarm();
    // Status text and progress of the running link transaction; the progress is kept clamped.
    void OnStatusChanged(const QString &statusText, int progress);
    // A port cannot be opened for lack of permission: tells the operator how to fix it.
    void OnPortDenied(const QString &location, const QString &message);
    // The connection status text beside the connect button.
    void SetConnectionText(const QString &text);
    // The connect button's picture: connected or not.
    void SetConnectedPicture(bool connected);
    // Records a system message and shows it in the message bar.
    void RecordSystemMessage(const QString &text);
    // Shows the current local time in the clock.
    void OnClockTick();

signals:
    // The connect button was pressed.
    void connectRequested();
    // A kind-5 message: the alarm frame is to be written to the port.
    void alarmFrameWanted();

public:
    // Exit: asks, and closes the window only on Yes. The title bar's close box comes here too.
    void reject() override;
    // Enter closes nothing.
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void BuildLayout();
    QPushButton *MakeButton(const QString &objectName, const QString &caption);
    void PaintViewButtons();
    void OnNewMessageButton();
    void RunMonitorScreen();

    std::unique_ptr<IAlarmSound> m_sound;
    std::shared_ptr<IUserPrompt> m_prompt;
    CorvaneView m_currentView = CorvaneView::Manager;
    bool m_alarmActive = false;
    QString m_statusText;
    int m_progress = 0;

    std::function<bool()> m_unreadCheck;
    std::function<void(MessageKind, const QString &)> m_recorder;
    std::function<std::unique_ptr<QDialog>(QWidget *)> m_monitorFactory;
    std::function<qint64()> m_now;
    CCorvaneODBC *m_database = nullptr;
    std::unique_ptr<IDatabaseErrorSink> m_errorSink;
    QDialog *m_monitorScreen = nullptr;

    std::array<QPushButton *, kViews.size()> m_viewButtons{};
    std::array<CViewPlace *, kViews.size()> m_places{};
    QStackedWidget *m_stack = nullptr;
    QPushButton *m_connectButton = nullptr;
    QLabel *m_connectionText = nullptr;
    QLabel *m_alarmPicture = nullptr;
    QMovie *m_alarmMovie = nullptr;
    QLineEdit *m_messageBar = nullptr;
    QPushButton *m_newMessageButton = nullptr;
    QLabel *m_statusLabel = nullptr;
    QLabel *m_clockLabel = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QTimer *m_clockTimer = nullptr;
};
