#pragma once

class CCorvaneManagerDlg;
class CCorvaneODBC;
class CUart_CommApp;

// Creates the real-time, logging command and download views, puts them in their places of the main
// window and connects them to the window's notifications and to the link.
void AttachCommandViews(CCorvaneManagerDlg &window, CCorvaneODBC &db, CUart_CommApp &link);
