#pragma once
// Fixed values of the installer that are ours to choose or that tools and
// tests outside the window need too. Texts are code page 936 bytes.

namespace vexa {

// Address offered by the outdated-installer notice.
inline constexpr char kDownloadPage[] = "http://www.miravo.cn/vexa/download";
// Where the agreement text is written for the viewer ("c:\Vexa使用协议.txt").
inline constexpr char kAgreementFile[] = "c:\\Vexa\xca\xb9\xd3\xc3\xd0\xad\xd2\xe9.txt";
}  // namespace vexa
