#include "shell/CommandViewsAttach.h"

#include "link/CUartAffairLink.h"
#include "link/CUart_CommApp.h"
#include "network/CCorvaneBeeNode.h"
#include "shell/CCorvaneManagerDlg.h"
#include "shell/CViewPlace.h"
#include "views/CFormviewCommand.h"
#include "views/CFormviewDownload.h"
#include "views/CFormviewImme.h"
#include "views/core/DownloadPlans.h"

namespace {

// The node-list views: reload, one node changed (0: all nodes).
template <typename View> void ConnectNotices(CViewPlace *place, View *view)
{
    QObject::connect(place, &CViewPlace::notified, view, [view](ViewNotify code, int argument) {
        if (code == ViewNotify::Reload || (code == ViewNotify::NodeChanged && argument == 0))
            view->RefreshList();
        else if (code == ViewNotify::NodeChanged)
            view->UpdateNode(argument);
    });
}

} // namespace

void AttachCommandViews(CCorvaneManagerDlg &window, CCorvaneODBC &db, CUart_CommApp &link)
{
    const auto submit = [&link](CUartAffairInterface *source, RequestKind kind, int row) {
        return link.SubmitCommand(source, kind, row);
    };
    const auto cancel = [&link](RequestKind kind, const QString &address) {
        const auto ext = FrameCodec::AddressFromText(address);
        return ext && link.Link().CancelQueued(kind, *ext) == 1;
    };

    auto *imme = new CFormviewImme(theNodeTable(), db, submit, cancel, &window.Prompt());
    CViewPlace *immePlace = window.Place(CorvaneView::Imme);
    immePlace->SetView(imme);
    ConnectNotices(immePlace, imme);
    QObject::connect(&theNodeTable().Notifier(), &NetworkNotifier::newSample, imme,
                     &CFormviewImme::UpdateNode);

    auto *command = new CFormviewCommand(theNodeTable(), db, submit, cancel, &window.Prompt());
    CViewPlace *commandPlace = window.Place(CorvaneView::Command);
    commandPlace->SetView(command);
    ConnectNotices(commandPlace, command);

    auto *download = new CFormviewDownload(theNodeTable(), db, submit, cancel, &window.Prompt());
    download->Planner().SetConnected([&link] { return link.Port().ConnectedPort() >= 0; });
    CViewPlace *downloadPlace = window.Place(CorvaneView::Download);
    downloadPlace->SetView(download);
    ConnectNotices(downloadPlace, download);
    // View-specific notice: 1 starts the plan timer, anything else stops it.
    QObject::connect(downloadPlace, &CViewPlace::notified, download,
                     [download](ViewNotify code, int argument) {
                         if (code == ViewNotify::Specific)
                             download->Planner().ForceTimer(argument == 1);
                     });
}
