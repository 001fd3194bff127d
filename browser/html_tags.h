// The element names the parser knows, and how each takes part in tree building.
#pragma once

#include <cstdint>
#include <string_view>

namespace html {

#define QV_HTML_TAGS(X)                                                                              \
  X(a) X(abbr) X(address) X(area) X(article) X(aside) X(b) X(base) X(basefont) X(bdi) X(bdo)          \
  X(bgsound) X(big) X(blockquote) X(body) X(br) X(button) X(caption) X(center) X(cite) X(code)        \
  X(col) X(colgroup) X(dd) X(del) X(details) X(dfn) X(dialog) X(dir) X(div) X(dl) X(dt) X(em)         \
  X(embed) X(fieldset) X(figcaption) X(figure) X(font) X(footer) X(form) X(frame) X(frameset) X(h1)   \
  X(h2) X(h3) X(h4) X(h5) X(h6) X(head) X(header) X(hgroup) X(hr) X(html) X(i) X(iframe) X(img)      \
  X(input) X(ins) X(kbd) X(keygen) X(label) X(legend) X(li) X(link) X(listing) X(main) X(mark)        \
  X(marquee) X(math) X(menu) X(meta) X(nav) X(nobr) X(noembed) X(noframes) X(noscript) X(object)      \
  X(ol) X(optgroup) X(option) X(p) X(param) X(plaintext) X(pre) X(q) X(s) X(samp) X(script)           \
  X(section) X(select) X(small) X(source) X(span) X(strike) X(strong) X(style) X(sub) X(summary)      \
  X(sup) X(svg) X(table) X(tbody) X(td) X(template_) X(textarea) X(tfoot) X(th) X(thead) X(title)     \
  X(tr) X(track) X(tt) X(u) X(ul) X(var) X(wbr) X(xmp)

enum Tag : uint16_t {
  kTagText = 0,  // text nodes
  kTagRoot,      // the document node
#define QV_TAG_ENUM(name) kTag_##name,
  QV_HTML_TAGS(QV_TAG_ENUM)
#undef QV_TAG_ENUM
  kTagFirstCustom,  // names the parser does not know are numbered from here
  kTagMax = 0xFFFF,
};

enum TagFlag : uint16_t {
  kVoid = 1 << 0,         // never has content
  kClosesP = 1 << 1,      // starting it ends an open paragraph
  kFormatting = 1 << 2,   // reopened after misnested or implied closes
  kScopeBoundary = 1 << 3,  // end tags do not reach past it
  kRawText = 1 << 4,      // content is text up to its end tag
  kEscapableRaw = 1 << 5, // raw text where character references still count
  kHidden = 1 << 6,       // neither it nor its content is shown
  kBlockLevel = 1 << 7,   // laid out as a block
  kSpecial = 1 << 8,      // an unrelated end tag stops at it
  kTableContext = 1 << 9, // table, row groups and rows: other content is moved before the table
};

// Known names (ASCII, lower case) to their tag; kTagFirstCustom when unknown.
Tag LookupTag(std::u16string_view lowerName);
uint16_t TagFlags(uint16_t tag);
inline bool HasFlag(uint16_t tag, TagFlag f) { return (TagFlags(tag) & f) != 0; }
inline bool IsHeading(uint16_t t) { return t >= kTag_h1 && t <= kTag_h6; }
const char* TagName(uint16_t tag);  // "" for custom names

}  // namespace html
