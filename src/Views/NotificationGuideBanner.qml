import QtQuick

// The notification guide banner: a slot bound to the window's dismissed flag, filled by the prompts work.
Item {
    property bool isDismissed: false
    signal dismiss()
    implicitHeight: 0
}
