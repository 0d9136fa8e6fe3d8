import QtQuick
import QtQuick.Layouts
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The launcher window's content: the top bar, the banner, the group tabs, the grid and the footer, and every sheet
// and overlay of the program. Its rules live in its controller, made fresh with each content.
FocusScope {
    id: root
    required property AppState state
    required property MainViewFactory factory
    required property LaunchPromptModels prompts
    readonly property MainViewController controller: factory.create(root)
    readonly property bool paged: state.layoutMode !== "vertical"
    property bool bannerDismissed: false
    readonly property bool covered: focusSheetHost.showing || supervisionSheetHost.showing || settingsSheetHost.showing
                                    || groupAddSheetHost.showing || renameSheetHost.showing
                                    || promptOverlayHost.showing || quitOverlayHost.showing
                                    || root.controller.groupTabs.naming
    readonly property var shownWindow: Window.window

    implicitWidth: 1030
    implicitHeight: 763
    focus: true

    Binding { target: root.controller; property: "covered"; value: root.covered }
    Binding { target: root.controller.zoom; property: "hitArea"; value: gridArea; when: root.controller.zoom !== null }
    onShownWindowChanged: controller.setWindow(shownWindow)
    Component.onCompleted: {
        controller.setWindow(shownWindow)
        controller.searchAppeared()
    }
    Component.onDestruction: controller.setWindow(null)

    Connections {
        target: root.controller
        function onSearchFocusRequested() { searchBar.field.forceActiveFocus() }
    }

    function reportGridArea() { controller.gridAreaHeightChanged(gridArea.height, root.height) }
    onHeightChanged: Qt.callLater(root.reportGridArea)

    Keys.onPressed: (event) => { event.accepted = root.controller.arrowKey(event.key, event.isAutoRepeat, searchBar.composing) }

    Shortcut {
        sequences: ["Ctrl+F", "Ctrl+Shift+F", "Ctrl+Alt+F", "Ctrl+Meta+F"]
        enabled: !root.covered
        onActivated: searchBar.field.forceActiveFocus()
    }
    Shortcut {
        sequences: ["Ctrl+,"]
        enabled: !root.covered
        onActivated: root.controller.openSettings()
    }

    Rectangle {
        anchors.fill: parent
        color: Qt.rgba(247 / 255, 247 / 255, 247 / 255, 1)
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 20

        RowLayout {
            id: topBar
            Layout.fillWidth: true
            Layout.topMargin: 28
            spacing: 0
            Item { Layout.fillWidth: true }
            SearchBarView {
                id: searchBar
                state: root.state
                Layout.preferredWidth: 560
                Layout.preferredHeight: 44
                onSubmitted: (composing) => root.controller.launchFirstMatch(composing)
                onKeyPressed: (event) => { event.accepted = root.controller.arrowKey(event.key, event.isAutoRepeat, searchBar.composing) }
            }
            Row {
                spacing: 4
                Layout.leftMargin: 10
                LayoutModeCapsule {
                    anchors.verticalCenter: parent.verticalCenter
                    state: root.state
                }
                ToolbarIcon {
                    objectName: "settingsButton"
                    anchors.verticalCenter: parent.verticalCenter
                    symbol: "gearshape"
                    tip: "设置"
                    onClicked: root.controller.openSettings()
                }
            }
            Item { Layout.fillWidth: true }
        }

        NotificationGuideBanner {
            models: root.prompts
            Layout.fillWidth: true
            visible: root.state.showNotificationGuide && !root.bannerDismissed
            isDismissed: root.bannerDismissed
            onDismiss: root.bannerDismissed = true
        }

        GroupTabsView {
            id: tabs
            Layout.fillWidth: true
            tabs: root.controller.groupTabs
        }

        ColumnLayout {
            id: innerCol
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 8

            Item {
                id: gridArea
                objectName: "gridArea"
                Layout.fillWidth: true
                Layout.fillHeight: true
                // Whatever covers the grid has the pointer: no tile under it sees a press, a hover or a drag.
                enabled: !root.covered
                // Reported once the layout has settled, with the content height of the same layout.
                onHeightChanged: Qt.callLater(root.reportGridArea)

                Loader {
                    id: gridLoader
                    anchors.fill: parent
                    sourceComponent: root.paged ? pagedGrid : verticalGrid
                }
                Component {
                    id: pagedGrid
                    PagedGridView {
                        controller: root.controller.pagedGrid
                        menuModel: root.controller.contextMenu
                    }
                }
                Component {
                    id: verticalGrid
                    AppGridView {
                        controller: root.controller.verticalGrid
                        menuModel: root.controller.contextMenu
                    }
                }
            }

            // A fixed height: the chrome the window is sized by is the same from the first layout on.
            Column {
                id: footer
                objectName: "footer"
                Layout.fillWidth: true
                Layout.preferredHeight: 1 + spacing + 22 + bottomPadding
                spacing: 4
                bottomPadding: 6
                Rectangle {
                    width: parent.width
                    height: 1
                    color: Theme.separator
                }
                RowLayout {
                    objectName: "footerRow"
                    width: parent.width - 40
                    x: 20
                    height: 22
                    SupervisionStatusEntry {
                        objectName: "statusEntry"
                        statusText: root.controller.statusText
                        active: root.controller.statusActive
                        onClicked: root.controller.openSupervision()
                    }
                    Item { Layout.fillWidth: true }
                    Row {
                        spacing: 24
                        HintItem { keySymbol: "contextualmenu.and.cursorarrow"; label: "右键菜单" }
                        HintItem { keyText: "↑↓"; label: "选择" }
                        HintItem { keyText: "↩"; label: "打开" }
                        HintItem { keyText: "esc"; label: "清除搜索" }
                    }
                }
            }
        }
    }

    // Each sheet and overlay is made the first time it is asked for; until then the content carries none of them.
    // Each popup sits in an item of its own: a popup finds its window through the item it is declared in.
    Loader {
        id: focusSheetHost
        readonly property bool showing: item !== null && item.showing
        active: root.state.hasPendingFocusApp || item !== null
        sourceComponent: Item {
            readonly property bool showing: focusSheet.visible
            SheetHost {
                id: focusSheet
                shown: root.state.hasPendingFocusApp
                content: FocusSetupSheet { models: root.prompts }
                onDismissed: {
                    root.controller.focusSetupClosed()
                    root.controller.overlayClosed()
                }
            }
        }
    }
    Loader {
        id: supervisionSheetHost
        readonly property bool showing: item !== null && item.showing
        active: root.state.showSupervision || item !== null
        sourceComponent: Item {
            readonly property bool showing: supervisionSheet.visible
            SheetHost {
                id: supervisionSheet
                shown: root.state.showSupervision
                content: SupervisionPanel {
                    objectName: "supervisionPanel"
                    state: root.state
                    onDone: supervisionSheet.close()
                }
                onDismissed: {
                    if (root.state.showSupervision)
                        root.state.showSupervision = false
                    root.controller.overlayClosed()
                }
            }
        }
    }
    Loader {
        id: settingsSheetHost
        readonly property bool showing: item !== null && item.showing
        active: root.state.showSettings || item !== null
        sourceComponent: Item {
            readonly property bool showing: settingsSheet.visible
            SheetHost {
                id: settingsSheet
                // Below the file dialogs it opens, which Qt draws as popups of their own.
                z: 0
                shown: root.state.showSettings
                content: SettingsView {
                    state: root.state
                    onDone: settingsSheet.close()
                }
                onDismissed: {
                    if (root.state.showSettings)
                        root.state.showSettings = false
                    root.controller.overlayClosed()
                }
            }
        }
    }
    Loader {
        id: groupAddSheetHost
        readonly property bool showing: item !== null && item.showing
        active: root.state.showGroupAddSheet || item !== null
        sourceComponent: Item {
            readonly property bool showing: groupAddSheet.visible
            SheetHost {
                id: groupAddSheet
                shown: root.state.showGroupAddSheet
                content: GroupAddAppsSheet {
                    state: root.state
                    onDone: groupAddSheet.close()
                }
                onDismissed: {
                    if (root.state.showGroupAddSheet)
                        root.state.showGroupAddSheet = false
                    root.controller.overlayClosed()
                }
            }
        }
    }
    Loader {
        id: renameSheetHost
        readonly property bool showing: item !== null && item.showing
        active: root.controller.hasRenameTarget || item !== null
        sourceComponent: Item {
            readonly property bool showing: renameSheet.visible
            SheetHost {
                id: renameSheet
                shown: root.controller.hasRenameTarget
                content: RenameSheet {
                    model: root.controller.renameSheet
                    bundleID: root.state.renameTargetBundleID
                    onDone: renameSheet.close()
                }
                onDismissed: {
                    root.controller.renameClosed()
                    root.controller.overlayClosed()
                }
            }
        }
    }
    Loader {
        id: promptOverlayHost
        readonly property bool showing: item !== null && item.showing
        active: root.state.hasBlockedPrompt || item !== null
        sourceComponent: Item {
            readonly property bool showing: promptOverlay.visible
            OverlayHost {
                id: promptOverlay
                objectName: "promptOverlay"
                z: 100
                shown: root.state.hasBlockedPrompt
                content: BlockedPromptView { models: root.prompts }
                onDismissed: root.controller.overlayClosed()
            }
        }
    }
    Loader {
        id: quitOverlayHost
        readonly property bool showing: item !== null && item.showing
        active: root.state.showQuitConfirm || item !== null
        sourceComponent: Item {
            readonly property bool showing: quitOverlay.visible
            OverlayHost {
                id: quitOverlay
                objectName: "quitOverlay"
                z: 101
                shown: root.state.showQuitConfirm
                content: QuitConfirmCard { state: root.state }
                onDismissed: root.controller.overlayClosed()
            }
        }
    }
}
