import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Templates as T
import Tarnwick.App

// An in-window sheet: a modal popup, centred and dimmed, that opens while `shown` holds and reports when it closed.
// Its content is made fresh each time it opens and has the keyboard while it shows.
Popup {
    id: sheet
    property bool shown: false
    property Component content
    signal dismissed()

    parent: T.Overlay.overlay
    anchors.centerIn: parent
    modal: true
    dim: true
    focus: true
    padding: 0
    closePolicy: Popup.CloseOnEscape
    z: 10

    onShownChanged: shown ? open() : close()
    Component.onCompleted: if (shown) open()
    onClosed: dismissed()

    background: Rectangle {
        radius: 12
        color: "#F2F2F4"
        border.width: 0.5
        border.color: Qt.rgba(0, 0, 0, 0.12)
        InputCatcher {}
    }
    contentItem: FocusScope {
        implicitWidth: loader.implicitWidth
        implicitHeight: loader.implicitHeight
        focus: true
        Loader {
            id: loader
            focus: true
            active: sheet.visible
            sourceComponent: sheet.content
        }
    }
}
