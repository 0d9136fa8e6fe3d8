import QtQuick
import Tarnwick.App
import Tarnwick.Views

// The supervision panel in the launcher window's sheet host, shown while the state object asks for it; `closes`
// counts its closings.
Rectangle {
    id: page
    required property AppState state
    property int closes: 0
    width: 700
    height: 640
    color: Qt.rgba(247 / 255, 247 / 255, 247 / 255, 1)

    SheetHost {
        id: host
        shown: page.state.showSupervision
        content: SupervisionPanel {
            objectName: "supervisionPanel"
            state: page.state
            onDone: host.close()
        }
        onDismissed: {
            if (page.state.showSupervision)
                page.state.showSupervision = false
            page.closes += 1
        }
    }
}
