import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The launch-conditions tab: how many apps ask for a usage time before they open, how many open into their search
// page, and a button for each that opens its picker.
Column {
    id: tab
    required property SupervisionPanelModel model

    width: parent ? parent.width : 476
    spacing: 12

    Column {
        width: parent.width
        spacing: 7
        SectionCaption { title: "打开前设置使用时间" }
        SettingsSection {
            SettingsRow {
                objectName: "focusRow"
                title: tab.model.focusCountText
                detail: "每次打开这些应用，都会先询问本次使用时长，到点自动退出；内嵌应用始终如此，无需勾选"
                SettingsActionButtonStyle {
                    objectName: "focusConfigure"
                    text: "配置应用"
                    onClicked: tab.model.showAppPicker = true
                }
            }
        }
    }
    Column {
        width: parent.width
        spacing: 7
        SectionCaption { title: "打开时进入搜索页" }
        SettingsSection {
            SettingsRow {
                objectName: "searchRow"
                title: tab.model.searchPageCountText
                detail: "勾选后，点击应用直接打开其搜索页；目前只支持哔哩哔哩HD版和小红书"
                SettingsActionButtonStyle {
                    objectName: "searchConfigure"
                    text: "配置应用"
                    onClicked: tab.model.showSearchPagePicker = true
                }
            }
        }
    }
}
