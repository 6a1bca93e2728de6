#pragma once
// The dialog templates of the main dialog (102) and the about box (100), in dialog units.

#include <array>
#include <cstddef>
#include <string_view>

namespace tw {

struct DluRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

enum class ItemClass {
  GroupBox,
  Static,
  ComboBox,
  PushButton,
  ProgressBar,
  HexViewer,
  TreeView,
  CheckBox,
  RadioButton,
  ListView,
  Edit,
  Icon,
};

struct DialogItem {
  int id;
  ItemClass kind;
  std::string_view text;
  DluRect rect;
};

// Control identifiers of the main dialog.
namespace idc {
inline constexpr int kStatic = -1;
inline constexpr int kPort = 1002;
inline constexpr int kSpeed = 1003;
inline constexpr int kMode = 1004;
inline constexpr int kStartEdit = 1005;
inline constexpr int kSizeEdit = 1006;
inline constexpr int kDownload = 1007;
inline constexpr int kUpload = 1008;
inline constexpr int kHexViewer = 1009;
inline constexpr int kFileList = 1010;
inline constexpr int kFileTree = 1011;
inline constexpr int kAddressCheck = 1012;
inline constexpr int kHexCodeCheck = 1013;
inline constexpr int kAsciiCheck = 1014;
inline constexpr int kAdd = 1015;
inline constexpr int kProgress = 1016;
inline constexpr int kStart = 1017;
inline constexpr int kExit = 1018;
inline constexpr int kComGroup = 1019;
inline constexpr int kOperation = 1020;
inline constexpr int kTransferGroup = 1021;
inline constexpr int kDivider = 1042;
inline constexpr int kPortStatus = 1043;  // ours: the port's device, or why it did not open
inline constexpr int kOk = 1;
}  // namespace idc

inline constexpr std::string_view kLoaderDialogCaption = "Tarnwick";
inline constexpr DluRect kLoaderDialogSize{0, 0, 249, 263};

// Resource 102 in template order, which is also the child and tab order. Combo boxes carry the height of
// their dropped-down list; the closed box is as high as its font makes it.
inline constexpr std::array kLoaderDialogItems{
    DialogItem{idc::kComGroup, ItemClass::GroupBox, "COM Setting", {10, 10, 100, 55}},
    DialogItem{idc::kStatic, ItemClass::Static, "Port", {20, 25, 14, 8}},
    DialogItem{idc::kPort, ItemClass::ComboBox, "", {45, 25, 57, 66}},
    DialogItem{idc::kStatic, ItemClass::Static, "Speed", {20, 45, 21, 8}},
    DialogItem{idc::kSpeed, ItemClass::ComboBox, "", {45, 45, 57, 68}},
    DialogItem{idc::kTransferGroup, ItemClass::GroupBox, "File Transfer", {120, 10, 115, 55}},
    DialogItem{idc::kStatic, ItemClass::Static, "Mode", {130, 25, 18, 8}},
    DialogItem{idc::kOperation, ItemClass::ComboBox, "", {155, 25, 75, 97}},
    DialogItem{idc::kStart, ItemClass::PushButton, "&Start", {130, 45, 45, 14}},
    DialogItem{idc::kExit, ItemClass::PushButton, "E&xit", {185, 45, 45, 14}},
    DialogItem{idc::kStatic, ItemClass::Static, "Progress", {15, 75, 27, 8}},
    DialogItem{idc::kProgress, ItemClass::ProgressBar, "", {45, 75, 190, 15}},
    DialogItem{idc::kDivider, ItemClass::GroupBox, "", {10, 100, 225, 8}},
    DialogItem{idc::kStatic, ItemClass::Static, "Select Files (only MP3, Photo)", {145, 125, 95, 8}},
    DialogItem{idc::kHexViewer, ItemClass::HexViewer, "", {5, 130, 135, 76}},
    DialogItem{idc::kFileTree, ItemClass::TreeView, "", {145, 135, 90, 75}},
    DialogItem{idc::kAddressCheck, ItemClass::CheckBox, "Address", {5, 206, 41, 10}},
    DialogItem{idc::kHexCodeCheck, ItemClass::CheckBox, "HEX Code", {5, 215, 47, 10}},
    DialogItem{idc::kAsciiCheck, ItemClass::CheckBox, "ASCII", {5, 226, 33, 10}},
    DialogItem{idc::kStatic, ItemClass::Static, "Mode", {61, 210, 18, 8}},
    DialogItem{idc::kMode, ItemClass::ComboBox, "", {85, 210, 55, 97}},
    DialogItem{idc::kAdd, ItemClass::PushButton, "->", {185, 210, 10, 14}},
    DialogItem{idc::kDownload, ItemClass::RadioButton, "Download", {55, 225, 50, 10}},
    DialogItem{idc::kUpload, ItemClass::RadioButton, "Upload", {105, 225, 35, 10}},
    DialogItem{idc::kFileList, ItemClass::ListView, "", {145, 225, 90, 35}},
    DialogItem{idc::kStatic, ItemClass::Static, "Start", {5, 241, 16, 8}},
    DialogItem{idc::kStartEdit, ItemClass::Edit, "", {25, 240, 45, 13}},
    DialogItem{idc::kStatic, ItemClass::Static, "Size", {80, 241, 13, 8}},
    DialogItem{idc::kSizeEdit, ItemClass::Edit, "", {96, 240, 44, 13}},
    // Not in the resource: one status line between the progress bar and the divider.
    DialogItem{idc::kPortStatus, ItemClass::Static, "", {15, 91, 220, 8}},
};

inline constexpr std::array<std::string_view, 5> kPortItems{"COM 1", "COM 2", "COM 3", "COM 4", "COM 5"};
inline constexpr std::array<std::string_view, 5> kSpeedItems{"9600", "19200", "38400", "57600", "115200"};
inline constexpr std::array<std::string_view, 4> kOperationItems{"Program Download", "Database Download",
                                                                 "Database Upload", "Boot Change"};
// The mode combo lists kModeNames (link/wire_format.h).

// Resource 100, the about box.
inline constexpr std::string_view kAboutCaption = "About Tarnwick";
inline constexpr DluRect kAboutDialogSize{0, 0, 235, 55};
inline constexpr std::array kAboutDialogItems{
    DialogItem{idc::kStatic, ItemClass::Icon, "", {11, 17, 0, 0}},  // the icon keeps its own size
    DialogItem{idc::kStatic, ItemClass::Static, "Tarnwick Version 1.0", {40, 10, 119, 8}},
    DialogItem{idc::kOk, ItemClass::PushButton, "OK", {178, 7, 50, 14}},
};

// String 101, the about command of the dialog's menu.
inline constexpr std::string_view kAboutCommandText = "&About Tarnwick...";
inline constexpr int kAboutCommandId = 0x0010;

}  // namespace tw
