pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels

// The right-click menu of one app tile, made for one right click: its entries come from the menu model at that
// moment; it goes away once closed. Open it with popup() at the pointer.
Menu {
    id: root
    required property AppContextMenuModel model
    required property string bundleID
    property bool pinned: false

    // Modal without a dim: a press outside closes the menu and goes no further.
    modal: true
    dim: false
    font.family: Theme.fontFamily
    font.pixelSize: 13
    topPadding: 5
    bottomPadding: 5
    background: ContextMenuBackground { implicitWidth: 190 }

    delegate: AppContextMenuItem {}

    Component {
        id: commandItem
        AppContextMenuItem {
            property int entryID: -1
            onTriggered: root.model.trigger(entryID)
        }
    }
    Component {
        id: dividerItem
        MenuSeparator {
            contentItem: Rectangle {
                implicitHeight: 1
                color: Theme.separator
            }
        }
    }
    Component {
        id: submenuItem
        Menu {
            font: root.font
            topPadding: 5
            bottomPadding: 5
            background: ContextMenuBackground { implicitWidth: 160 }
            delegate: AppContextMenuItem {}
        }
    }

    // Adds the entries as items; a submenu gets its own entries.
    function fill(target, entries) {
        for (const e of entries) {
            if (e.kind === "divider")
                target.addItem(dividerItem.createObject(target.contentItem))
            else if (e.kind === "submenu")
                target.addMenu(fill(submenuItem.createObject(target, { title: e.label }), e.entries))
            else
                target.addItem(commandItem.createObject(target.contentItem, { text: e.label, isChecked: e.checked,
                    enabled: e.kind === "command", objectName: "menuEntry:" + e.label, entryID: e.id }))
        }
        return target
    }

    Component.onCompleted: fill(root, model.build(bundleID, pinned))
    onClosed: destroy()
}
