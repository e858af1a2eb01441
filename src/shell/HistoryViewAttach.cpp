#include "shell/HistoryViewAttach.h"

#include "history/CFormviewHistory.h"
#include "network/CCorvaneBeeNode.h"
#include "shell/CCorvaneManagerDlg.h"
#include "shell/CViewPlace.h"

void AttachHistoryView(CCorvaneManagerDlg &window, CCorvaneODBC &db)
{
    auto *view = new CFormviewHistory(theNodeTable(), db, &window.Prompt());
    CViewPlace *place = window.Place(CorvaneView::History);
    place->SetView(view);
    QObject::connect(place, &CViewPlace::notified, view, [view](ViewNotify code, int argument) {
        if (code == ViewNotify::Reload || (code == ViewNotify::NodeChanged && argument == 0))
            view->RefreshList();
        else if (code == ViewNotify::NodeChanged)
            view->UpdateNode(argument);
    });
    QObject::connect(view, &CFormviewHistory::statusChanged, &window,
                     [&window](const QString &text) { window.OnStatusChanged(text, window.Progress()); });
}
