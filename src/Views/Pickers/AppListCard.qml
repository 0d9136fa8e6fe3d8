import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels

// The card that holds an app list in a sheet: `listHeight` high, 4 of padding above and below the rows, the empty
// state while `model` has no row, rounded corners and a thin inner border.
Rectangle {
    id: card
    property var model
    property Component delegate
    property real listHeight: 320
    readonly property alias list: list

    implicitHeight: listHeight
    radius: AppSheetLook.listCardRadius
    color: Theme.textBackground
    clip: true

    ListView {
        id: list
        objectName: "list"
        anchors.fill: parent
        topMargin: 4
        bottomMargin: 4
        clip: true
        model: card.model
        delegate: card.delegate
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {
            policy: list.contentHeight + 8 > list.height ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
        }
    }
    AppListEmptyState {
        objectName: "emptyState"
        visible: list.count === 0
        y: 4
        width: parent.width
        height: card.listHeight - 40
    }
    Rectangle {
        anchors.fill: parent
        radius: card.radius
        color: "transparent"
        border.width: 1
        border.color: AppSheetLook.listCardBorder
    }
}
