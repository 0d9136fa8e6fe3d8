import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

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
        width: box.popup.availableWidth
        implicitHeight: 24
        padding: 0
        leftPadding: 8
        rightPadding: 8
        text: modelData.text
        highlighted: box.highlightedIndex === index
        font: box.font
        contentItem: Text {
            text: entry.text
            font: entry.font
            color: entry.highlighted ? "white" : Theme.primary
            elide: Text.ElideRight
            verticalAlignment: Text.AlignVCenter
        }
        background: Rectangle {
            radius: 4
            color: entry.highlighted ? Theme.accent : "transparent"
        }
    }
    popup: Popup {
        y: box.height + 2
        // Above the sheet it opens from, which may itself be a pop-up.
        z: 100
        width: box.width
        implicitHeight: contentItem.implicitHeight + topPadding + bottomPadding
        padding: 4
        margins: 8
        contentItem: ListView {
            clip: true
            implicitHeight: contentHeight
            model: box.popup.visible ? box.delegateModel : null
            currentIndex: box.highlightedIndex
            boundsBehavior: Flickable.StopAtBounds
        }
        background: Rectangle {
            radius: 6
            color: Theme.textBackground
            border.width: 1
            border.color: Qt.rgba(0, 0, 0, 0.16)
            InputCatcher {}
        }
    }
}
