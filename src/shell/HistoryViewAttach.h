#pragma once

class CCorvaneManagerDlg;
class CCorvaneODBC;

// Creates the history view in its place of the main window: the window's node notices keep
// its logger list current, its save results become the window's status text.
void AttachHistoryView(CCorvaneManagerDlg &window, CCorvaneODBC &db);
