pragma ComponentBehavior: Bound
import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The panel's three tabs in a grey track; the selected one sits on a raised white shape. A click switches at once.
Item {
    id: bar
    property string current: "launch"
    signal picked(string tab)

    width: parent ? parent.width : 476
    implicitHeight: 26 + 4 + 14

    Rectangle {
        id: track
        x: 22
        width: bar.width - 44
        height: 30
        radius: 8
        color: SupervisionLook.tabTrack()

        Row {
            x: 2
            y: 2
            spacing: 2
            Repeater {
                model: [{ title: "启动条件", tab: "launch" }, { title: "禁启规则", tab: "restrict" },
                        { title: "定时退出", tab: "quit" }]
                Item {
                    id: item
                    required property var modelData
                    readonly property bool selected: bar.current === modelData.tab
                    objectName: "tab_" + modelData.tab
                    width: (track.width - 4 - 4) / 3
                    height: 26
                    Accessible.role: Accessible.PageTab
                    Accessible.name: modelData.title

                    CardShadow {
                        anchors.fill: parent
                        visible: item.selected
                        radius: 6
                        blur: 2
                        offsetY: 1
                        strength: SupervisionLook.tabShadowStrength(item.selected)
                    }
                    Rectangle {
                        anchors.fill: parent
                        radius: 6
                        color: item.selected ? SettingsPalette.surface : "transparent"
                    }
                    Text {
                        anchors.centerIn: parent
                        text: item.modelData.title
                        textFormat: Text.PlainText
                        font.family: Theme.fontFamily
                        font.pixelSize: 13 // 12.5 rounded: pixel sizes are whole
                        font.weight: SupervisionLook.tabTitleWeight(item.selected)
                        color: SupervisionLook.tabTitle(item.selected)
                    }
                    HoverHandler { cursorShape: Qt.PointingHandCursor }
                    TapHandler { onTapped: bar.picked(item.modelData.tab) }
                }
            }
        }
    }
}
