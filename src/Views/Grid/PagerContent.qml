import QtQuick
import Tarnwick.ViewModels

// The strip of pages, shifted by the pager's drawn offset.
Item {
    id: root
    required property PagerModel pager
    default property alias content: strip.data

    Item {
        id: strip
        x: -root.pager.drawnOffsetX
        width: root.width
        height: root.height
    }
}
