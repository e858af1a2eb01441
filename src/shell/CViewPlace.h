#pragma once

#include "shell/ViewNotify.h"

#include <QWidget>

class QLabel;
class QVBoxLayout;

// One view's place in the main window's stacked area. Until the view itself is attached the
// place shows the view's title. Notifications for the view leave through notified(); the main
// window emits it from the event loop, so a receiver runs after the sender's handler returned,
// whatever the connection type.
class CViewPlace final : public QWidget {
    Q_OBJECT
public:
    CViewPlace(CorvaneView view, const QString &title, QWidget *parent = nullptr);

    [[nodiscard]] CorvaneView ViewId() const { return m_view; }
    [[nodiscard]] QString Title() const { return m_title; }
    // The attached view, or null while the place shows its title.
    [[nodiscard]] QWidget *View() const { return m_content; }
    // Puts the view in the place (the place takes ownership) instead of the title.
    void SetView(QWidget *view);

    // Emits notified() once control returns to the event loop.
    void Post(ViewNotify code, int argument);

signals:
    void notified(ViewNotify code, int argument);

private:
    CorvaneView m_view;
    QString m_title;
    QVBoxLayout *m_layout = nullptr;
    QLabel *m_titleLabel = nullptr;
    QWidget *m_content = nullptr;
};
