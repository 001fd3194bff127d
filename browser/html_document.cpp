#include "browser/html_document.h"

#include "browser/html_chars.h"

namespace html {

Document::Document() {
  Node root;
  root.tag = kTagRoot;
  nodes.push_back(root);
}

const std::u16string* Document::Attr(int32_t node, std::string_view name) const {
  const Node& n = nodes[node];
  for (uint32_t i = 0; i < n.attrCount; ++i) {
    const Attribute& a = attributes[n.attrStart + i];
    if (EqualsNoCase(a.name, name)) return &a.value;
  }
  return nullptr;
}

int32_t Document::Find(uint16_t tag) const {
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (nodes[i].tag == tag) return static_cast<int32_t>(i);
  }
  return -1;
}

}  // namespace html
