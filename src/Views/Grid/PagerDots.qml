import QtQuick
import Tarnwick.ViewModels

// The paged grid's dots: one per page, the current page marked; hidden (keeping its place) with a single page.
Item {
    id: root
    required property PagerModel pager

    implicitHeight: 20
    opacity: pager.pageCount > 1 ? 1 : 0

    PageDots {
        objectName: "pageDots"
        anchors.centerIn: parent
        count: root.pager.pageCount
        current: root.pager.currentPage
        onSelect: (page) => root.pager.snap(page, 0)
    }
}
