import QtQuick
import Tarnwick.App

// "取消" of a sheet that edits apps: a secondary text link; Escape presses it while its sheet is in front
// (`answersEscape`).
LinkTextButtonStyle {
    id: link
    property bool answersEscape: true

    text: "取消"
    color: Theme.secondary
    leftPadding: 10
    rightPadding: 10

    Shortcut {
        sequence: "Escape"
        enabled: link.answersEscape && link.enabled && link.visible
        onActivated: link.clicked()
    }
}
