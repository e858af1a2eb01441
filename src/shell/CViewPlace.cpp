#include "shell/CViewPlace.h"

#include <QLabel>
#include <QVBoxLayout>

CViewPlace::CViewPlace(CorvaneView view, const QString &title, QWidget *parent)
    : QWidget(parent), m_view(view), m_title(title)
{
    setObjectName(QStringLiteral("viewPlace%1").arg(static_cast<int>(view)));
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_titleLabel = new QLabel(title, this);
    m_titleLabel->setObjectName(QStringLiteral("viewTitle"));
    m_titleLabel->setAlignment(Qt::AlignCenter);
    QFont font = m_titleLabel->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    m_titleLabel->setFont(font);
    m_layout->addWidget(m_titleLabel);
}

void CViewPlace::SetView(QWidget *view)
{
    if (!view || view == m_content)
        return;
    delete m_titleLabel;
    m_titleLabel = nullptr;
    delete m_content;
    m_content = view;
    m_layout->addWidget(view);
}

void CViewPlace::Post(ViewNotify code, int argument)
{
    QMetaObject::invokeMethod(
        this, [this, code, argument] { emit notified(code, argument); }, Qt::QueuedConnection);
}
