pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic as Controls
import QtQuick.Templates as T
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The group tab strip above the grid: "全部应用", one tab per group and the add button; in hidden-apps mode the
// "已隐藏" header and "返回全部应用" instead. A group tab has its own menu and can be dragged onto another tab to
// reorder; the rules live in GroupTabsModel.
Item {
    id: strip
    required property GroupTabsModel tabs
    // Our own drag key: only a group tab's drag reaches the tabs.
    readonly property string dragKey: "tarnwick/group-tab"

    implicitHeight: tabs.hiddenMode ? hiddenRow.y + hiddenRow.height : normalRow.implicitHeight
    implicitWidth: 600

    // --- Hidden-apps row.
    Item {
        id: hiddenRow
        objectName: "hiddenRow"
        visible: strip.tabs.hiddenMode
        x: 40
        y: 6
        width: strip.width - 80
        height: 18

        Row {
            anchors.verticalCenter: parent.verticalCenter
            spacing: 5
            Symbol {
                anchors.verticalCenter: parent.verticalCenter
                name: "eye.slash"
                size: 11
                color: Theme.secondary
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: "已隐藏"
                font.family: Theme.fontFamily
                font.pixelSize: 15
                color: Theme.secondary
            }
        }
        TabButton {
            objectName: "backToAllTab"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            title: "返回全部应用"
            onClicked: strip.tabs.leaveHiddenMode()
        }
    }

    // --- Normal row: scrolls sideways by the wheel only, so a mouse drag on a tab is always the tab's drag.
    Flickable {
        id: normalRow
        objectName: "normalRow"
        visible: !strip.tabs.hiddenMode
        anchors.fill: parent
        implicitHeight: row.height + 6
        interactive: false
        clip: true
        contentWidth: row.width + 80
        contentHeight: height

        WheelHandler {
            onWheel: (event) => {
                const delta = event.pixelDelta.x !== 0 || event.pixelDelta.y !== 0
                            ? (event.pixelDelta.x || event.pixelDelta.y) : (event.angleDelta.x || event.angleDelta.y) / 2
                normalRow.contentX = Math.max(0, Math.min(normalRow.contentWidth - normalRow.width,
                                                          normalRow.contentX - delta))
            }
        }

        Row {
            id: row
            x: 40
            y: 6
            spacing: 18

            TabButton {
                objectName: "allAppsTab"
                anchors.verticalCenter: parent.verticalCenter
                title: "全部应用"
                selected: strip.tabs.allAppsSelected
                onClicked: strip.tabs.selectAll()
            }

            Repeater {
                model: strip.tabs
                delegate: Item {
                    id: groupTab
                    required property int index
                    required property string name
                    required property string refID
                    required property bool selected
                    required property bool markerShown
                    required property bool markerAfter

                    objectName: "groupTab:" + name
                    anchors.verticalCenter: parent ? parent.verticalCenter : undefined
                    width: button.implicitWidth
                    height: button.implicitHeight

                    TabButton {
                        id: button
                        title: groupTab.name
                        selected: groupTab.selected
                        onClicked: strip.tabs.selectGroup(groupTab.index)
                    }

                    TapHandler {
                        acceptedButtons: Qt.RightButton
                        onTapped: (point) => tabMenu.popup(groupTab, point.position)
                    }
                    Controls.Menu {
                        id: tabMenu
                        // Modal without a dim: a press outside closes the menu and goes no further.
                        modal: true
                        dim: false
                        topPadding: 5
                        bottomPadding: 5
                        background: ContextMenuBackground { implicitWidth: 140 }
                        AppContextMenuItem {
                            text: "重命名"
                            onTriggered: strip.tabs.renameGroup(groupTab.index)
                        }
                        // Destructive: the danger colour.
                        AppContextMenuItem {
                            objectName: "deleteGroupItem"
                            text: "删除分组"
                            textColor: Theme.danger
                            onTriggered: strip.tabs.deleteGroup(groupTab.index)
                        }
                    }

                    // The drag: a proxy follows the pointer and carries our key; the tab itself stays in place.
                    Item {
                        id: dragProxy
                        width: 1
                        height: 1
                        Drag.active: dragHandler.active
                        Drag.keys: [strip.dragKey]
                        Drag.hotSpot.x: 0
                        Drag.hotSpot.y: 0
                    }
                    DragHandler {
                        id: dragHandler
                        target: dragProxy
                        onActiveChanged: {
                            if (active) {
                                strip.tabs.dragStarted(groupTab.index)
                            } else {
                                dragProxy.Drag.drop()
                                strip.tabs.dragEnded()
                                dragProxy.x = 0
                                dragProxy.y = 0
                            }
                        }
                    }
                    DropArea {
                        anchors.fill: parent
                        keys: [strip.dragKey]
                        onEntered: (drag) => strip.tabs.dragEntered(groupTab.index, drag.x, width)
                        onExited: strip.tabs.dragExited(groupTab.index)
                        onDropped: (drop) => { drop.accepted = strip.tabs.dropped(groupTab.index, drop.x, width) }
                    }

                    Rectangle {
                        objectName: "dropMarker"
                        visible: groupTab.markerShown
                        width: 2
                        height: 14
                        radius: 1
                        color: Theme.accent
                        anchors.verticalCenter: parent.verticalCenter
                        x: groupTab.markerAfter ? parent.width - width / 2 : -width / 2
                    }
                }
            }

            Item {
                id: addButton
                objectName: "addGroupButton"
                anchors.verticalCenter: parent.verticalCenter
                width: 14
                height: 14
                Symbol {
                    anchors.centerIn: parent
                    name: "plus"
                    size: 12
                    color: "black"
                }
                HoverHandler {
                    cursorShape: Qt.PointingHandCursor
                    onHoveredChanged: strip.tabs.hoveringAddGroup = hovered
                }
                TapHandler {
                    onTapped: strip.tabs.addGroup()
                }
            }
        }
    }

    // --- The naming sheet, while a group is being named.
    Controls.Popup {
        id: namingSheet
        objectName: "namingSheet"
        parent: T.Overlay.overlay
        anchors.centerIn: parent
        modal: true
        dim: true
        focus: true
        padding: 0
        closePolicy: Controls.Popup.CloseOnEscape
        // Escape closes the sheet: the same as "取消", nothing is written.
        onClosed: strip.tabs.cancelNaming()

        background: Rectangle {
            radius: 12
            color: Theme.windowBackground
            border.width: 0.5
            border.color: Theme.separator
            InputCatcher {}
        }
        onOpened: naming.focusField()
        contentItem: GroupNamingSheet {
            id: naming
            tabs: strip.tabs
        }
    }
    Connections {
        target: strip.tabs
        function onNamingChanged() { strip.tabs.naming ? namingSheet.open() : namingSheet.close() }
    }
}
