#pragma once
// The previous installation's file manifest (config\files.xml), read through
// the platform's XML document object.
#include <string>
#include <vector>

#include "win/winexcept.h"

namespace vexa::win {

// The files the manifest at manifest_path lists, each as prefix + "place" +
// "name" + "type" (the attributes of one child of the document element,
// whatever the element names), in document order. The list ends before the
// first child that lacks one of the three attributes: a comment or a text
// node has none, so it ends the list too. An empty attribute contributes
// nothing. The document is read synchronously, without validation, without
// resolving external references, and without white-space-only text nodes.
// Empty when the document cannot be loaded or has no document element.
// COM must be initialised on the calling thread; raises EComError when the
// XML document object ("Msxml2.DOMDocument.3.0") is not available.
std::vector<std::wstring> ReadManifest(const std::wstring& manifest_path, const std::wstring& prefix);

}  // namespace vexa::win
