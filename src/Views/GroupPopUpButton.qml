import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels

// The group picker of the editors: a pop-up button over {"text", "value"} choices. It shows `currentIndex` (−1, a
// blank button, for a reference no choice matches) and reports a pick through chosen.
ComboBox {
    id: box
    property var choices: []
    signal chosen(int index)

    model: choices
    textRole: "text"
    valueRole: "value"
    implicitWidth: 180
    implicitHeight: 24
    focusPolicy: Qt.NoFocus
    font.family: Theme.fontFamily
    font.pixelSize: 12
    onActivated: index => {
        box.chosen(index)
        currentIndex = Qt.binding(() => box.shownIndex)
    }
    property int shownIndex: -1
    currentIndex: shownIndex

    contentItem: Text {
        leftPadding: 9
        rightPadding: 22
        text: box.displayText
        font: box.font
        color: Theme.primary
        elide: Text.ElideRight
        verticalAlignment: Text.AlignVCenter
    }
    indicator: Symbol {
        x: box.width - width - 8
        y: (box.height - height) / 2
        name: "chevron.up.chevron.down"
        size: 9
        color: Theme.secondary
    }
    background: SettingsButtonSurface {
        hovered: box.hovered
        pressed: box.pressed
    }
    delegate: ItemDelegate {
        id: entry
        objectName: "choice_" + index
        width: box.popup.width
        height: 24
        highlighted: box.highlightedIndex === index
        contentItem: Text {
            text: modelData.text
            font: box.font
            color: entry.highlighted ? "white" : Theme.primary
            elide: Text.ElideRight
            verticalAlignment: Text.AlignVCenter
        }
        background: Rectangle {
            radius: 4
            color: entry.highlighted ? Theme.accent : "transparent"
        }
    }
    // Above the sheet it opens from, which may itself be a pop-up.
    popup.z: 100
    popup.padding: 4
    popup.background: Rectangle {
        radius: 6
        color: Theme.textBackground
        border.width: 0.5
        border.color: Qt.rgba(0, 0, 0, 0.18)
    }
}
