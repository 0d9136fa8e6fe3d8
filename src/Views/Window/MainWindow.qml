import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels

// The one launcher window. Its content is made anew each time the window is shown again after a close.
Window {
    id: window
    required property AppState state
    required property MainViewFactory factory
    required property LaunchPromptModels prompts

    title: "Tarnwick"
    color: Qt.rgba(247 / 255, 247 / 255, 247 / 255, 1)
    minimumWidth: 694
    minimumHeight: 503

    Shortcut {
        sequences: ["Ctrl+Q"]
        context: Qt.ApplicationShortcut
        onActivated: window.factory.requestQuit()
    }

    Loader {
        id: content
        objectName: "mainContent"
        anchors.fill: parent
        focus: true
        active: window.visible
        sourceComponent: MainView {
            state: window.state
            factory: window.factory
            prompts: window.prompts
        }
    }
}
