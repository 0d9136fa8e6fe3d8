import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// A day as "2026年3月2日"; a click opens a month calendar in which the days before the chooser's minimum cannot be
// picked. The day, the minimum and the pick live in the chooser (its owner's), so no day crosses into script.
Rectangle {
    id: field
    required property DayChooser chooser
    readonly property bool popupOpen: popup.opened

    implicitWidth: Math.max(130, label.implicitWidth + 40)
    implicitHeight: 34
    radius: 8
    color: Theme.textBackground
    border.width: 1
    border.color: ControlLook.numberFieldBorder(popup.visible || field.activeFocus)
    activeFocusOnTab: true
    Accessible.role: Accessible.ComboBox
    Accessible.name: field.chooser.text

    Text {
        id: label
        objectName: "dayText"
        x: 11
        anchors.verticalCenter: parent.verticalCenter
        text: field.chooser.text
        font.family: Theme.fontFamily
        font.pixelSize: 13
        color: Theme.primary
    }
    Symbol {
        x: field.width - 11 - width
        anchors.verticalCenter: parent.verticalCenter
        name: "chevron.down"
        size: 9
        color: Theme.secondary
    }
    TapHandler {
        onTapped: field.openCalendar()
    }
    Keys.onSpacePressed: field.openCalendar()
    function openCalendar() {
        field.chooser.showDaysMonth()
        popup.open()
    }

    Popup {
        id: popup
        objectName: "dayPopup"
        // Above the sheet it opens from, which may itself be a pop-up.
        z: 100
        // Below the field, its right edge on the field's: the field stands at the right of its row.
        x: field.width - width
        y: field.height + 4
        padding: 10
        // Kept inside the window: moved up over the field when there is no room below it.
        margins: 8
        modal: false
        focus: true
        closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent
        background: Rectangle {
            radius: 10
            color: Theme.textBackground
            border.width: 1
            border.color: Qt.rgba(0, 0, 0, 0.16)
            InputCatcher {}
        }
        contentItem: Column {
            spacing: 6
            Item {
                width: grid.width
                height: 24
                Text {
                    objectName: "monthTitle"
                    anchors.verticalCenter: parent.verticalCenter
                    x: 4
                    text: field.chooser.shownMonthTitle
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    font.weight: Font.DemiBold
                    color: Theme.primary
                }
                Row {
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 2
                    StepArrow {
                        objectName: "previousMonth"
                        width: 24
                        height: 22
                        symbol: "chevron.left"
                        enabled: field.chooser.canShowPreviousMonth
                        opacity: ControlLook.enabledOpacity(enabled)
                        onClicked: field.chooser.showPreviousMonth()
                    }
                    StepArrow {
                        objectName: "nextMonth"
                        width: 24
                        height: 22
                        symbol: "chevron.right"
                        onClicked: field.chooser.showNextMonth()
                    }
                }
            }
            DayOfWeekRow {
                width: grid.width
                locale: grid.locale
                delegate: Text {
                    text: model.narrowName
                    horizontalAlignment: Text.AlignHCenter
                    font.family: Theme.fontFamily
                    font.pixelSize: 11
                    color: Theme.secondary
                }
            }
            MonthGrid {
                id: grid
                objectName: "monthGrid"
                width: 7 * 30
                spacing: 0
                year: field.chooser.shownYear
                month: field.chooser.shownMonthIndex
                locale: Qt.locale("zh_CN")
                // The grid hands its cells context properties (no required ones in this Qt).
                delegate: Rectangle {
                    id: cell
                    readonly property int day: model.day
                    readonly property int month: model.month
                    readonly property int year: model.year
                    readonly property bool inMonth: month === grid.month
                    readonly property bool selectable: field.chooser !== null && field.chooser.revision >= 0
                                                       && field.chooser.isSelectable(year, month, day)
                    readonly property bool chosen: field.chooser !== null && field.chooser.revision >= 0
                                                   && field.chooser.isShownDay(year, month, day)
                    objectName: inMonth ? "day" + day : ""
                    implicitWidth: 30
                    implicitHeight: 26
                    radius: 6
                    color: chosen ? Theme.accent : "transparent"
                    // The neighbouring months' days fill the weeks, faint and not to be picked.
                    opacity: inMonth ? 1 : 0.35
                    TapHandler {
                        enabled: cell.inMonth
                        onTapped: if (field.chooser.choose(cell.year, cell.month, cell.day)) popup.close()
                    }
                    Text {
                        anchors.centerIn: parent
                        text: cell.day
                        font.family: Theme.fontFamily
                        font.pixelSize: 12
                        color: cell.chosen ? "white" : cell.selectable ? Theme.primary : Theme.tertiaryLabel
                    }
                }
            }
        }
    }
}
