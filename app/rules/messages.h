#pragma once
// The installer's own texts, in code page 936 bytes, as the window shows them
// (it converts them with Cp936ToWide). Each is written as escapes of its GBK
// bytes, with the text itself in the comment above it; the unit tests check
// every one against its Chinese spelling.

namespace vexa::rules {

// Verdicts of the location check, shown in the red label under the edit.
// "目录路径过长请重新选择,请更换目录": more than 10 items and more than 30 bytes
inline constexpr char kMsgPathTooLong[] =
    "\xc4\xbf\xc2\xbc\xc2\xb7\xbe\xb6\xb9\xfd\xb3\xa4\xc7\xeb\xd6\xd8\xd0\xc2\xd1\xa1\xd4\xf1,\xc7\xeb\xb8\xfc\xbb\xbb\xc4\xbf\xc2\xbc";
// "必须安装在现有磁盘分区,请更换目录": drive part not among the system's drives
inline constexpr char kMsgNoSuchDrive[] =
    "\xb1\xd8\xd0\xeb\xb0\xb2\xd7\xb0\xd4\xda\xcf\xd6\xd3\xd0\xb4\xc5\xc5\xcc\xb7\xd6\xc7\xf8,\xc7\xeb\xb8\xfc\xbb\xbb\xc4\xbf\xc2\xbc";
// "磁盘分区不存在,请更换目录": no drive letter at all: the location starts with ":\"
inline constexpr char kMsgDriveMissing[] =
    "\xb4\xc5\xc5\xcc\xb7\xd6\xc7\xf8\xb2\xbb\xb4\xe6\xd4\xda,\xc7\xeb\xb8\xfc\xbb\xbb\xc4\xbf\xc2\xbc";
// "磁盘路径不正确,请更换目录": second byte not a colon
inline constexpr char kMsgBadDrivePath[] =
    "\xb4\xc5\xc5\xcc\xc2\xb7\xbe\xb6\xb2\xbb\xd5\xfd\xc8\xb7,\xc7\xeb\xb8\xfc\xbb\xbb\xc4\xbf\xc2\xbc";
// "所选目录存在非法字符,请重新选择安装目录": illegal character, or one code page 936 cannot hold
inline constexpr char kMsgIllegalChar[] =
    "\xcb\xf9\xd1\xa1\xc4\xbf\xc2\xbc\xb4\xe6\xd4\xda\xb7\xc7\xb7\xa8\xd7\xd6\xb7\xfb,\xc7\xeb\xd6\xd8\xd0\xc2\xd1\xa1\xd4\xf1\xb0\xb2\xd7\xb0\xc4\xbf\xc2\xbc";
// "磁盘空间不足,请更换盘符": less than 150 MiB available
inline constexpr char kMsgLowDiskSpace[] =
    "\xb4\xc5\xc5\xcc\xbf\xd5\xbc\xe4\xb2\xbb\xd7\xe3,\xc7\xeb\xb8\xfc\xbb\xbb\xc5\xcc\xb7\xfb";

// Message boxes and captions.
// "温馨提示": caption of every user notice
inline constexpr char kNoticeCaption[] =
    "\xce\xc2\xdc\xb0\xcc\xe1\xca\xbe";
// "请选择正确的安装路径": Install refused: no drive part, or a folder cannot be made
inline constexpr char kMsgChooseCorrectPath[] =
    "\xc7\xeb\xd1\xa1\xd4\xf1\xd5\xfd\xc8\xb7\xb5\xc4\xb0\xb2\xd7\xb0\xc2\xb7\xbe\xb6";
// "请选择安装路径": title of the folder browser
inline constexpr char kBrowseTitle[] =
    "\xc7\xeb\xd1\xa1\xd4\xf1\xb0\xb2\xd7\xb0\xc2\xb7\xbe\xb6";
// "正在安装中请稍后......": window caption while the worker runs
inline constexpr char kCaptionInstalling[] =
    "\xd5\xfd\xd4\xda\xb0\xb2\xd7\xb0\xd6\xd0\xc7\xeb\xc9\xd4\xba\xf3......";
// "安装完成": window caption set when the worker is done; the timer polls it
inline constexpr char kCaptionInstalled[] =
    "\xb0\xb2\xd7\xb0\xcd\xea\xb3\xc9";
// "安装目录有文件被占用请清空安装目录后重试": the worker could not unpack (a file held
// open in the target), or could not finish the installation at all
inline constexpr char kMsgFileInUse[] =
    "\xb0\xb2\xd7\xb0\xc4\xbf\xc2\xbc\xd3\xd0\xce\xc4\xbc\xfe\xb1\xbb\xd5\xbc\xd3\xc3\xc7\xeb\xc7\xe5\xbf\xd5\xb0\xb2\xd7\xb0\xc4\xbf\xc2\xbc\xba\xf3\xd6\xd8\xca\xd4";
// "亲爱的用户你好,你的Vexa安装文件不是最新版本,请访问": outdated installer: text before the download page address
inline constexpr char kMsgOutdatedHead[] =
    "\xc7\xd7\xb0\xae\xb5\xc4\xd3\xc3\xbb\xa7\xc4\xe3\xba\xc3,\xc4\xe3\xb5\xc4Vexa\xb0\xb2\xd7\xb0\xce\xc4\xbc\xfe\xb2\xbb\xca\xc7\xd7\xee\xd0\xc2\xb0\xe6\xb1\xbe,\xc7\xeb\xb7\xc3\xce\xca";
// " 进行下载": outdated installer: text after the address
inline constexpr char kMsgOutdatedTail[] =
    " \xbd\xf8\xd0\xd0\xcf\xc2\xd4\xd8";

}  // namespace vexa::rules
