#include "ui/DockPlacement.h"

#include "ui/MainWindow.h"

#include <QAction>
#include <QDockWidget>
#include <QEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace aostrack {

namespace {

// The handle between the central widget and a dock.
constexpr int Separator = 8;

// Shows the dock's tab while the dock is shown (from the menu, the settings
// or the program) and hides it with the dock. A dock inside a page that is
// out of view gets no show event, only the "to parent" ones.
class TabFollower : public QObject {
public:
    TabFollower(QTabWidget& pages, QWidget& page, QDockWidget& dock)
        : QObject(&dock)
        , m_pages(pages)
        , m_page(page)
        , m_dock(dock)
    {
        // No tab bar for the tracking view alone: it would cost a line.
        m_pages.setTabBarAutoHide(false);
        Show(!m_dock.isHidden());
        m_dock.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
            Show(event->type() == QEvent::ShowToParent);
        // Out of view with its page, not closed: QDockWidget would untick
        // its menu entry on any hide event.
        if (event->type() == QEvent::Hide && !m_dock.isHidden()) {
            emit m_dock.visibilityChanged(false);
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Show(bool shown)
    {
        const int at = m_pages.indexOf(&m_page);
        m_pages.setTabVisible(at, shown);
        m_pages.tabBar()->setVisible(shown);
        m_pages.setCurrentIndex(shown ? at : 0);
        m_dock.toggleViewAction()->setChecked(shown);
    }

    QTabWidget& m_pages;
    QWidget& m_page;
    QDockWidget& m_dock;
};

void AddAsTab(QTabWidget& pages, QDockWidget& dock)
{
    // The dock sits in a page of its own: changing tabs hides the page, never
    // the dock, so its menu entry stays ticked while the table is out of view.
    auto* page = new QWidget(&pages);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(&dock);
    // Closable for the menu entry; neither moved nor floated out of its tab.
    dock.setFeatures(QDockWidget::DockWidgetClosable);
    dock.setTitleBarWidget(new QWidget(&dock)); // the tab says what it is
    pages.addTab(page, dock.windowTitle());
    new TabFollower(pages, *page, dock);
}

} // namespace

DockPlace ChooseDockPlace(QSize room, QSize window, QSize dock)
{
    if (window.width() + Separator + dock.width() <= room.width()
        && std::max(window.height(), dock.height()) <= room.height())
        return DockPlace::Beside;
    if (window.height() + Separator + dock.height() <= room.height()
        && std::max(window.width(), dock.width()) <= room.width())
        return DockPlace::Below;
    return DockPlace::Tab;
}

DockPlace PlaceDock(MainWindow& window, QDockWidget& dock)
{
    const DockPlace place
        = ChooseDockPlace(window.RoomOnScreen(), window.minimumSizeHint(), dock.minimumSizeHint());
    switch (place) {
    case DockPlace::Beside:
        dock.setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
        window.addDockWidget(Qt::RightDockWidgetArea, &dock);
        break;
    case DockPlace::Below:
        dock.setAllowedAreas(Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea);
        window.addDockWidget(Qt::BottomDockWidgetArea, &dock);
        break;
    case DockPlace::Tab:
        AddAsTab(*window.Controls().Pages, dock);
        break;
    }
    return place;
}

} // namespace aostrack
