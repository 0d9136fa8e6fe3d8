import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App

// A text field without a frame of its own, for a SheetFieldFrame: 13-point text and a grey placeholder.
TextField {
    padding: 0
    leftPadding: 0
    rightPadding: 0
    font.family: Theme.fontFamily
    font.pixelSize: 13
    color: Theme.primary
    placeholderTextColor: Theme.tertiaryLabel
    selectByMouse: true
    background: null
    Accessible.name: placeholderText
}
