#include "win/manifest.h"

#include <windows.h>
#include <objbase.h>
#include <msxml2.h>

#include <optional>

#include "win/winraii.h"

namespace vexa::win {

namespace {

// mingw-w64's msxml2.h declares the interface, but its import libraries do
// not define the identifier.
const IID kIidXmlDomDocument = {0x2933bf81, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

ComPtr<IXMLDOMDocument> CreateDocument() {
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(L"Msxml2.DOMDocument.3.0", &clsid);
  ComPtr<IXMLDOMDocument> doc;
  if (SUCCEEDED(hr)) hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, kIidXmlDomDocument, doc.put_void());
  if (FAILED(hr) || !doc) throw EComError("The XML document object is not available.");
  return doc;
}

// The value of attribute name of node; nothing when the node has no such
// attribute (or no attributes at all, as a comment).
std::optional<std::wstring> Attribute(IXMLDOMNode* node, const wchar_t* name) {
  ComPtr<IXMLDOMNamedNodeMap> attributes;
  if (node->get_attributes(attributes.put()) != S_OK || !attributes) return std::nullopt;
  ComPtr<IXMLDOMNode> item;
  Bstr bname(name);
  if (attributes->getNamedItem(bname.get(), item.put()) != S_OK || !item) return std::nullopt;
  Variant value;
  if (FAILED(item->get_nodeValue(value.get()))) return std::nullopt;
  if (value.ref().vt != VT_BSTR) return std::nullopt;  // VT_NULL: nothing to form a path with
  const BSTR b = value.ref().bstrVal;
  return b ? std::wstring(b, SysStringLen(b)) : std::wstring();
}

}  // namespace

std::vector<std::wstring> ReadManifest(const std::wstring& manifest_path, const std::wstring& prefix) {
  std::vector<std::wstring> files;
  ComPtr<IXMLDOMDocument> doc = CreateDocument();
  doc->put_async(VARIANT_FALSE);
  doc->put_validateOnParse(VARIANT_FALSE);
  doc->put_resolveExternals(VARIANT_FALSE);
  doc->put_preserveWhiteSpace(VARIANT_FALSE);

  Variant source;
  source.get()->vt = VT_BSTR;
  source.get()->bstrVal = SysAllocString(manifest_path.c_str());
  VARIANT_BOOL loaded = VARIANT_FALSE;
  if (doc->load(*source.get(), &loaded) != S_OK || loaded != VARIANT_TRUE) return files;

  ComPtr<IXMLDOMElement> root;
  if (doc->get_documentElement(root.put()) != S_OK || !root) return files;
  ComPtr<IXMLDOMNodeList> children;
  if (root->get_childNodes(children.put()) != S_OK || !children) return files;
  long count = 0;
  if (FAILED(children->get_length(&count))) return files;

  for (long i = 0; i < count; ++i) {
    ComPtr<IXMLDOMNode> child;
    if (children->get_item(i, child.put()) != S_OK || !child) break;
    const auto place = Attribute(child.get(), L"place");
    const auto name = Attribute(child.get(), L"name");
    const auto type = Attribute(child.get(), L"type");
    if (!place || !name || !type) break;
    files.push_back(prefix + *place + *name + *type);
  }
  return files;
}

}  // namespace vexa::win
