import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Tarnwick.App
import Tarnwick.ViewModels

// The search field of a sheet that lists apps: the magnifying glass, the field "搜索应用…" and, while it holds any
// text, the button that empties it. `trailing` goes at the end of the row (the add sheet's batch buttons).
SheetFieldFrame {
    id: search
    property alias text: field.text
    property alias field: field
    property alias trailing: trailingRow.data

    focused: field.activeFocus

    Symbol {
        name: "magnifyingglass"
        size: 12
        color: Theme.secondary
    }
    SheetPlainTextField {
        id: field
        objectName: "searchField"
        Layout.fillWidth: true
        focus: true
        placeholderText: "搜索应用…"
    }
    Item {
        id: clearButton
        objectName: "clearSearch"
        visible: field.text.length > 0
        implicitWidth: 16
        implicitHeight: 16
        Accessible.role: Accessible.Button
        Accessible.name: "清除搜索"
        Symbol {
            anchors.centerIn: parent
            name: "xmark.circle.fill"
            size: 12
            color: Theme.tertiaryLabel
        }
        TapHandler {
            onTapped: field.text = ""
        }
        HoverHandler {
            id: clearHover
            cursorShape: Qt.PointingHandCursor
        }
        ToolTip.visible: clearHover.hovered
        ToolTip.delay: 600
        ToolTip.text: "清除搜索"
    }
    Row {
        id: trailingRow
        visible: children.length > 0
        Layout.leftMargin: 8 - 6 // at least 8 after the field, less the row's spacing
    }
}
