import QtQuick

// The row of a block in force or a running session: the title with its badge over the subtitle and, only while the
// pointer is over the row, the close button.
SupervisionCard {
    id: row
    signal closeClicked()

    hasSwitch: false
    actions: Component {
        CardIconButton {
            objectName: "closeButton"
            symbol: "xmark"
            destructive: true
            tip: "关闭"
            onClicked: row.closeClicked()
        }
    }
}
