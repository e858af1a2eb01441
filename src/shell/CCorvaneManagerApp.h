#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class CUserStore;
class IUserPrompt;

// Options of the command line: corvane-manager [--home DIR] [--port PATH]... [--demo].
struct StartOptions {
    QString home;      // empty: the executable's folder or the per-user data folder
    QStringList ports; // ports probed before the system's own
    bool demo = false; // probe a simulated receiver as well
};

// Parses the arguments after the program name; empty with a reason when they are not understood.
[[nodiscard]] std::optional<StartOptions> ParseStartOptions(const QStringList &args, QString &error);

// The application: chooses the language, reads the settings, loads the user store, runs the
// login and, after a successful login, the main window. A cancelled login ends the program.
class CCorvaneManagerApp {
public:
    // Runs the login modally; true when it ended with OK.
    using LoginRunner = std::function<bool(CUserStore &store)>;
    // Runs the main window modally after the login and returns the exit status.
    using MainWindowRunner = std::function<int(const StartOptions &options)>;

    explicit CCorvaneManagerApp(StartOptions options);

    // The hook through which the main window is plugged in; without one the program ends after
    // the login.
    void SetMainWindowRunner(MainWindowRunner runner) { m_mainWindow = std::move(runner); }
    // Replaces the login dialog (tests).
    void SetLoginRunner(LoginRunner runner) { m_login = std::move(runner); }
    // Where the user-file message goes (nullptr: a real message box).
    void SetPrompt(IUserPrompt *prompt) { m_prompt = prompt; }

    // The start-up, in order; returns the exit status of the process.
    [[nodiscard]] int InitInstance(const QLocale &system = QLocale::system());
    [[nodiscard]] bool LoggedIn() const { return m_loggedIn; }
    [[nodiscard]] const StartOptions &Options() const { return m_options; }

private:
    // A critical message before the main window exists (through the prompt when one is set).
    void ShowStartError(const QString &text);

    StartOptions m_options;
    LoginRunner m_login;
    MainWindowRunner m_mainWindow;
    IUserPrompt *m_prompt = nullptr;
    bool m_loggedIn = false;
};
