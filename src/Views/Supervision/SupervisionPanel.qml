import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The supervision panel, 520 × 500: the header, the three tabs, the scrolling tab area and "完成"; over it the
// turn-off card and the close card, and above it the editors and the two picker sheets. Made afresh at each opening
// with a model of its own (its rules live there); `done` asks the host to close it. While a card is open the content
// takes no input; Escape and Return go to the model, which answers the open card first.
FocusScope {
    id: panel
    required property AppState state
    readonly property SupervisionPanelModel model: SupervisionPanels.create(state, panel)
    readonly property bool cardOpen: model.hasDisableRequest || model.hasCloseTarget
    // The tab area is made once the appear step has chosen the tab.
    property bool appeared: false
    signal done()

    implicitWidth: 520
    implicitHeight: 500
    width: 520
    height: 500
    focus: true

    Component.onCompleted: {
        model.appear()
        appeared = true
    }
    onCardOpenChanged: if (cardOpen) panel.forceActiveFocus()
    Connections {
        target: panel.model
        function onDismissRequested() { panel.done() }
    }

    Keys.onShortcutOverride: event => event.accepted = (event.key === Qt.Key_Return || event.key === Qt.Key_Enter
                                                        || event.key === Qt.Key_Escape)
    Keys.onPressed: event => {
        event.accepted = true
        if (event.key === Qt.Key_Escape)
            panel.model.escape()
        else if ((event.key === Qt.Key_Return || event.key === Qt.Key_Enter)
                 && (event.modifiers & ~Qt.KeypadModifier) === Qt.NoModifier)
            panel.model.returnPressed()
        else
            event.accepted = false
    }

    Rectangle {
        anchors.fill: parent
        radius: 12
        color: SettingsPalette.background
    }

    Item {
        id: content
        objectName: "panelContent"
        anchors.fill: parent
        enabled: !panel.cardOpen

        SheetHeader {
            id: header
            width: parent.width
            title: "监督"
            subtitle: "启动条件、禁启规则与定时退出的统一管理"
        }
        SupervisionTabBar {
            id: tabBar
            objectName: "tabBar"
            y: header.height
            width: parent.width
            current: panel.model.tab
            onPicked: tab => panel.model.tab = tab
        }
        // The tab area: each tab scrolls by itself.
        Loader {
            id: tabLoader
            objectName: "tabLoader"
            y: tabBar.y + tabBar.height
            width: parent.width
            height: footer.y - y
            active: panel.appeared
            sourceComponent: panel.model.tab === "restrict" ? restrictTab
                             : panel.model.tab === "quit" ? quitTab : launchTab
        }
        Item {
            id: footer
            y: parent.height - height
            width: parent.width
            height: 10 + doneButton.height + 16
            SheetPrimaryButton {
                id: doneButton
                objectName: "doneButton"
                x: 22
                y: 10
                width: parent.width - 44
                title: "完成"
                answersReturn: false
                onClicked: panel.done()
            }
        }
    }

    Component {
        id: launchTab
        TabScrollArea {
            LaunchConditionsTab { model: panel.model }
        }
    }
    Component {
        id: restrictTab
        RestrictTab { shell: panel.model }
    }
    Component {
        id: quitTab
        QuitPlansTab {
            id: quitTabView
            objectName: "quitTab"
            tab: panel.model.makeQuitTab(quitTabView)
        }
    }

    // The editors, above the panel (dimmed behind them) while the model has a record for them; each closes through
    // its own model (saved or cancelled), which hands the record back. A click outside closes neither.
    SheetHost {
        id: ruleEditorHost
        objectName: "ruleEditorHost"
        z: 12
        closePolicy: Popup.NoAutoClose
        shown: panel.model.hasEditingRule
        content: RuleEditorSheet {
            id: ruleSheet
            objectName: "ruleEditor"
            model: panel.model.makeRuleEditor(ruleSheet)
        }
    }
    SheetHost {
        id: planEditorHost
        objectName: "planEditorHost"
        z: 12
        closePolicy: Popup.NoAutoClose
        shown: panel.model.hasEditingPlan
        content: QuitPlanEditorSheet {
            id: planSheet
            objectName: "planEditor"
            model: panel.model.makePlanEditor(planSheet)
        }
    }

    // The two picker sheets of the launch-conditions tab, above the panel.
    SheetHost {
        id: focusPickerHost
        objectName: "focusPickerHost"
        z: 12
        shown: panel.model.showAppPicker
        content: AppPickerSheet {
            id: focusSheet
            picker: panel.model.makeFocusPicker(focusSheet)
            title: "批量选择定时退出应用"
            subtitle: "勾选后，每次打开该应用都会先弹出定时退出确认卡片"
            onDone: focusPickerHost.close()
        }
        onDismissed: panel.model.showAppPicker = false
    }
    SheetHost {
        id: searchPickerHost
        objectName: "searchPickerHost"
        z: 12
        shown: panel.model.showSearchPagePicker
        content: AppPickerSheet {
            id: searchSheet
            picker: panel.model.makeSearchPagePicker(searchSheet)
            title: "打开时进入搜索页"
            subtitle: "勾选后，点击应用直接打开其搜索页；目前只支持哔哩哔哩HD版和小红书"
            onDone: searchPickerHost.close()
        }
        onDismissed: panel.model.showSearchPagePicker = false
    }

    // The cards, each on a scrim over the whole panel that takes every click and hover; the close card above.
    Rectangle {
        id: turnOffOverlay
        objectName: "turnOffOverlay"
        anchors.fill: parent
        radius: 12
        color: SupervisionLook.scrim()
        visible: panel.model.hasDisableRequest
        InputCatcher {}
        DisableConfirmCard {
            objectName: "disableCard"
            anchors.centerIn: parent
            canPauseOnce: panel.model.canPauseOnce
            // The answers in the model's order: pause once, always, cancel.
            onPauseOnce: panel.model.resolveDisableRaw(0)
            onAlways: panel.model.resolveDisableRaw(1)
            onCancel: panel.model.resolveDisableRaw(2)
        }
    }
    Rectangle {
        id: closeOverlay
        objectName: "closeOverlay"
        anchors.fill: parent
        radius: 12
        color: SupervisionLook.scrim()
        visible: panel.model.hasCloseTarget
        InputCatcher {}
        ConfirmCloseCard {
            objectName: "closeCard"
            anchors.centerIn: parent
            slogan: panel.model.closeSlogan
            title: panel.model.closeTitle
            message: panel.model.closeMessage
            confirmTitle: panel.model.closeConfirmTitle
            onConfirm: panel.model.confirmClose()
            onCancel: panel.model.cancelClose()
        }
    }
}
