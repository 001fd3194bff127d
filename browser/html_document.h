// The element tree the parser builds: nodes in one array, linked by index.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "browser/html_tags.h"
#include "browser/html_tokenizer.h"

namespace html {

struct Node {
  uint16_t tag = kTagText;
  int32_t parent = -1, first = -1, last = -1, next = -1, prev = -1;
  uint32_t textStart = 0, textLength = 0;  // text nodes: a stretch of Document::chars
  uint32_t attrStart = 0, attrCount = 0;   // elements: a stretch of Document::attributes
};

struct Document {
  std::vector<Node> nodes;  // nodes[0] is the document node
  std::u16string chars;
  std::vector<Attribute> attributes;
  std::vector<std::u16string> customNames;  // tag kTagFirstCustom + i

  Document();
  std::u16string_view TextOf(const Node& n) const {
    return std::u16string_view(chars).substr(n.textStart, n.textLength);
  }
  // The value of an attribute (name in lower case), or null.
  const std::u16string* Attr(int32_t node, std::string_view name) const;
  // The first element with this tag in document order, or -1.
  int32_t Find(uint16_t tag) const;
};

// Parses a whole document. Never fails; nesting deeper than a browser would keep is flattened.
Document ParseHtml(std::u16string_view html);

}  // namespace html
