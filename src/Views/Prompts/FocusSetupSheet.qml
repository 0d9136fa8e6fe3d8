import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The sheet between a launch request and an app that asks for a focus session first: the task note, the minutes,
// the block afterwards and the three ways out. Return starts, Escape cancels, Ctrl+Shift+Return opens the app without
// a session (not for an app that runs inside a host). Its rules live in FocusSetupModel; it closes when the state
// object lets the app go.
FocusScope {
    id: sheet
    required property LaunchPromptModels models
    readonly property FocusSetupModel model: models.focusSetup(sheet)

    implicitWidth: 400
    implicitHeight: body.implicitHeight
    width: 400
    focus: true
    Component.onCompleted: noteField.forceActiveFocus()

    Keys.onShortcutOverride: event => event.accepted = (event.key === Qt.Key_Return || event.key === Qt.Key_Enter
                                                        || event.key === Qt.Key_Escape)
    Keys.onPressed: event => {
        event.accepted = true
        if (event.key === Qt.Key_Escape)
            sheet.model.cancel()
        else if (event.key !== Qt.Key_Return && event.key !== Qt.Key_Enter)
            event.accepted = false
        else if ((event.modifiers & (Qt.ControlModifier | Qt.ShiftModifier)) === (Qt.ControlModifier | Qt.ShiftModifier))
            sheet.model.openDirectly()
        else if ((event.modifiers & ~Qt.KeypadModifier) === Qt.NoModifier)
            sheet.model.startSession()
    }

    Column {
        id: body
        width: 400
        spacing: 0

        // The header.
        Column {
            width: parent.width
            topPadding: 32
            bottomPadding: 24
            spacing: 12
            Item {
                anchors.horizontalCenter: parent.horizontalCenter
                width: 72
                height: 72
                CardShadow {
                    anchors.fill: parent
                    radius: 16
                    blur: 10
                    offsetY: 4
                    strength: 0.15
                }
                Image {
                    anchors.fill: parent
                    source: sheet.model.iconSource
                    sourceSize: Qt.size(144, 144)
                    smooth: true
                    mipmap: true
                }
            }
            Text {
                objectName: "title"
                width: parent.width - 56
                anchors.horizontalCenter: parent.horizontalCenter
                horizontalAlignment: Text.AlignHCenter
                elide: Text.ElideMiddle
                text: sheet.model.title
                textFormat: Text.PlainText
                font.family: Theme.fontFamily
                font.pixelSize: 17
                font.weight: Font.Bold
                color: Theme.primary
            }
            Text {
                objectName: "subtitle"
                anchors.horizontalCenter: parent.horizontalCenter
                text: sheet.model.subtitle
                font.family: Theme.fontFamily
                font.pixelSize: 12
                color: Theme.secondary
            }
        }

        // The form.
        Column {
            x: 28
            width: parent.width - 56
            spacing: 16
            TextField {
                id: noteField
                objectName: "noteField"
                width: parent.width
                height: 38
                leftPadding: 14
                rightPadding: 14
                placeholderText: "现在要做什么？"
                placeholderTextColor: Theme.secondary
                text: sheet.model.note
                onTextEdited: sheet.model.note = text
                font.family: Theme.fontFamily
                font.pixelSize: 14
                color: Theme.primary
                selectionColor: Theme.accent
                background: Rectangle {
                    radius: 10
                    color: Qt.rgba(0, 0, 0, 0.05)
                }
            }
            FormCheckBox {
                objectName: "copyCheckbox"
                text: "开始时复制备注到剪切板"
                checked: sheet.model.noteAutoCopy
                onToggled: sheet.model.noteAutoCopy = checked
            }
            Column {
                width: parent.width
                spacing: 8
                Text {
                    text: "预计用时（分钟）"
                    font.family: Theme.fontFamily
                    font.pixelSize: 10
                    color: Theme.secondary
                }
                Row {
                    spacing: 8
                    NumberStepperField {
                        objectName: "minutesField"
                        width: 92
                        from: 1
                        to: 600
                        highlighted: sheet.model.minutesHighlighted
                        value: sheet.model.minutes
                        onValueEdited: newValue => sheet.model.minutes = newValue
                    }
                    Repeater {
                        model: sheet.model.presets
                        ChipButtonStyle {
                            required property int modelData
                            objectName: "chip" + modelData
                            width: 52
                            text: modelData
                            selected: sheet.model.minutes === modelData
                            onClicked: sheet.model.selectPreset(modelData)
                        }
                    }
                }
            }
            Row {
                spacing: 8
                height: 34
                FormCheckBox {
                    objectName: "blockCheckbox"
                    anchors.verticalCenter: parent.verticalCenter
                    text: "到期后禁止重新打开"
                    checked: sheet.model.blockAfter
                    onToggled: sheet.model.blockAfter = checked
                }
                NumberStepperField {
                    objectName: "blockMinutesField"
                    visible: sheet.model.blockAfter
                    anchors.verticalCenter: parent.verticalCenter
                    width: 92
                    from: 1
                    to: 1439
                    highlighted: false
                    value: sheet.model.blockMinutes
                    onValueEdited: newValue => sheet.model.blockMinutes = newValue
                }
                Text {
                    visible: sheet.model.blockAfter
                    anchors.verticalCenter: parent.verticalCenter
                    text: "分钟"
                    font.family: Theme.fontFamily
                    font.pixelSize: 12
                    color: Theme.secondary
                }
            }
        }

        // The buttons.
        Column {
            x: 28
            width: parent.width - 56
            topPadding: 24
            bottomPadding: 24
            spacing: 12
            SheetPrimaryButton {
                objectName: "startButton"
                width: parent.width
                height: 40
                title: sheet.model.startLabel
                font.pixelSize: 14
                answersReturn: false
                onClicked: sheet.model.startSession()
            }
            Item {
                width: parent.width
                height: cancelButton.implicitHeight
                LinkTextButtonStyle {
                    id: cancelButton
                    objectName: "cancelButton"
                    horizontalPadding: 10
                    text: "取消"
                    color: Theme.secondary
                    onClicked: sheet.model.cancel()
                }
                LinkTextButtonStyle {
                    objectName: "directButton"
                    visible: !sheet.model.embedded
                    anchors.right: parent.right
                    horizontalPadding: 10
                    text: "直接打开"
                    color: Theme.accent
                    ToolTip.visible: hovered
                    ToolTip.delay: 600
                    ToolTip.text: sheet.model.directOpenTooltip
                    onClicked: sheet.model.openDirectly()
                }
            }
        }
    }
}
