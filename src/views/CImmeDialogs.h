#pragma once

#include "views/CCommandDialogs.h"

#include <QDialog>

class QTimeEdit;

// The real-time interval of one logger: its name, type and address, the interval picker
// ("HH:mm:ss") and the buttons apply (mode 1) and apply to all checked (mode 2); cancel or
// Escape close without a mode. Enter does nothing.
class CImmeSetupDlg : public QDialog {
    Q_OBJECT
public:
    // interval: the logger's interval in seconds (the picker starts at 00:01:00 for 0).
    CImmeSetupDlg(const QString &name, const QString &type, const QString &address, qint64 interval,
                  QWidget *parent = nullptr);

    // The picker's span in seconds.
    [[nodiscard]] qint64 Interval() const { return m_interval; }
    // 1 apply, 2 apply to all checked, 0 closed otherwise.
    [[nodiscard]] int Mode() const { return m_mode; }
    [[nodiscard]] QTimeEdit *Picker() const { return m_picker; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void CloseWith(int mode);

    QTimeEdit *m_picker = nullptr;
    qint64 m_interval = 0;
    int m_mode = 0;
};

// Start real-time data: name and interval of each checked logger.
class CImmeStartDlg : public CListConfirmDlg {
    Q_OBJECT
public:
    explicit CImmeStartDlg(const std::vector<QStringList> &rows, QWidget *parent = nullptr);
};

// Stop real-time data: name and interval of each checked logger.
class CImmeStopDlg : public CListConfirmDlg {
    Q_OBJECT
public:
    explicit CImmeStopDlg(const std::vector<QStringList> &rows, QWidget *parent = nullptr);
};
