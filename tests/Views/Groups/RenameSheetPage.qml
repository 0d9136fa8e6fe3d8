import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The rename sheet in the launcher window's sheet host; `closes` counts its closings.
Rectangle {
    id: page
    required property RenameSheetModel renameModel
    required property string bundleID
    property int closes: 0
    width: 560
    height: 360
    color: Qt.rgba(247 / 255, 247 / 255, 247 / 255, 1)

    SheetHost {
        id: host
        shown: true
        content: RenameSheet {
            model: page.renameModel
            bundleID: page.bundleID
            onDone: host.close()
        }
        onDismissed: page.closes += 1
    }
}
