import QtQuick
import Tarnwick.ViewModels

// Seven weekday chips, Sunday first, sharing the row. It shows `selection` (weekday numbers, 1 = Sunday) and reports
// the toggled set through selectionEdited; any set is accepted, the empty one too.
Row {
    id: picker
    property var selection: []
    signal selectionEdited(var newSelection)

    function toggle(day) { selectionEdited(FormRules.toggle(selection, day)) }

    width: parent ? parent.width : 7 * 32 + 6 * 6
    spacing: 6

    Repeater {
        model: 7
        WeekdayChipStyle {
            required property int index
            objectName: "day" + (index + 1)
            width: (picker.width - 6 * picker.spacing) / 7
            text: FormRules.weekdayNames()[index]
            selected: picker.selection.indexOf(index + 1) >= 0
            onClicked: picker.toggle(index + 1)
        }
    }
}
