#pragma once

#include "shell/CCorvaneManagerApp.h"

#include <QString>

#include <functional>
#include <memory>

class CCorvaneODBC;
class CCorvaneManagerDlg;
class NetworkNotifier;

// The demo receiver the program starts for --demo; the shell knows only the port it offers.
class DemoReceiver {
public:
    virtual ~DemoReceiver() = default;
    [[nodiscard]] virtual QString PortPath() const = 0;
};
// Starts the demo receiver and prepares the demo database; nullptr with error set when the
// receiver did not start. Problems with the database are logged by the starter.
using DemoStarter = std::function<std::unique_ptr<DemoReceiver>(CCorvaneODBC &database, QString *error)>;

class CFormviewManager;
class CUart_CommApp;
class LinkSession;

// Start-up steps of RunMainWindow, also run by the start-up benchmark.
// Puts the user, management, real-time, logging, download, history and message views into the
// window; returns the management view.
CFormviewManager *AttachStartupViews(CCorvaneManagerDlg &window, CCorvaneODBC &db, CUart_CommApp &link);
// Opens the database the settings name (the settings dialog once as the fallback), loads the
// network table and logs the opened database.
void LoadStartupNetwork(CCorvaneManagerDlg &window, CCorvaneODBC &db, CFormviewManager &manager);
// The GPRS view, which asks the link session for the receiver's id.
void AttachGprsView(CCorvaneManagerDlg &window, CCorvaneODBC &db, CUart_CommApp &link,
                    const LinkSession &session);

// Passes the network's events on to the views of the window as their notifications.
void ConnectViewNotices(NetworkNotifier &notifier, CCorvaneManagerDlg &window);

// Runs the main window with its receiver link until it closes: opens the database (with the
// settings dialog as the fallback and one retry), loads the network table, starts the demo
// receiver when asked (through demo; none given: --demo starts nothing), wires the link session
// to the window and connects. Returns the exit status.
[[nodiscard]] int RunMainWindow(const StartOptions &options, const DemoStarter &demo = {});
