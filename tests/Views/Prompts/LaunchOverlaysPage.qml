import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Templates as T
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The focus set-up sheet in a modal sheet and the quit card in an overlay above it, as the main window hosts them.
Item {
    id: page
    required property LaunchPromptModels models
    required property AppState state

    Rectangle { anchors.fill: parent; color: "#F7F7F7" }
    Text { x: 20; y: 20; text: "Tarnwick"; font.family: Theme.fontFamily; font.pixelSize: 20 }

    Popup {
        id: sheet
        parent: T.Overlay.overlay
        anchors.centerIn: parent
        modal: true
        focus: true
        padding: 0
        closePolicy: Popup.NoAutoClose
        visible: page.state.hasPendingFocusApp
        z: 10
        background: Rectangle { radius: 12; color: "#F2F2F4" }
        contentItem: FocusSetupSheet { models: page.models }
    }
    Popup {
        parent: T.Overlay.overlay
        x: 0
        y: 0
        width: parent.width
        height: parent.height
        modal: true
        dim: false
        focus: true
        padding: 0
        closePolicy: Popup.NoAutoClose
        visible: page.state.showQuitConfirm
        z: 100
        background: Item {}
        contentItem: Loader {
            focus: true
            active: page.state.showQuitConfirm
            sourceComponent: QuitConfirmCard { state: page.state }
        }
    }
}
