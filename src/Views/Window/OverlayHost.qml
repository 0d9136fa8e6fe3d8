import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Templates as T
import Tarnwick.Views

// An overlay over the whole window content, above every sheet: it fades in and out (0.18 s) while `shown` holds,
// is made fresh each time and has the keyboard while it shows.
Popup {
    id: overlay
    property bool shown: false
    property Component content
    signal dismissed()

    parent: T.Overlay.overlay
    x: 0
    y: 0
    width: parent ? parent.width : 0
    height: parent ? parent.height : 0
    modal: true
    dim: false
    focus: true
    padding: 0
    closePolicy: Popup.NoAutoClose
    z: 100

    onShownChanged: shown ? open() : close()
    Component.onCompleted: if (shown) open()
    onClosed: dismissed()

    enter: Transition { NumberAnimation { property: "opacity"; from: 0; to: 1; duration: 180; easing.type: Easing.InOutQuad } }
    exit: Transition { NumberAnimation { property: "opacity"; from: 1; to: 0; duration: 180; easing.type: Easing.InOutQuad } }

    background: InputCatcher {}
    contentItem: FocusScope {
        focus: true
        Loader {
            anchors.fill: parent
            focus: true
            active: overlay.visible
            sourceComponent: overlay.content
        }
    }
}
